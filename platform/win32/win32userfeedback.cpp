#include "platform/win32/win32userfeedback.h"

#include <windows.h>

#include <string>

namespace {

std::wstring fromUtf8(std::string_view text)
{
    if (text.empty())
        return {};
    const int size = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(size), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(), size);
    return wide;
}

} // namespace

void Win32UserFeedback::beep()
{
    MessageBeep(MB_OK);
}

void Win32UserFeedback::messageBox(std::string_view text)
{
    // Only OK, no icon, the program's name as the caption; owned by the window, so it
    // stays modal to it and opens over it.
    const HWND owner = m_owner && IsWindow(m_owner) ? m_owner : GetActiveWindow();
    MessageBoxW(owner, fromUtf8(text).c_str(), L"PAGESIFT", MB_OK | MB_SETFOREGROUND);
}

void Win32UserFeedback::setBusyPointer(bool busy)
{
    // Shown at once; the window keeps it while its scan button is disabled (WM_SETCURSOR).
    SetCursor(LoadCursorW(nullptr, busy ? IDC_WAIT : IDC_ARROW));
}
