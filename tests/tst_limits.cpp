// Scans that meet the system's limits: a report that reaches the process's file-size
// limit, a list that exhausts the address space, a report on a file system that fills
// up, and the devices that take a report without ever waiting. Each runs the window's
// logic on the real files in a child process that sets its own limit, so nothing here
// can touch the test runner, and a child that hangs is killed.
#include "platform/filelayer.h"
#include "platform/posix/posixlistmemory.h"
#include "tests/casename.h"
#include "tests/form1harness.h"
#include "tests/scratchfolder.h"
#include "window/recordstore.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <fstream>
#include <functional>
#include <new>
#include <poll.h>
#include <sched.h>
#include <sstream>
#include <string>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

#if defined(__SANITIZE_ADDRESS__)
constexpr bool Sanitized = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool Sanitized = true;
#else
constexpr bool Sanitized = false;
#endif
#else
constexpr bool Sanitized = false;
#endif

// What the child saw, one "key value" line each.
struct Seen
{
    std::string skip;    // why the case cannot run here; empty when it ran
    std::string message; // the one message shown, or "" when there was none
    int messages = 0;
    std::size_t listed = 0;
    bool reportIsTheList = false;
    bool idle = false;
    bool roomLeft = false; // 32 MiB could still be had once the scan was over
};

std::u16string utf16(const std::string &ascii)
{
    return {ascii.begin(), ascii.end()};
}

// Runs in the child: the limit, then one scan, then what it left behind.
std::string scanUnder(const std::function<std::string()> &limit, const std::string &page, const std::string &report,
                      const std::string &again, bool memoryAhead)
{
    std::ostringstream out;
    if (const auto skip = limit(); !skip.empty()) {
        out << "skip " << skip << '\n';
        return out.str();
    }
    PosixListMemory ahead(RecordStore::ChunkSize, RecordStore::LongestRecord);
    Form1Harness window(FileLayer::system(),
                        memoryAhead ? static_cast<std::pmr::memory_resource *>(&ahead) : std::pmr::get_default_resource());
    window.scan(utf16(page), utf16(report));
    if (!again.empty())
        window.scan(utf16(again), utf16(report));
    // Still under the limit: the window has room left to paint and show its message.
    void *room = ::operator new(std::size_t{32} << 20, std::nothrow);
    const bool roomLeft = room != nullptr;
    ::operator delete(room);
    // The checks below need memory and files of their own.
    const rlimit none{RLIM_INFINITY, RLIM_INFINITY};
    ::setrlimit(RLIMIT_AS, &none);
    ::setrlimit(RLIMIT_FSIZE, &none);
    const auto messages = window.messages();
    std::ifstream file(report, std::ios::binary);
    const std::string written{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    out << "messages " << messages.size() << '\n'
        << "listed " << window.view.shown << '\n'
        << "agree " << (written == reportOf(window.shownRecords())) << '\n'
        << "idle " << window.idle() << '\n'
        << "room " << roomLeft << '\n'
        << "message " << (messages.empty() ? "" : messages.front()) << '\n';
    return out.str();
}

Seen parse(const std::string &text)
{
    Seen seen;
    std::istringstream in(text);
    std::string key;
    while (in >> key) {
        in.get();
        std::string value;
        std::getline(in, value);
        if (key == "skip")
            seen.skip = value;
        else if (key == "messages")
            seen.messages = std::stoi(value);
        else if (key == "listed")
            seen.listed = std::stoul(value);
        else if (key == "agree")
            seen.reportIsTheList = value == "1";
        else if (key == "idle")
            seen.idle = value == "1";
        else if (key == "room")
            seen.roomLeft = value == "1";
        else if (key == "message")
            seen.message = value;
        else
            seen.message = key + " " + value; // the child's own trouble
    }
    return seen;
}

// Forks, runs `child` there and returns what it printed; a child still running after
// `seconds` is killed and counts as a failure.
std::string inChild(const std::function<std::string()> &child, int seconds)
{
    int pipeEnds[2];
    if (::pipe(pipeEnds) != 0)
        return "skip no pipe\n";
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(pipeEnds[0]);
        std::string text;
        try {
            text = child();
        } catch (const std::exception &error) {
            text = std::string("escaped ") + error.what() + "\n";
        }
        for (std::size_t done = 0; done < text.size();) {
            const ssize_t n = ::write(pipeEnds[1], text.data() + done, text.size() - done);
            if (n <= 0)
                break;
            done += static_cast<std::size_t>(n);
        }
        ::_exit(0);
    }
    ::close(pipeEnds[1]);
    std::string text;
    bool timedOut = false;
    for (;;) {
        pollfd ready{pipeEnds[0], POLLIN, 0};
        if (::poll(&ready, 1, seconds * 1000) != 1) {
            timedOut = true;
            ::kill(pid, SIGKILL);
            break;
        }
        char buffer[4096];
        const ssize_t n = ::read(pipeEnds[0], buffer, sizeof buffer);
        if (n <= 0)
            break;
        text.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(pipeEnds[0]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    if (timedOut)
        return "timeout\n";
    if (!WIFEXITED(status))
        return "died with signal " + std::to_string(WTERMSIG(status)) + "\n";
    return text;
}

// Lines that are all selected, `count` of them, each `width` characters before its CR LF.
std::string selectedLines(int count, std::size_t width)
{
    std::string page;
    for (int line = 1; line <= count; ++line) {
        std::string text = "<img src=foto\\" + std::to_string(line) + ".gif>";
        text.resize(std::max(width, text.size()), 'x');
        page += text + "\r\n";
    }
    return page;
}

std::size_t addressSpaceInUse()
{
    std::ifstream statm("/proc/self/statm");
    std::size_t pages = 0;
    statm >> pages;
    return pages * static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
}

// An address-space limit `left` bytes above what the process has now.
auto addressSpaceLeft(std::size_t left)
{
    return [left](const ScratchFolder &, std::string &) -> std::string {
        if (Sanitized)
            return "the address sanitizer reserves more address space than any limit allows";
        const rlimit limit{addressSpaceInUse() + left, RLIM_INFINITY};
        return ::setrlimit(RLIMIT_AS, &limit) == 0 ? "" : "cannot lower the address-space limit";
    };
}

// The report on a tmpfs of its own, mounted with `options` (and read-only with MS_RDONLY).
auto onSmallFileSystem(const char *options, unsigned long flags = 0)
{
    return [options, flags](const ScratchFolder &folder, std::string &report) -> std::string {
        const auto small = folder.path("small");
        ::mkdir(small.c_str(), 0700);
        if (::unshare(CLONE_NEWNS) != 0 || ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
            ::mount("tmpfs", small.c_str(), "tmpfs", flags, options) != 0)
            return "mounting a small tmpfs needs root in a mount namespace";
        report = small + "/report.txt";
        return "";
    };
}

struct LimitCase
{
    const char *name;
    std::string page;
    // Sets the limit in the child and names the report there; returns why the case
    // cannot run, or "".
    std::function<std::string(const ScratchFolder &, std::string &report)> limit;
    int failure; // 0: the scan ends normally
    bool reportIsAFile;
    std::string again = {}; // a page scanned next, under the same limit: the one judged
    bool memoryAhead = false; // the list's memory prepared ahead by a thread, as the program has it
};

using Limits = testing::TestWithParam<LimitCase>;

TEST_P(Limits, EndWithTheirMessageAndWholeRecordsInBoth)
{
    const auto &c = GetParam();
    ScratchFolder folder;
    const auto page = folder.write("page.htm", c.page);
    const auto again = c.again.empty() ? "" : folder.write("again.htm", c.again);
    std::string report = folder.path("report.txt");
    const Seen seen =
        parse(inChild([&] { return scanUnder([&] { return c.limit(folder, report); }, page, report, again, c.memoryAhead); },
                      60));
    if (!seen.skip.empty())
        GTEST_SKIP() << seen.skip;

    if (c.failure == 0) {
        EXPECT_EQ(seen.messages, 0) << seen.message;
    } else {
        EXPECT_EQ(seen.messages, 1);
        EXPECT_TRUE(seen.message.starts_with("Errore in lettura file di input  ERR= " + std::to_string(c.failure) + " - "))
            << seen.message;
    }
    if (c.failure != 0 && c.reportIsAFile) {
        EXPECT_GT(seen.listed, 0u); // the records written before the limit stay
    }
    if (c.reportIsAFile) {
        EXPECT_TRUE(seen.reportIsTheList);
    }
    EXPECT_TRUE(seen.idle);
    // A list that ended well keeps its reserve set aside for the next scan.
    if (c.again.empty()) {
        EXPECT_TRUE(seen.roomLeft);
    }
}

const LimitCase limitCases[] = {
    // The limit falls inside a record: the torn piece goes, and the list matches.
    {"FileSizeLimit", selectedLines(5000, 40),
     [](const ScratchFolder &, std::string &) {
         const rlimit limit{100001, RLIM_INFINITY};
         return ::setrlimit(RLIMIT_FSIZE, &limit) == 0 ? "" : "cannot lower the file-size limit";
     },
     60, true},
    // The list cannot hold the records: out of memory, not a crash, and the list gives
    // back the room it set aside so the window can still paint, even when that is
    // nearly all the room there was.
    {"AddressSpaceLimit", selectedLines(3000, 32000),
     [](const ScratchFolder &, std::string &) -> std::string {
         if (Sanitized)
             return "the address sanitizer reserves more address space than any limit allows";
         const rlim_t bytes = addressSpaceInUse() + (48u << 20);
         const rlimit limit{bytes, RLIM_INFINITY};
         return ::setrlimit(RLIMIT_AS, &limit) == 0 ? "" : "cannot lower the address-space limit";
     },
     7, true},
    // The list keeps its chunks from one scan to the next; after running out, the next
    // scan, of a small page, still finds room to set aside and lists it whole.
    {"AddressSpaceLimitThenSmallPage", selectedLines(3000, 32000),
     [](const ScratchFolder &, std::string &) -> std::string {
         if (Sanitized)
             return "the address sanitizer reserves more address space than any limit allows";
         const rlimit limit{addressSpaceInUse() + (48u << 20), RLIM_INFINITY};
         return ::setrlimit(RLIMIT_AS, &limit) == 0 ? "" : "cannot lower the address-space limit";
     },
     0, true, selectedLines(10, 100)},
    // The same two with chunks prepared ahead: none is kept back from the window once
    // memory has run out, and the one being prepared is taken rather than lost.
    {"AddressSpaceLimitMemoryAhead", selectedLines(3000, 32000), addressSpaceLeft(48u << 20), 7, true, {}, true},
    {"AddressSpaceLimitThenSmallPageMemoryAhead", selectedLines(3000, 32000), addressSpaceLeft(48u << 20), 0, true,
     selectedLines(10, 100), true},
    // A report on a file system of 1 MiB that fills up half-way.
    {"SmallFileSystem", selectedLines(20000, 100), onSmallFileSystem("size=1m"), 61, true},
    // The disk fills up while the records found before an overflow are written: the
    // message names the full disk, which lost records, not the overflow.
    {"DiskFullBehindOverflow", selectedLines(3000, 30) + std::string(40000, 'x'), onSmallFileSystem("size=64k"),
     61, true},
    // Not even root may create a report there.
    {"ReadOnlyFileSystem", selectedLines(10, 40), onSmallFileSystem("size=64k", MS_RDONLY), 70, false},
    // Devices that take a report at once are sinks, not failures.
    {"DevNullAsOutput", selectedLines(100, 40),
     [](const ScratchFolder &, std::string &report) {
         report = "/dev/null";
         return "";
     },
     0, false},
};

INSTANTIATE_TEST_SUITE_P(Scan, Limits, testing::ValuesIn(limitCases), CaseName());

} // namespace
