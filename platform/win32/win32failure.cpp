#include "platform/win32/win32failure.h"

#include <windows.h>

#include <algorithm>
#include <iterator>

namespace {

// Codes that mingw-w64's <winerror.h> does not name.
constexpr DWORD errorVirusInfected = 225;
constexpr DWORD errorDirectoryNotSupported = 336;
constexpr DWORD errorDiskQuotaExceeded = 1295;

struct Row
{
    DWORD code;
    Failure::Number number;
};

// ERROR_FILE_NOT_FOUND and ERROR_PATH_NOT_FOUND already tell a missing file in an
// existing folder from a missing folder, which Linux has to find out by itself.
constexpr Row table[] = {
    {ERROR_FILE_NOT_FOUND, Failure::FileNotFound},
    {ERROR_PATH_NOT_FOUND, Failure::PathNotFound},
    {ERROR_INVALID_DRIVE, Failure::PathNotFound},
    {ERROR_BAD_NETPATH, Failure::PathNotFound},
    {ERROR_BAD_NET_NAME, Failure::PathNotFound},
    {ERROR_DIRECTORY, Failure::PathNotFound},

    {ERROR_INVALID_NAME, Failure::BadFileName},
    {ERROR_BAD_PATHNAME, Failure::BadFileName},
    {ERROR_FILENAME_EXCED_RANGE, Failure::BadFileName},
    {ERROR_BUFFER_OVERFLOW, Failure::BadFileName}, // a name component too long
    {ERROR_INVALID_PARAMETER, Failure::BadFileName},

    {ERROR_ACCESS_DENIED, Failure::PermissionDenied},
    {ERROR_SHARING_VIOLATION, Failure::PermissionDenied},
    {ERROR_LOCK_VIOLATION, Failure::PermissionDenied},
    {ERROR_WRITE_PROTECT, Failure::PermissionDenied},
    {ERROR_NETWORK_ACCESS_DENIED, Failure::PermissionDenied},
    {ERROR_DELETE_PENDING, Failure::PermissionDenied},
    {ERROR_ACCESS_DISABLED_BY_POLICY, Failure::PermissionDenied},
    {errorVirusInfected, Failure::PermissionDenied},
    {ERROR_FILE_READ_ONLY, Failure::PermissionDenied},

    // A reparse point Windows cannot follow, a link loop, a folder where a file belongs.
    {ERROR_CANT_ACCESS_FILE, Failure::PathFileAccessError},
    {ERROR_CANT_RESOLVE_FILENAME, Failure::PathFileAccessError},
    {errorDirectoryNotSupported, Failure::PathFileAccessError},

    {ERROR_NOT_READY, Failure::DeviceUnavailable},
    {ERROR_DEV_NOT_EXIST, Failure::DeviceUnavailable},
    {ERROR_NETNAME_DELETED, Failure::DeviceUnavailable},
    {ERROR_BROKEN_PIPE, Failure::DeviceUnavailable},
    {ERROR_NO_DATA, Failure::DeviceUnavailable},

    {ERROR_DISK_FULL, Failure::DiskFull},
    {ERROR_HANDLE_DISK_FULL, Failure::DiskFull},
    {errorDiskQuotaExceeded, Failure::DiskFull},
    {ERROR_FILE_TOO_LARGE, Failure::FileTooLarge},
    {ERROR_HANDLE_EOF, Failure::InputPastEnd},
    {ERROR_TOO_MANY_OPEN_FILES, Failure::TooManyFiles},
    {ERROR_NOT_ENOUGH_MEMORY, Failure::OutOfMemory},
    {ERROR_OUTOFMEMORY, Failure::OutOfMemory},
    {ERROR_NO_SYSTEM_RESOURCES, Failure::OutOfMemory},
    {ERROR_ARITHMETIC_OVERFLOW, Failure::Overflow},
};

} // namespace

Failure failureFromLastError(unsigned long code)
{
    const auto row = std::find_if(std::begin(table), std::end(table),
                                  [code](const Row &r) { return r.code == code; });
    return Failure::of(row == std::end(table) ? Failure::DeviceIoError : row->number);
}
