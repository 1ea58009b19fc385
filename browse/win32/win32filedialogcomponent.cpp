#include "browse/win32/win32filedialogcomponent.h"

#include <algorithm>
#include <stdexcept>
#include <vector>

namespace {

std::wstring wide(std::u16string_view text)
{
    return {text.begin(), text.end()};
}

bool hasWildcard(std::u16string_view text)
{
    return text.find_first_of(u"*?") != std::u16string_view::npos;
}

bool isFolder(const std::wstring &path)
{
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

std::wstring currentFolder()
{
    const DWORD size = GetCurrentDirectoryW(0, nullptr);
    std::wstring folder(size, L'\0');
    folder.resize(GetCurrentDirectoryW(size, folder.data()));
    return folder;
}

} // namespace

std::wstring Win32FileDialogComponent::filterList(std::u16string_view pattern, std::u16string_view filter)
{
    struct Entry
    {
        std::u16string_view description;
        std::u16string_view patterns;
    };
    std::vector<Entry> entries;
    for (std::size_t at = 0; at < filter.size();) {
        const auto bar = filter.find(u'|', at);
        if (bar == std::u16string_view::npos)
            break;
        auto end = filter.find(u'|', bar + 1);
        if (end == std::u16string_view::npos)
            end = filter.size();
        auto patterns = filter.substr(bar + 1, end - bar - 1);
        while (!patterns.empty() && patterns.front() == u' ')
            patterns.remove_prefix(1);
        entries.push_back({filter.substr(at, bar - at), patterns});
        at = end + 1;
    }
    // A pattern of its own leads, unless the filter already offers it.
    const bool offered = std::any_of(entries.begin(), entries.end(), [&](const Entry &e) { return e.patterns == pattern; });
    if (hasWildcard(pattern) && !offered)
        entries.insert(entries.begin(), {pattern, pattern});
    entries.push_back({u"Tutti i file (*.*)", u"*.*"});

    std::wstring list;
    for (const Entry &entry : entries) {
        list += wide(entry.description);
        list += L'\0';
        list += wide(entry.patterns);
        list += L'\0';
    }
    return list;
}

void Win32FileDialogComponent::ShowOperation(std::int16_t /*action: one kind of dialog*/)
{
    // The name's folder is where the dialog starts; its last part, usually a wildcard
    // pattern, filters the names shown first.
    const std::u16string name = m_fileName;
    const auto separator = name.find_last_of(u"\\/");
    const std::u16string_view folderPart =
        separator == std::u16string::npos ? std::u16string_view() : std::u16string_view(name).substr(0, separator + 1);
    const std::u16string_view last =
        separator == std::u16string::npos ? std::u16string_view(name) : std::u16string_view(name).substr(separator + 1);

    std::wstring folder = wide(folderPart);
    if (folder.empty() || !isFolder(folder))
        folder = currentFolder();
    const std::wstring filters = filterList(last, m_filter);

    // Room for the longest path Windows takes in its \\?\ form.
    std::vector<wchar_t> file(32768, L'\0');
    if (!hasWildcard(last) && last.size() < file.size())
        std::copy(last.begin(), last.end(), file.begin());

    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = GetActiveWindow();
    dialog.lpstrFilter = filters.c_str();
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = file.data();
    dialog.nMaxFile = static_cast<DWORD>(file.size());
    dialog.lpstrInitialDir = folder.c_str();
    // An existing page or a new report name alike: no must-exist, no overwrite prompt.
    dialog.Flags = OFN_EXPLORER | OFN_ENABLESIZING | OFN_HIDEREADONLY | OFN_NOCHANGEDIR | OFN_PATHMUSTEXIST |
                   OFN_DONTADDTORECENT;

    // A cancelled dialog gives back no name, so the field keeps its text.
    m_fileName.clear();
    if (show(dialog)) {
        m_fileName.assign(file.data(), file.data() + wcsnlen(file.data(), file.size()));
        return;
    }
    if (const DWORD error = CommDlgExtendedError(); error != 0) {
        char description[80];
        wsprintfA(description, "Errore della finestra di selezione file (0x%04lX)", error);
        throw std::runtime_error(description);
    }
}
