#include "browse/win32/win32filedialogcomponent.h"

#include <algorithm>
#include <stdexcept>
#include <vector>

namespace {

bool isFolder(std::u16string_view path)
{
    const std::wstring name(path.begin(), path.end());
    const DWORD attributes = GetFileAttributesW(name.c_str());
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

std::wstring Win32FileDialogComponent::filterList(const DialogRequest &request)
{
    std::wstring list;
    for (const DialogRequest::Filter &filter : request.filters) {
        list.append(filter.description.begin(), filter.description.end());
        list += L'\0';
        for (std::size_t i = 0; i < filter.patterns.size(); ++i) {
            if (i > 0)
                list += L';';
            list.append(filter.patterns[i].begin(), filter.patterns[i].end());
        }
        list += L'\0';
    }
    return list;
}

void Win32FileDialogComponent::ShowOperation(std::int16_t action)
{
    const DialogRequest request = DialogRequest::from(m_fileName, m_filter, action, isFolder);
    const std::wstring folder = request.folder.empty() ? currentFolder()
                                                       : std::wstring(request.folder.begin(), request.folder.end());
    const std::wstring filters = filterList(request);

    // Room for the longest path Windows takes in its \\?\ form.
    std::vector<wchar_t> file(32768, L'\0');
    if (request.fileName.size() < file.size())
        std::copy(request.fileName.begin(), request.fileName.end(), file.begin());

    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    // Owned by the window, it opens over it (Wine puts it at the owner's top-left
    // corner), whichever window is active.
    const HWND owner = m_owner ? m_owner() : nullptr;
    dialog.hwndOwner = owner ? owner : GetActiveWindow();
    dialog.lpstrFilter = filters.c_str();
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = file.data();
    dialog.nMaxFile = static_cast<DWORD>(file.size());
    dialog.lpstrInitialDir = folder.c_str();
    // Neither kind insists that the file exists; a save dialog asks before it names
    // one that does.
    dialog.Flags = OFN_EXPLORER | OFN_ENABLESIZING | OFN_HIDEREADONLY | OFN_NOCHANGEDIR | OFN_PATHMUSTEXIST |
                   OFN_DONTADDTORECENT;
    if (request.kind == DialogRequest::Kind::Save)
        dialog.Flags |= OFN_OVERWRITEPROMPT;

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
