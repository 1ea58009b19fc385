#include "platform/posix/posixfilelock.h"

#include <cerrno>
#include <fcntl.h>

namespace {

PosixFileLock::Outcome take(int fd, short type)
{
    struct flock whole {};
    whole.l_type = type;
    whole.l_whence = SEEK_SET; // start 0, length 0: the whole file, however it grows
    for (;;) {
        if (::fcntl(fd, F_OFD_SETLK, &whole) == 0)
            return PosixFileLock::Outcome::Held;
        if (errno == EAGAIN || errno == EACCES)
            return PosixFileLock::Outcome::HeldByOther;
        if (errno != EINTR)
            return PosixFileLock::Outcome::Unsupported;
    }
}

} // namespace

PosixFileLock::Outcome PosixFileLock::exclusive(int fd)
{
    return take(fd, F_WRLCK);
}

PosixFileLock::Outcome PosixFileLock::shared(int fd)
{
    return take(fd, F_RDLCK);
}
