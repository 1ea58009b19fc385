#include "platform/win32/win32handle.h"

#include "platform/win32/win32failure.h"

#include <windows.h>

#include <cstring>
#include <utility>

namespace {

// FILE_ID_INFO and its class number, which <windows.h> only declares for Windows 8 and
// later; Windows 7 answers the query with ERROR_INVALID_PARAMETER.
constexpr auto fileIdInfoClass = static_cast<FILE_INFO_BY_HANDLE_CLASS>(18);
struct FileIdInfo
{
    ULONGLONG volumeSerialNumber;
    BYTE fileId[16];
};

std::uint64_t littleEndian64(const BYTE *bytes)
{
    std::uint64_t value = 0;
    std::memcpy(&value, bytes, sizeof value); // Windows runs little-endian only
    return value;
}

// The byte a scan's mark locks: past the largest size NTFS allows a file.
constexpr DWORD markLow = 0xFFFFFFFE;
constexpr DWORD markHigh = 0x7FFFFFFF;

} // namespace

Win32Handle::Win32Handle(void *handle)
    : m_handle(handle == INVALID_HANDLE_VALUE ? nullptr : handle)
{
}

Win32Handle::Win32Handle(Win32Handle &&other) noexcept
    : m_handle(std::exchange(other.m_handle, nullptr))
    , m_marked(std::exchange(other.m_marked, false))
{
}

Win32Handle &Win32Handle::operator=(Win32Handle &&other) noexcept
{
    if (this != &other) {
        close();
        m_handle = std::exchange(other.m_handle, nullptr);
        m_marked = std::exchange(other.m_marked, false);
    }
    return *this;
}

Win32Handle::~Win32Handle()
{
    close();
}

std::optional<Failure> Win32Handle::close()
{
    if (!m_handle)
        return std::nullopt;
    // Unlocked at once, so that the next scan finds the file free; closing alone would
    // leave that to the system's own time.
    if (std::exchange(m_marked, false))
        ::UnlockFile(m_handle, markLow, markHigh, 1, 0);
    const bool closed = ::CloseHandle(std::exchange(m_handle, nullptr));
    if (!closed)
        return failureFromLastError(::GetLastError());
    return std::nullopt;
}

// Both queries give the same identity on NTFS, whose 128-bit number is the 64-bit index
// widened and whose 32-bit serial is the low half of the 64-bit one; keeping only that
// low half lets two handles compare equal whichever query answered for each.
std::optional<FileIdentity> Win32Handle::identity() const
{
    FileIdInfo wide{};
    if (::GetFileInformationByHandleEx(m_handle, fileIdInfoClass, &wide, sizeof wide)) {
        return FileIdentity{wide.volumeSerialNumber & 0xFFFF'FFFFu,
                            {littleEndian64(wide.fileId), littleEndian64(wide.fileId + 8)}};
    }
    BY_HANDLE_FILE_INFORMATION info{};
    if (!::GetFileInformationByHandle(m_handle, &info))
        return std::nullopt;
    const std::uint64_t index = (std::uint64_t{info.nFileIndexHigh} << 32) | info.nFileIndexLow;
    return FileIdentity{info.dwVolumeSerialNumber, {index, 0}};
}

bool Win32Handle::mark(bool exclusive)
{
    OVERLAPPED at{};
    at.Offset = markLow;
    at.OffsetHigh = markHigh;
    const DWORD flags = LOCKFILE_FAIL_IMMEDIATELY | (exclusive ? LOCKFILE_EXCLUSIVE_LOCK : 0);
    m_marked = m_handle && ::LockFileEx(m_handle, flags, 0, 1, 0, &at);
    return m_marked;
}
