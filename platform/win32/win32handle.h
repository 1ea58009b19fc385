#pragma once

#include "platform/failure.h"
#include "platform/fileidentity.h"

#include <optional>

// Owns one Win32 file handle. Kept free of <windows.h> so that the portable code
// including the layer's headers does not get the Windows macros.
class Win32Handle
{
public:
    Win32Handle() = default;
    // Takes what CreateFileW returned; INVALID_HANDLE_VALUE gives a closed handle.
    explicit Win32Handle(void *handle);
    Win32Handle(Win32Handle &&other) noexcept;
    Win32Handle &operator=(Win32Handle &&other) noexcept;
    Win32Handle(const Win32Handle &) = delete;
    Win32Handle &operator=(const Win32Handle &) = delete;
    // Closes a handle still open, ignoring the outcome.
    ~Win32Handle();

    bool isOpen() const { return m_handle != nullptr; }
    void *get() const { return m_handle; }

    // Closes the handle, reporting what CloseHandle reports; nothing to do once closed.
    std::optional<Failure> close();

    // Marks the file as a scan's page (shared) or report (exclusive) with a lock on one
    // byte far past any data, where no read or write of the file reaches. False, never
    // a wait, when another handle holds a mark this one excludes: GetLastError() then
    // says ERROR_LOCK_VIOLATION. The mark goes when the handle is closed.
    bool mark(bool exclusive);

    // The volume serial number and the file's number on it; the 128-bit number where
    // the file system has one (ReFS), the 64-bit index otherwise. Empty when Windows
    // cannot say: GetLastError() then tells why.
    std::optional<FileIdentity> identity() const;

private:
    void *m_handle = nullptr;
    bool m_marked = false;
};
