#include "outputfile.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

OutputFile::OutputFile(std::size_t bufferSize)
    : m_buffer(std::max<std::size_t>(bufferSize, 1))
{
}

OutputFile::~OutputFile()
{
    close();
}

std::optional<Failure> OutputFile::open(const std::string &path)
{
    close();
    // O_NONBLOCK only for the open: a FIFO with no reader fails at once (ENXIO)
    // instead of hanging the window.
    const int fd = ::open(path.c_str(),
                          O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOCTTY | O_NONBLOCK,
                          0666);
    if (fd < 0)
        return Failure::fromErrno(errno, path);
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags >= 0)
        ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    m_fd = fd;
    m_used = 0;
    return std::nullopt;
}

std::optional<Failure> OutputFile::write(std::string_view bytes)
{
    if (bytes.size() > m_buffer.size() - m_used) {
        if (auto failure = flush())
            return failure;
        if (bytes.size() >= m_buffer.size())
            return writeAll(bytes);
    }
    std::memcpy(m_buffer.data() + m_used, bytes.data(), bytes.size());
    m_used += bytes.size();
    return std::nullopt;
}

std::optional<Failure> OutputFile::flush()
{
    const std::size_t used = m_used;
    m_used = 0; // a failed flush drops the buffer: retrying would only fail again
    return writeAll({m_buffer.data(), used});
}

std::optional<Failure> OutputFile::close()
{
    if (m_fd < 0)
        return std::nullopt;
    auto failure = flush();
    if (::close(m_fd) != 0 && !failure && errno != EINTR)
        failure = Failure::fromErrno(errno);
    m_fd = -1;
    return failure;
}

std::optional<Failure> OutputFile::writeAll(std::string_view bytes)
{
    while (!bytes.empty()) {
        const ssize_t n = ::write(m_fd, bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return Failure::fromErrno(errno);
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return std::nullopt;
}
