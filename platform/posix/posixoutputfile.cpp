#include "platform/posix/posixoutputfile.h"

#include "platform/posix/posixfailure.h"
#include "platform/posix/posixfilelock.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <limits>
#include <sys/stat.h>
#include <sys/uio.h>
#include <unistd.h>

PosixOutputFile::~PosixOutputFile()
{
    (void)close();
}

OutputFile::WriteResult PosixOutputFile::write(std::span<const char> bytes)
{
    for (;;) {
        const ssize_t n = ::write(m_fd, bytes.data(), bytes.size());
        if (n >= 0)
            return {static_cast<std::size_t>(n), std::nullopt};
        if (errno != EINTR)
            return {0, PosixFailure::fromErrno(errno)};
    }
}

OutputFile::WriteResult PosixOutputFile::writeGathered(std::span<const std::span<const char>> pieces)
{
    iovec vectors[64];
    const std::size_t count = std::min({pieces.size(), std::size(vectors), std::size_t{IOV_MAX}});
    for (std::size_t i = 0; i < count; ++i)
        vectors[i] = {const_cast<char *>(pieces[i].data()), pieces[i].size()};
    for (;;) {
        const ssize_t n = ::writev(m_fd, vectors, static_cast<int>(count));
        if (n >= 0)
            return {static_cast<std::size_t>(n), std::nullopt};
        if (errno != EINTR)
            return {0, PosixFailure::fromErrno(errno)};
    }
}

std::optional<Failure> PosixOutputFile::truncate(std::uint64_t size)
{
    if (!m_regular)
        return std::nullopt;
    if (size > static_cast<std::uint64_t>(std::numeric_limits<off_t>::max()))
        return Failure::of(Failure::FileTooLarge);
    // Claimed before the first cut and kept until closed: another scan's report, or a
    // page another scan is reading, is refused before anything in it changes.
    if (!m_claimed) {
        if (PosixFileLock::exclusive(m_fd) == PosixFileLock::Outcome::HeldByOther)
            return Failure::of(Failure::PermissionDenied);
        m_claimed = true;
    }
    // A cut to the size the file has changes nothing, but ext4 takes any cut to zero for
    // a file being replaced and writes all of it out when it is closed: a new report of a
    // gigabyte would keep the window waiting for the disk.
    struct stat status{};
    const bool sameSize = ::fstat(m_fd, &status) == 0 && static_cast<std::uint64_t>(status.st_size) == size;
    while (!sameSize && ::ftruncate(m_fd, static_cast<off_t>(size)) != 0) {
        if (errno != EINTR)
            return PosixFailure::fromErrno(errno);
    }
    // ftruncate leaves the offset where it was: a later write would leave a hole.
    if (::lseek(m_fd, static_cast<off_t>(size), SEEK_SET) < 0)
        return PosixFailure::fromErrno(errno);
    return std::nullopt;
}

std::optional<Failure> PosixOutputFile::close()
{
    if (m_fd < 0)
        return std::nullopt;
    const int fd = m_fd;
    m_fd = -1;
    // Linux releases the descriptor even when close fails, so it is never retried;
    // EINTR says nothing about the data.
    if (::close(fd) != 0 && errno != EINTR)
        return PosixFailure::fromErrno(errno);
    return std::nullopt;
}
