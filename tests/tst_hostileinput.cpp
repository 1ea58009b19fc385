// Hostile input through the real window and the real scan: endless and random devices,
// a full disk, places that cannot be written, bytes no text editor would write. Each
// must end in the right failure, in bounded time and memory, leave the window idle,
// and let the next scan work.
#include "tests/casename.h"
#include "tests/recordingfeedback.h"
#include "tests/scratchfolder.h"

#include "platform/filenamecodec.h"
#include "platform/inputfile.h"
#include "platform/outputfile.h"
#include "platform/posix/posixfilelayer.h"
#include "window/qt/qtform1.h"
#include "window/qt/recordlistmodel.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <string>
#include <fcntl.h>
#include <memory>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cstdlib>
#include <vector>

namespace {

const std::string FailurePrefix = "message: Errore in lettura file di input  ERR=";

// A small page whose selected lines are known, to prove the window works again.
const std::string GoodPage = "<html>\r\n<img src=a/b.gif>\r\n</p>\r\nC:\\temp\r\n";
const std::vector<std::string> GoodRecords = {" 2 - <img src=a/b.gif>", " 4 - C:\\temp"};

long peakKilobytes()
{
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

class Window
{
public:
    Window()
    {
        form.show();
        if (!QTest::qWaitForWindowExposed(&form))
            throw std::runtime_error("the window was never shown");
    }

    void scan(const std::string &input, const std::string &output)
    {
        // Text1 first: changing it empties Text2. Names as a drop or the dialog gives them.
        form.findChild<QLineEdit *>("Text1")->setText(QString::fromStdU16String(FileNameCodec::decode(input)));
        form.findChild<QLineEdit *>("Text2")->setText(QString::fromStdU16String(FileNameCodec::decode(output)));
        feedback.events.clear();
        QTest::mouseClick(scanButton(), Qt::LeftButton);
    }

    QPushButton *scanButton() { return form.findChild<QPushButton *>("Command1"); }

    std::vector<std::string> rows() const
    {
        std::vector<std::string> rows;
        for (int row = 0; row < form.records().rowCount(); ++row)
            rows.emplace_back(form.records().record(row));
        return rows;
    }

    std::string message() const
    {
        for (const auto &event : feedback.events)
            if (event.starts_with("message: "))
                return event;
        return {};
    }

    // Idle again: the button back, the pointer restored last.
    void expectIdle()
    {
        EXPECT_TRUE(scanButton()->isEnabled());
        ASSERT_FALSE(feedback.events.empty());
        EXPECT_EQ(feedback.events.back(), "idle");
    }

    void expectGoodScanWorks(const ScratchFolder &folder)
    {
        const auto input = folder.write("good.html", GoodPage);
        const auto output = folder.path("good.txt");
        scan(input, output);
        EXPECT_EQ(message(), "");
        EXPECT_EQ(rows(), GoodRecords);
        EXPECT_EQ(ScratchFolder::read(output), GoodRecords[0] + "\r\n" + GoodRecords[1] + "\r\n");
        expectIdle();
    }

    RecordingFeedback feedback;
    QtForm1 form{feedback};
};

// Where the report cannot be written. Permission bits do not stop root, so as root the
// case uses what the kernel refuses to everyone: sysfs creates no files, and its
// read-only attributes cannot be opened for writing.
struct Unwritable
{
    std::string path;   // empty: no such place on this machine
    std::string before; // the file's contents, which must stay
    std::shared_ptr<void> hold = {}; // what keeps a pipe's or a terminal's other end open
};

// Closes `fd` when the case is over.
std::shared_ptr<void> holding(int fd)
{
    return {nullptr, [fd](void *) { ::close(fd); }};
}

// A report from an earlier scan, which a page that is refused must leave as it is.
Unwritable earlierReport(const ScratchFolder &folder, std::shared_ptr<void> hold = {})
{
    return {folder.write("report.txt", "keep me\r\n"), "keep me\r\n", std::move(hold)};
}

// A FIFO with its other end held open: a writer that never writes, or a reader that
// never reads.
std::string heldFifo(const ScratchFolder &folder, int otherEnd, std::shared_ptr<void> &hold)
{
    const auto path = folder.path("page.fifo");
    if (::mkfifo(path.c_str(), 0600) != 0)
        return {};
    const int fd = ::open(path.c_str(), otherEnd | O_NONBLOCK);
    if (fd < 0)
        return {};
    hold = holding(fd);
    return path;
}

// The terminal side of a new pseudo-terminal, its controlling side held open.
std::string pseudoTerminal(std::shared_ptr<void> &hold)
{
    const int master = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (master < 0)
        return {};
    hold = holding(master);
    if (::grantpt(master) != 0 || ::unlockpt(master) != 0)
        return {};
    const char *name = ::ptsname(master);
    return name ? name : "";
}

Unwritable unwritableFile(const ScratchFolder &folder)
{
    if (::geteuid() == 0) {
        const std::string attribute = "/sys/kernel/uevent_seqnum";
        if (::access(attribute.c_str(), F_OK) != 0)
            return {};
        return {attribute, {}};
    }
    const auto path = folder.write("locked.txt", "keep me\r\n");
    ::chmod(path.c_str(), 0444);
    return {path, "keep me\r\n"};
}

Unwritable readOnlyFolder(const ScratchFolder &folder)
{
    if (::geteuid() == 0) {
        struct stat info {};
        if (::stat("/sys", &info) != 0 || !S_ISDIR(info.st_mode))
            return {};
        return {"/sys/pagesift-report.txt", {}};
    }
    const auto locked = folder.path("locked");
    ::mkdir(locked.c_str(), 0555);
    return {locked + "/report.txt", {}};
}

struct HostileCase
{
    const char *name;
    // Prepares the two names; an empty input name skips the case on this machine.
    std::function<Unwritable(const ScratchFolder &, std::string &input)> prepare;
    int failure;
    double maxSeconds;
    long maxGrowthKilobytes;
};

using Hostile = testing::TestWithParam<HostileCase>;

TEST_P(Hostile, EndsInItsFailureThenTheNextScanWorks)
{
    const auto &c = GetParam();
    ScratchFolder folder;
    std::string input;
    const Unwritable output = c.prepare(folder, input);
    if (input.empty() || output.path.empty())
        GTEST_SKIP() << "no such place on this machine";

    Window window;
    const long peakBefore = peakKilobytes();
    const auto start = std::chrono::steady_clock::now();
    window.scan(input, output.path);
    const std::chrono::duration<double> taken = std::chrono::steady_clock::now() - start;

    const auto expected = FailurePrefix + " " + std::to_string(c.failure) + " - ";
    EXPECT_TRUE(window.message().starts_with(expected)) << window.message();
    EXPECT_LT(taken.count(), c.maxSeconds);
    EXPECT_LT(peakKilobytes() - peakBefore, c.maxGrowthKilobytes);
    if (!output.before.empty()) {
        EXPECT_EQ(ScratchFolder::read(output.path), output.before);
    }
    window.expectIdle();
    window.expectGoodScanWorks(folder);
}

const auto goodInput = [](const ScratchFolder &folder, std::string &input) {
    input = folder.write("page.html", GoodPage);
};

// Another scan, on a file layer of its own as another copy of the program has, holds
// an earlier report as the page it reads, or as its report (claimed by the cut that
// keeps its records, as a scan's is).
auto heldByAnotherScan(bool asPage)
{
    return [asPage](const ScratchFolder &folder, std::string &input) {
        goodInput(folder, input);
        const auto report = earlierReport(folder);
        const std::u16string name(report.path.begin(), report.path.end());
        PosixFileLayer files;
        if (asPage)
            return Unwritable{report.path, report.before, std::shared_ptr<InputFile>(files.openInput(name).file)};
        std::shared_ptr<OutputFile> writing = std::move(files.openOutput(name).file);
        if (!writing || writing->truncate(report.before.size()))
            return Unwritable{};
        return Unwritable{report.path, report.before, writing};
    };
}

const HostileCase hostileCases[] = {
    // An endless line: refused once it passes 32,767 characters, whatever follows.
    {"DevZeroAsInput",
     [](const ScratchFolder &folder, std::string &input) {
         input = "/dev/zero";
         return Unwritable{folder.path("report.txt"), {}};
     },
     6, 10.0, 16 * 1024},
    // Endless random bytes: a line end comes every 256 bytes or so, so the line counter
    // overflows at line 32,768, some 8 MB in.
    {"DevUrandomAsInput",
     [](const ScratchFolder &folder, std::string &input) {
         input = "/dev/urandom";
         return Unwritable{folder.path("report.txt"), {}};
     },
     6, 20.0, 64 * 1024},
    {"DevFullAsOutput",
     [](const ScratchFolder &folder, std::string &input) {
         goodInput(folder, input);
         return Unwritable{"/dev/full", {}};
     },
     61, 10.0, 16 * 1024},
    {"UnwritableOutputFile",
     [](const ScratchFolder &folder, std::string &input) {
         goodInput(folder, input);
         return unwritableFile(folder);
     },
     70, 10.0, 16 * 1024},
    {"OutputInReadOnlyFolder",
     [](const ScratchFolder &folder, std::string &input) {
         goodInput(folder, input);
         return readOnlyFolder(folder);
     },
     70, 10.0, 16 * 1024},
    // What could make a read or a write wait for ever is refused before the report is
    // touched, so the window never freezes.
    {"FifoWithSilentWriterAsInput",
     [](const ScratchFolder &folder, std::string &input) {
         std::shared_ptr<void> hold;
         input = heldFifo(folder, O_RDWR, hold);
         return earlierReport(folder, hold);
     },
     75, 5.0, 16 * 1024},
    // A file that fails when read: the program's own memory, from address 0.
    {"ProcessMemoryAsInput",
     [](const ScratchFolder &folder, std::string &input) {
         input = "/proc/self/mem";
         return Unwritable{folder.path("report.txt"), {}};
     },
     57, 5.0, 16 * 1024},
    {"PtmxAsInput",
     [](const ScratchFolder &folder, std::string &input) {
         input = "/dev/ptmx";
         return earlierReport(folder);
     },
     75, 5.0, 16 * 1024},
    {"TerminalAsInput",
     [](const ScratchFolder &folder, std::string &input) {
         std::shared_ptr<void> hold;
         input = pseudoTerminal(hold);
         return earlierReport(folder, hold);
     },
     75, 5.0, 16 * 1024},
    // A socket cannot even be opened as a file, nor a FIFO without a reader for writing.
    {"SocketAsInput",
     [](const ScratchFolder &folder, std::string &input) {
         const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
         sockaddr_un address{};
         address.sun_family = AF_UNIX;
         const auto path = folder.path("page.sock");
         if (fd < 0 || path.size() >= sizeof address.sun_path)
             return Unwritable{};
         path.copy(address.sun_path, path.size());
         if (::bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof address) != 0 || ::listen(fd, 1) != 0)
             return Unwritable{};
         input = path;
         return earlierReport(folder, holding(fd));
     },
     75, 5.0, 16 * 1024},
    {"FifoWithNoReaderAsOutput",
     [](const ScratchFolder &folder, std::string &input) {
         goodInput(folder, input);
         const auto fifo = folder.path("report.fifo");
         return Unwritable{::mkfifo(fifo.c_str(), 0600) == 0 ? fifo : "", {}};
     },
     75, 5.0, 16 * 1024},
    // A page named in bytes that are not UTF-8 (copied from an old Windows disk) is
    // found, read and its records written.
    {"PageNameNotUtf8",
     [](const ScratchFolder &folder, std::string &input) {
         input = folder.write("r\xE9\xFF\xC3.htm", GoodPage);
         return Unwritable{"/dev/full", {}};
     },
     61, 5.0, 16 * 1024},
    {"FifoWithIdleReaderAsOutput",
     [](const ScratchFolder &folder, std::string &input) {
         goodInput(folder, input);
         std::shared_ptr<void> hold;
         const auto fifo = heldFifo(folder, O_RDONLY, hold);
         return Unwritable{fifo, {}, hold};
     },
     75, 5.0, 16 * 1024},
    {"TerminalAsOutput",
     [](const ScratchFolder &folder, std::string &input) {
         goodInput(folder, input);
         std::shared_ptr<void> hold;
         const auto terminal = pseudoTerminal(hold);
         return Unwritable{terminal, {}, hold};
     },
     75, 5.0, 16 * 1024},
    {"PageOfAnotherScanAsOutput", heldByAnotherScan(true), 70, 5.0, 16 * 1024},
    {"ReportOfAnotherScanAsOutput", heldByAnotherScan(false), 70, 5.0, 16 * 1024},
};

INSTANTIATE_TEST_SUITE_P(Devices, Hostile, testing::ValuesIn(hostileCases), CaseName());

// Every byte but the line ends and tabs reaches the report and the list as it was.
TEST(OddBytes, PassThroughUnchanged)
{
    std::string line1 = std::string("a/b", 3) + '\0' + "\x01\x7f\x80\x9f\xa0\xff" + '\0';
    std::string line2 = "\xe9\xe8.GIF\t\xc3\xa8"; // Latin-1 and UTF-8 side by side
    std::string line3 = std::string("\0\0\\", 3);
    std::string page = line1 + "\r\n" + line2 + "\r" + line3 + "\n\xfe\r\n";
    ScratchFolder folder;
    const auto input = folder.write("odd.html", page);
    const auto output = folder.path("odd.txt");

    Window window;
    window.scan(input, output);

    std::string tabless = line2;
    tabless[6] = ' ';
    // The lone line feed after line 3 belongs to it, as does the 0xFE after it.
    const std::vector<std::string> expected = {" 1 - " + line1, " 2 - " + tabless, " 3 - " + line3 + "\n\xfe"};
    EXPECT_EQ(window.message(), "");
    EXPECT_EQ(window.rows(), expected);
    EXPECT_EQ(ScratchFolder::read(output), expected[0] + "\r\n" + expected[1] + "\r\n" + expected[2] + "\r\n");
}

// The second scan clears the list and empties the report first: the same names give
// the same results, not twice the results.
TEST(TwoScans, InARowGiveTheSameResults)
{
    std::string page;
    for (int line = 1; line <= 3000; ++line)
        page += line % 3 ? "<p>testo " + std::to_string(line) + "</p>\t\r\n"
                         : "\t<img src=foto/" + std::to_string(line) + ".jpg>\r\n";
    ScratchFolder folder;
    const auto input = folder.write("page.html", page);
    const auto output = folder.path("report.txt");

    Window window;
    window.scan(input, output);
    const auto firstRows = window.rows();
    const auto firstReport = ScratchFolder::read(output);
    window.scan(input, output);

    EXPECT_EQ(window.message(), "");
    EXPECT_EQ(firstRows.size(), 1000u);
    EXPECT_EQ(window.rows(), firstRows);
    EXPECT_EQ(ScratchFolder::read(output), firstReport);
    window.expectIdle();
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
