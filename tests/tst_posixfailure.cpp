// What the POSIX layer tells the user: each system error as its number, and which file
// an open handle is.
#include "tests/casename.h"
#include "tests/scratchfolder.h"

#include "platform/filelayer.h"
#include "platform/inputfile.h"
#include "platform/outputfile.h"
#include "platform/posix/posixfailure.h"
#include "platform/posix/posixfilelock.h"
#include "scan/lineselector.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <iterator>
#include <string>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

struct ErrnoCase
{
    const char *name;
    int error;
    std::string path;
    int number;
};

using Errors = testing::TestWithParam<ErrnoCase>;

TEST_P(Errors, NameTheirFailure)
{
    EXPECT_EQ(PosixFailure::fromErrno(GetParam().error, GetParam().path).number, GetParam().number);
}

const ErrnoCase errnoCases[] = {
    {"MissingFileInAFolder", ENOENT, "/tmp/pagesift-no-such-page.htm", 53},
    {"MissingFileInTheRootFolder", ENOENT, "/pagesift-no-such-page.htm", 53},
    {"MissingFileHere", ENOENT, "pagesift-no-such-page.htm", 53},
    {"MissingFolder", ENOENT, "/pagesift-no-such-folder/page.htm", 76}, {"NotAFolder", ENOTDIR, "", 76},
    {"NoPermission", EACCES, "", 70}, {"NotPermitted", EPERM, "", 70},
    {"ReadOnlyFileSystem", EROFS, "", 70}, {"ProgramRunning", ETXTBSY, "", 70},
    {"Folder", EISDIR, "", 75}, {"LinkLoop", ELOOP, "", 75}, {"WouldWait", EAGAIN, "", 75}, {"NoReader", ENXIO, "", 75},
    {"NameTooLong", ENAMETOOLONG, "", 52}, {"Invalid", EINVAL, "", 52},
    {"DiskFull", ENOSPC, "", 61}, {"QuotaFull", EDQUOT, "", 61}, {"FileSizeLimit", EFBIG, "", 60},
    {"ReaderGone", EPIPE, "", 68}, {"NoDescriptorLeft", EMFILE, "", 67}, {"NoDescriptorLeftOnTheSystem", ENFILE, "", 67},
    {"NoMemory", ENOMEM, "", 7}, {"DeviceError", EIO, "", 57},
};

INSTANTIATE_TEST_SUITE_P(Posix, Errors, testing::ValuesIn(errnoCases), CaseName());

// The device is half of a file's identity: the same inode number on another device is
// another file.
TEST(Posix, IdentityIsDeviceAndInode)
{
    ScratchFolder folder;
    const auto page = folder.write("page.htm", "a/b");
    const auto opened = FileLayer::system().openInput(std::u16string(page.begin(), page.end()));
    ASSERT_TRUE(opened.file);
    struct stat info {};
    ASSERT_EQ(::stat(page.c_str(), &info), 0);
    const FileIdentity identity = opened.file->identity();
    EXPECT_EQ(identity.volume, static_cast<std::uint64_t>(info.st_dev));
    EXPECT_EQ(identity.file[0], static_cast<std::uint64_t>(info.st_ino));
}

// Every file the layer opens is closed again, whether it was read, written or refused.
TEST(Posix, EveryFileOpenedIsClosed)
{
    const auto open = [] { return std::distance(std::filesystem::directory_iterator("/proc/self/fd"), {}); };
    ScratchFolder folder;
    const auto page = folder.write("page.htm", "a/b");
    const auto before = open();
    for (const std::string &name : {page, folder.path("report.txt"), std::string("/dev/null"), folder.path("")}) {
        const std::u16string wide(name.begin(), name.end());
        static_cast<void>(FileLayer::system().openInput(wide));
        static_cast<void>(FileLayer::system().openOutput(wide));
    }
    EXPECT_EQ(open(), before);
}

// A lock is refused only while another open file holds one. A descriptor that cannot
// take it for any other reason, as on a file system that keeps no locks, is told so at
// once and its file is used unlocked.
TEST(Posix, LockRefusedOnlyWhileAnotherHoldsOne)
{
    ScratchFolder folder;
    const auto path = folder.write("locked.txt", "keep me");
    const int reader = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    const int writer = ::open(path.c_str(), O_WRONLY | O_CLOEXEC);
    const int other = ::open(path.c_str(), O_RDWR | O_CLOEXEC);
    using Outcome = PosixFileLock::Outcome;
    EXPECT_EQ(PosixFileLock::exclusive(reader), Outcome::Unsupported);
    EXPECT_EQ(PosixFileLock::shared(writer), Outcome::Unsupported);
    EXPECT_EQ(PosixFileLock::exclusive(writer), Outcome::Held);
    EXPECT_EQ(PosixFileLock::shared(other), Outcome::HeldByOther);
    for (const int fd : {reader, writer, other})
        ::close(fd);
}

// A program started with its standard input closed gets descriptor 0 for a file: it is
// a file like any other, read, written, refused and closed.
TEST(Posix, DescriptorZeroIsAFileLikeAnyOther)
{
    ScratchFolder folder;
    const auto page = folder.write("page.htm", "a/b");
    const auto report = folder.path("report.txt");
    const auto wide = [](const std::string &name) { return std::u16string(name.begin(), name.end()); };
    const int standardInput = ::dup(0);
    ::close(0);
    const bool inputOpened = FileLayer::system().openInput(wide(page)).file != nullptr;
    const bool folderRefused = FileLayer::system().openInput(wide(folder.path(""))).failure.has_value();
    const bool zeroFreeAfterRefusal = ::fcntl(0, F_GETFD) == -1;
    auto output = FileLayer::system().openOutput(wide(report));
    const bool outputClosed = output.file && !output.file->close() && ::fcntl(0, F_GETFD) == -1;
    output.file.reset();
    ::dup2(standardInput, 0);
    ::close(standardInput);
    EXPECT_TRUE(inputOpened);
    EXPECT_TRUE(folderRefused);
    EXPECT_TRUE(zeroFreeAfterRefusal);
    EXPECT_TRUE(outputClosed);
}

// A line that ends where readable memory ends: the selection reads no byte after it,
// in either loop, whatever the line's length against the vector loop's blocks.
TEST(Posix, SelectionReadsNoByteBeyondTheLine)
{
    const auto page = static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
    void *memory = ::mmap(nullptr, 2 * page, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    ASSERT_NE(memory, MAP_FAILED);
    ASSERT_EQ(::mprotect(static_cast<char *>(memory) + page, page, PROT_NONE), 0);
    for (std::size_t length = 1; length <= 80; ++length) {
        char *const line = static_cast<char *>(memory) + page - length;
        std::fill(line, line + length, 'x');
        line[length - 1] = '.'; // a "." looks at the bytes after it
        for (const auto loop : {LineSelector::Loop::Wide, LineSelector::Loop::Vector, LineSelector::Loop::Scalar}) {
            std::int16_t column = 0;
            EXPECT_EQ(LineSelector::normaliseAndSelect({line, length}, column, loop), LineSelector::Verdict::NotSelected);
        }
    }
    ::munmap(memory, 2 * page);
}

} // namespace
