#pragma once

#include "platform/failure.h"

#include <optional>
#include <string>
#include <string_view>

// What a name typed by the user stands for on Windows, worked out before anything is
// opened: opening a device may wait or disturb it (a serial line, a printer, a pipe's
// server, the console), so every device but NUL is refused here and never reaches
// CreateFileW.
class Win32FileName
{
public:
    explicit Win32FileName(std::u16string_view typed);

    // Set when the name must not be opened.
    const std::optional<Failure> &refusal() const { return m_refusal; }
    // NUL, alone or with a folder or an extension as Windows allows: read as empty,
    // written as a sink. Newer Windows may open "nul.htm" as a file instead.
    bool isNullDevice() const { return m_nullDevice; }
    // What to hand to CreateFileW: the name as typed, or its \\?\ form when the full
    // path is past the classic MAX_PATH limit.
    const wchar_t *path() const { return m_path.c_str(); }

private:
    void reachPastMaxPath();

    std::wstring m_path;
    std::optional<Failure> m_refusal;
    bool m_nullDevice = false;
};
