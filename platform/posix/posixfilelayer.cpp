#include "platform/posix/posixfilelayer.h"

#include "platform/filenamecodec.h"
#include "platform/posix/posixfailure.h"
#include "platform/posix/posixfilelock.h"
#include "platform/posix/posixinputfile.h"
#include "platform/posix/posixoutputfile.h"
#include "platform/posix/posixreadahead.h"
#include "platform/posix/posixstartup.h"

#include <cerrno>
#include <memory>
#include <optional>
#include <string>
#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace {

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
    const auto path = FileNameCodec::encode(name);
    if (!path)
        return {nullptr, Failure::of(Failure::BadFileName)};
    Descriptor fd{::open(path->c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK)};
    if (fd.fd < 0)
        return {nullptr, PosixFailure::fromErrno(errno, *path)};
    Judged judged;
    if (auto failure = judge(fd.fd, POLLIN, judged))
        return {nullptr, failure};
    // Held shared while it is read, so that no other scan can empty it as its report.
    // Another scan's report, still being written, is read all the same, as on Windows,
    // where a report is shared with readers.
    if (judged.regular)
        static_cast<void>(PosixFileLock::shared(fd.fd));
    std::unique_ptr<InputFile> file = std::make_unique<PosixInputFile>(fd.fd, judged.identity);
    fd.release();
    // A device is read as it comes: it may have nothing now and more later.
    if (judged.regular)
        file = std::make_unique<PosixReadAhead>(std::move(file));
    return {std::move(file), std::nullopt};
}

FileLayer::Opened<OutputFile> PosixFileLayer::openOutput(std::u16string_view name)
{
    // The program ignores them from its first line; whoever else opens a report here,
    // a test or a benchmark, gets EFBIG and EPIPE as values too.
    PosixStartup::ignoreFileSignals();
    const auto path = FileNameCodec::encode(name);
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

std::optional<std::vector<std::u16string>> PosixFileLayer::namesIn(std::u16string_view folder)
{
    const auto path = FileNameCodec::encode(folder);
    if (!path)
        return std::nullopt;
    std::unique_ptr<DIR, int (*)(DIR *)> entries(::opendir(path->c_str()), ::closedir);
    if (!entries)
        return std::nullopt;
    std::vector<std::u16string> names;
    while (const dirent *entry = ::readdir(entries.get()))
        names.push_back(FileNameCodec::decode(entry->d_name));
    return names;
}
