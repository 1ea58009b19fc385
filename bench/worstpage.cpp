// One scan of the worst legal page, timed from inside, for bench/run.sh to set beside
// `cat page > report` run the same way in the same run:
//   pagesift_worstpage write PAGE         writes the page (about 1 GiB)
//   pagesift_worstpage scan PAGE REPORT   the scan alone, file to file
//   pagesift_worstpage click PAGE REPORT  the window: click to painted list, the first
//                                         time and again, then the process's peak memory
// Prints the seconds taken, each followed by the processor time the process spent in
// them, user and system (on a shared machine it shows what waiting hid), and for click
// the peak memory in MB, on one line. The report is left as the scan leaves it:
// run.sh decides whether the first one finds it there.
#include "bench/pages.h"
#include "bench/silentfeedback.h"
#include "bench/windowdriver.h"

#include "platform/filelayer.h"
#include "platform/posix/posixlistmemory.h"
#include "platform/posix/posixstartup.h"
#include "scan/referencescanner.h"
#include "scan/scancounters.h"
#include "scan/scanview.h"
#include "window/qt/qtform1.h"
#include "window/qt/qtpaintthread.h"
#include "window/recordstore.h"

#include <QApplication>
#include <QTest>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <sys/resource.h>

namespace {

using Clock = std::chrono::steady_clock;

double since(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

double processorSeconds()
{
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval &time) { return static_cast<double>(time.tv_sec) + static_cast<double>(time.tv_usec) / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

class NoView final : public ScanView
{
public:
    NoView(const char *input, const char *output)
        : m_input(std::filesystem::path(input).u16string()), m_output(std::filesystem::path(output).u16string()) {}
    std::u16string inputName() const override { return m_input; }
    std::u16string outputName() const override { return m_output; }
    void showMessage(std::string_view text) override { message.assign(text); }
    void enterBusy() override {}
    std::optional<std::string_view> appendRecord(std::string_view) override { return std::nullopt; }
    void keepRecords(std::size_t) override {}
    void leaveBusy() override {}

    std::string message;

private:
    std::u16string m_input;
    std::u16string m_output;
};

int scan(const char *input, const char *output)
{
    NoView view(input, output);
    ScanCounters counters;
    const double processor = processorSeconds();
    const auto start = Clock::now();
    ReferenceScanner(view, counters, FileLayer::system()).run();
    const double taken = since(start);
    if (!view.message.empty()) {
        std::fprintf(stderr, "the scan reported: %s\n", view.message.c_str());
        return EXIT_FAILURE;
    }
    std::printf("%.4f %.4f\n", taken, processorSeconds() - processor);
    return EXIT_SUCCESS;
}

int click(int argc, char **argv, const char *input, const char *output)
{
    // As the program itself starts (window/qt/main.cpp).
    PosixStartup::shareOneHeap();
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QtPaintThread::keepOne();

    SilentFeedback feedback;
    PosixListMemory listMemory(RecordStore::ChunkSize, RecordStore::LongestRecord);
    QtForm1 form(feedback, nullptr, nullptr, &listMemory);
    form.show();
    if (!QTest::qWaitForWindowExposed(&form)) {
        std::fputs("the window was never shown\n", stderr);
        return EXIT_FAILURE;
    }
    WindowDriver driver(form);
    driver.setNames(input, output);
    double taken[2] = {};
    double processor[2] = {};
    for (int click = 0; click < 2; ++click) {
        processor[click] = processorSeconds();
        const auto start = Clock::now();
        driver.clickAndWaitForPaint();
        taken[click] = since(start);
        processor[click] = processorSeconds() - processor[click];
        if (!feedback.lastMessage.empty() || driver.rows() != 32767) {
            std::fprintf(stderr, "%d rows; the scan reported: %s\n", driver.rows(), feedback.lastMessage.c_str());
            return EXIT_FAILURE;
        }
    }
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    std::printf("%.4f %.4f %.4f %.4f %.0f\n", taken[0], processor[0], taken[1], processor[1],
                static_cast<double>(usage.ru_maxrss) * 1024.0 / 1e6);
    return EXIT_SUCCESS;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc == 3 && std::strcmp(argv[1], "write") == 0) {
        if (writeWorstPage(argv[2]) == 0) {
            std::perror(argv[2]);
            return EXIT_FAILURE;
        }
        return EXIT_SUCCESS;
    }
    if (argc == 4 && std::strcmp(argv[1], "scan") == 0)
        return scan(argv[2], argv[3]);
    if (argc == 4 && std::strcmp(argv[1], "click") == 0)
        return click(argc, argv, argv[2], argv[3]);
    std::fputs("usage: pagesift_worstpage write PAGE | scan PAGE REPORT | click PAGE REPORT\n", stderr);
    return EXIT_FAILURE;
}
