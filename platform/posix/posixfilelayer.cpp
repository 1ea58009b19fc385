#include "platform/posix/posixfilelayer.h"

#include "platform/posix/posixfailure.h"
#include "platform/posix/posixinputfile.h"
#include "platform/posix/posixoutputfile.h"

#include <cerrno>
#include <csignal>
#include <memory>
#include <optional>
#include <string>
#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace {

// The name as the kernel takes it. A NUL would silently cut the name short and a lone
// surrogate has no UTF-8 form, so both make the name invalid.
std::optional<std::string> toUtf8(std::u16string_view name)
{
    std::string bytes;
    bytes.reserve(name.size());
    for (std::size_t i = 0; i < name.size(); ++i) {
        char32_t c = name[i];
        if (c == 0)
            return std::nullopt;
        if (c >= 0xD800 && c <= 0xDFFF) {
            if (c > 0xDBFF || i + 1 == name.size() || name[i + 1] < 0xDC00 || name[i + 1] > 0xDFFF)
                return std::nullopt;
            c = 0x10000 + ((c - 0xD800) << 10) + (name[++i] - 0xDC00u);
        }
        if (c < 0x80) {
            bytes += static_cast<char>(c);
        } else if (c < 0x800) {
            bytes += static_cast<char>(0xC0 | (c >> 6));
            bytes += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            bytes += static_cast<char>(0xE0 | (c >> 12));
            bytes += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            bytes += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            bytes += static_cast<char>(0xF0 | (c >> 18));
            bytes += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            bytes += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            bytes += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return bytes;
}

// A report past the process's file-size limit, or a pipe that lost its reader, would
// end the program with a signal and no word; ignored, they come back from write() as
// EFBIG and EPIPE, which the scan reports. The program has no other use for them.
void ignoreFileSignals()
{
    static const bool ignored = [] {
        ::signal(SIGPIPE, SIG_IGN);
        ::signal(SIGXFSZ, SIG_IGN);
        return true;
    }();
    (void)ignored;
}

struct Descriptor
{
    int fd = -1;
    ~Descriptor()
    {
        if (fd >= 0)
            ::close(fd);
    }
    int release() { return std::exchange(fd, -1); }
};

struct Judged
{
    FileIdentity identity;
    bool regular = false;
};

// Opened with O_NONBLOCK so that opening itself never waits (a FIFO with no writer).
// A regular file then reads and writes normally. A character device is kept only when
// it is not a terminal and is ready at once, and stays non-blocking, so a read or a
// write that would wait fails instead. Pipes, sockets, terminals and the rest could
// wait for ever: refused, before anything is read or written.
std::optional<Failure> judge(int fd, short readiness, Judged &judged)
{
    struct stat info {};
    if (::fstat(fd, &info) != 0)
        return PosixFailure::fromErrno(errno);
    judged.identity = {static_cast<std::uint64_t>(info.st_dev), {static_cast<std::uint64_t>(info.st_ino), 0}};
    if (S_ISREG(info.st_mode)) {
        judged.regular = true;
        const int flags = ::fcntl(fd, F_GETFL);
        if (flags < 0 || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0)
            return PosixFailure::fromErrno(errno);
        return std::nullopt;
    }
    if (S_ISCHR(info.st_mode) && !::isatty(fd)) {
        pollfd ready{fd, readiness, 0};
        if (::poll(&ready, 1, 0) == 1 && (ready.revents & readiness) != 0)
            return std::nullopt;
    }
    return Failure::of(Failure::PathFileAccessError);
}

} // namespace

FileLayer::Opened<InputFile> PosixFileLayer::openInput(std::u16string_view name)
{
    const auto path = toUtf8(name);
    if (!path)
        return {nullptr, Failure::of(Failure::BadFileName)};
    Descriptor fd{::open(path->c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK)};
    if (fd.fd < 0)
        return {nullptr, PosixFailure::fromErrno(errno, *path)};
    Judged judged;
    if (auto failure = judge(fd.fd, POLLIN, judged))
        return {nullptr, failure};
    auto file = std::make_unique<PosixInputFile>(fd.fd, judged.identity);
    fd.release();
    return {std::move(file), std::nullopt};
}

FileLayer::Opened<OutputFile> PosixFileLayer::openOutput(std::u16string_view name)
{
    ignoreFileSignals();
    const auto path = toUtf8(name);
    if (!path)
        return {nullptr, Failure::of(Failure::BadFileName)};
    // No O_TRUNC: the scan empties the file only once it knows it is not the page.
    Descriptor fd{::open(path->c_str(), O_WRONLY | O_CREAT | O_CLOEXEC | O_NOCTTY | O_NONBLOCK, 0666)};
    if (fd.fd < 0)
        return {nullptr, PosixFailure::fromErrno(errno, *path)};
    Judged judged;
    if (auto failure = judge(fd.fd, POLLOUT, judged))
        return {nullptr, failure};
    auto file = std::make_unique<PosixOutputFile>(fd.fd, judged.identity, judged.regular);
    fd.release();
    return {std::move(file), std::nullopt};
}

FileLayer &FileLayer::system()
{
    static PosixFileLayer layer;
    return layer;
}
