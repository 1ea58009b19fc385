#include "platform/win32/win32filename.h"

#include <windows.h>

#include <initializer_list>

namespace {

enum class Device { None, Null, Other };

bool isSeparator(wchar_t c)
{
    return c == L'\\' || c == L'/';
}

bool sameIgnoringAsciiCase(std::wstring_view a, std::wstring_view b)
{
    if (a.size() != b.size())
        return false;
    const auto upper = [](wchar_t c) {
        return c >= L'a' && c <= L'z' ? static_cast<wchar_t>(c - L'a' + L'A') : c;
    };
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (upper(a[i]) != upper(b[i]))
            return false;
    }
    return true;
}

bool startsIgnoringAsciiCase(std::wstring_view text, std::wstring_view prefix)
{
    return text.size() >= prefix.size() && sameIgnoringAsciiCase(text.substr(0, prefix.size()), prefix);
}

std::wstring_view firstComponent(std::wstring_view path)
{
    std::size_t end = 0;
    while (end < path.size() && !isSeparator(path[end]))
        ++end;
    return path.substr(0, end);
}

bool isDriveRoot(std::wstring_view path) // "C:\..."
{
    const wchar_t letter = path.empty() ? L'\0' : static_cast<wchar_t>(path[0] | 0x20);
    return path.size() >= 3 && letter >= L'a' && letter <= L'z' && path[1] == L':' && isSeparator(path[2]);
}

// A share that is not a folder: a remote pipe or mailslot.
bool isDeviceShare(std::wstring_view uncAfterSlashes) // "server\share\..."
{
    const std::wstring_view server = firstComponent(uncAfterSlashes);
    if (server.size() == uncAfterSlashes.size())
        return false;
    const std::wstring_view share = firstComponent(uncAfterSlashes.substr(server.size() + 1));
    return sameIgnoringAsciiCase(share, L"pipe") || sameIgnoringAsciiCase(share, L"mailslot");
}

// The reserved DOS names, which Windows maps to a device in any folder and, before
// Windows 11, with any extension: what the last component has before its first dot or
// colon, without trailing spaces. COM0-9 and LPT0-9 include the superscript digits.
Device reservedName(std::wstring_view component)
{
    component = component.substr(0, component.find_first_of(L".:"));
    while (!component.empty() && component.back() == L' ')
        component.remove_suffix(1);
    if (sameIgnoringAsciiCase(component, L"NUL"))
        return Device::Null;
    for (const wchar_t *device : {L"CON", L"PRN", L"AUX", L"CONIN$", L"CONOUT$"}) {
        if (sameIgnoringAsciiCase(component, device))
            return Device::Other;
    }
    if (component.size() == 4
        && (startsIgnoringAsciiCase(component, L"COM") || startsIgnoringAsciiCase(component, L"LPT"))) {
        const wchar_t digit = component[3];
        if ((digit >= L'0' && digit <= L'9') || digit == L'\u00B9' || digit == L'\u00B2' || digit == L'\u00B3')
            return Device::Other;
    }
    return Device::None;
}

// After \\.\, \\?\ or \??\ only a file on a drive, a share or a volume is a file; the
// rest (pipes, ports, physical disks, the volumes themselves) are devices.
Device namespacedName(std::wstring_view rest)
{
    if (isDriveRoot(rest))
        return Device::None;
    if (startsIgnoringAsciiCase(rest, L"UNC") && rest.size() > 3 && isSeparator(rest[3]))
        return isDeviceShare(rest.substr(4)) ? Device::Other : Device::None;
    const std::wstring_view first = firstComponent(rest);
    if (startsIgnoringAsciiCase(first, L"Volume{") && first.size() < rest.size())
        return Device::None;
    if (first.size() == rest.size() && sameIgnoringAsciiCase(first, L"NUL"))
        return Device::Null;
    return Device::Other;
}

bool hasNamespacePrefix(std::wstring_view name)
{
    if (name.size() < 4 || !isSeparator(name[3]))
        return false;
    const bool win32 = isSeparator(name[0]) && isSeparator(name[1]) && (name[2] == L'.' || name[2] == L'?');
    const bool nt = name[0] == L'\\' && name[1] == L'?' && name[2] == L'?';
    return win32 || nt;
}

std::wstring_view lastComponent(std::wstring_view name)
{
    const std::size_t separator = name.find_last_of(L"\\/");
    if (separator != std::wstring_view::npos)
        return name.substr(separator + 1);
    if (name.size() >= 2 && name[1] == L':') // "C:page.htm", relative to C:'s folder
        return name.substr(2);
    return name;
}

// NTFS, FAT and ReFS take at most 255 UTF-16 units in one component of a name.
bool hasOverlongComponent(std::wstring_view name)
{
    constexpr std::size_t Longest = 255;
    std::size_t start = 0;
    while (start < name.size()) {
        std::size_t end = name.find_first_of(L"\\/", start);
        if (end == std::wstring_view::npos)
            end = name.size();
        if (end - start > Longest)
            return true;
        start = end + 1;
    }
    return false;
}

} // namespace

Win32FileName::Win32FileName(std::u16string_view typed)
    : m_path(typed.begin(), typed.end()) // UTF-16 both: the code units pass unchanged
{
    // An empty name names nothing; a NUL inside would cut the name short and name
    // another file.
    if (typed.empty() || typed.find(u'\0') != std::u16string_view::npos) {
        m_refusal = Failure::of(Failure::BadFileName);
        return;
    }
    const std::wstring_view name = m_path;
    Device device = Device::None;
    if (hasNamespacePrefix(name))
        device = namespacedName(name.substr(4));
    else if (name.size() > 2 && isSeparator(name[0]) && isSeparator(name[1]) && isDeviceShare(name.substr(2)))
        device = Device::Other;
    else
        device = reservedName(lastComponent(name));

    if (device == Device::Other)
        m_refusal = Failure::of(Failure::PathFileAccessError);
    else if (device == Device::Null)
        m_nullDevice = true;
    else if (!hasNamespacePrefix(name))
        reachPastMaxPath();
    // Too long for any file system: a bad name, as on Linux; Wine would call it missing.
    if (!m_refusal && hasOverlongComponent(m_path))
        m_refusal = Failure::of(Failure::BadFileName);
}

// Windows 7 takes at most MAX_PATH characters through the classic names; the \\?\ form
// of the full path reaches up to 32767. GetFullPathNameW first does what Windows does
// to every classic name (the current folder, "." and "..", "/" for "\", trailing dots
// and spaces dropped), so both forms name the same file. Short names are left as typed.
void Win32FileName::reachPastMaxPath()
{
    const DWORD needed = ::GetFullPathNameW(m_path.c_str(), 0, nullptr, nullptr);
    if (needed <= MAX_PATH) // counts the terminating NUL
        return; // short enough, or not a path at all: CreateFileW says what is wrong
    std::wstring full(needed, L'\0');
    const DWORD length = ::GetFullPathNameW(m_path.c_str(), needed, full.data(), nullptr);
    if (length == 0 || length >= needed)
        return;
    full.resize(length);
    if (isDriveRoot(full))
        m_path = L"\\\\?\\" + full;
    else if (full.size() > 2 && full[0] == L'\\' && full[1] == L'\\')
        m_path = L"\\\\?\\UNC\\" + full.substr(2);
    else
        m_refusal = Failure::of(Failure::BadFileName);
}
