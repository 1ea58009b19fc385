#include "platform/posix/posixfailure.h"

#include <cerrno>
#include <sys/stat.h>

namespace {

// ENOENT means "file not found" when the folder exists, "path not found" otherwise.
bool parentFolderExists(const std::string &path)
{
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return true; // relative name in the current folder
    const std::string parent = slash == 0 ? std::string("/") : path.substr(0, slash);
    struct stat info {};
    return ::stat(parent.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

} // namespace

Failure PosixFailure::fromErrno(int error, const std::string &path)
{
    switch (error) {
    case ENOENT:
        return Failure::of(parentFolderExists(path) ? Failure::FileNotFound : Failure::PathNotFound);
    case ENOTDIR:
        return Failure::of(Failure::PathNotFound);
    case EACCES:
    case EPERM:
    case EROFS:
    case ETXTBSY:
        return Failure::of(Failure::PermissionDenied);
    // What the layer refuses to open (folders, pipes, sockets, terminals) gives the same
    // number whether the kernel or the layer refuses it: ENXIO is a FIFO with no reader,
    // a socket, or /dev/tty without a controlling terminal.
    case EISDIR:
    case ELOOP:
    case EAGAIN:
    case ENXIO:
        return Failure::of(Failure::PathFileAccessError);
    case ENAMETOOLONG:
    case EINVAL:
        return Failure::of(Failure::BadFileName);
    case ENOSPC:
    case EDQUOT:
        return Failure::of(Failure::DiskFull);
    case EFBIG:
        return Failure::of(Failure::FileTooLarge);
    case EPIPE:
        return Failure::of(Failure::DeviceUnavailable);
    case EMFILE:
    case ENFILE:
        return Failure::of(Failure::TooManyFiles);
    case ENOMEM:
        return Failure::of(Failure::OutOfMemory);
    default:
        return Failure::of(Failure::DeviceIoError);
    }
}
