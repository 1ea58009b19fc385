#include "platform/posix/posixinputfile.h"

#include "platform/posix/posixfailure.h"

#include <cerrno>
#include <unistd.h>

PosixInputFile::~PosixInputFile()
{
    ::close(m_fd);
}

ByteSource::ReadResult PosixInputFile::read(std::span<char> buffer)
{
    for (;;) {
        const ssize_t n = ::read(m_fd, buffer.data(), buffer.size());
        if (n >= 0)
            return {static_cast<std::size_t>(n), std::nullopt};
        // A device kept non-blocking that has nothing now fails (EAGAIN) rather than
        // freezing the window.
        if (errno != EINTR)
            return {0, PosixFailure::fromErrno(errno)};
    }
}
