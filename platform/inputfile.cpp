#include "inputfile.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

InputFile::~InputFile()
{
    close();
}

std::optional<Failure> InputFile::open(const std::string &path)
{
    close();
    // O_NONBLOCK only for the open itself: a FIFO with no writer would otherwise hang
    // the window.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0)
        return Failure::fromErrno(errno, path);
    struct stat info {};
    if (::fstat(fd, &info) != 0 || S_ISDIR(info.st_mode)) {
        ::close(fd);
        return Failure::of(Failure::PathFileAccessError);
    }
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags >= 0)
        ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    m_fd = fd;
    return std::nullopt;
}

void InputFile::close()
{
    if (m_fd >= 0) {
        ::close(m_fd);
        m_fd = -1;
    }
}

bool InputFile::isSameFileAs(const std::string &path) const
{
    struct stat mine {};
    struct stat other {};
    if (m_fd < 0 || ::fstat(m_fd, &mine) != 0 || ::stat(path.c_str(), &other) != 0)
        return false;
    return mine.st_dev == other.st_dev && mine.st_ino == other.st_ino;
}

ByteSource::ReadResult InputFile::read(std::span<char> buffer)
{
    for (;;) {
        const ssize_t n = ::read(m_fd, buffer.data(), buffer.size());
        if (n >= 0)
            return {static_cast<std::size_t>(n), std::nullopt};
        if (errno == EINTR)
            continue;
        if (errno == EAGAIN) // a FIFO that lost its non-blocking flag: treat as end
            return {};
        return {0, Failure::fromErrno(errno)};
    }
}
