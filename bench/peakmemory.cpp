// Peak memory of the window scanning the worst legal page: 32,767 lines of 32,766
// bytes, about 1 GiB, all selected. The list must hold each record once, in 8-bit
// form, so the peak stays within 1.5 times the report's size plus 100 MB. Exits with
// 1 when it does not. Writes the page and the report to FOLDER (default: a temporary
// folder), about 2 GiB in all, and removes them afterwards.
//
// Not a test: it takes seconds and gigabytes. bench/run.sh runs it.
#include "bench/pages.h"
#include "bench/silentfeedback.h"
#include "bench/windowdriver.h"

#include "platform/posix/posixlistmemory.h"
#include "window/qt/qtform1.h"
#include "window/recordstore.h"

#include <QApplication>
#include <QTest>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <sys/resource.h>

namespace {

double peakMegabytes()
{
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) * 1024.0 / 1e6; // KiB to MB
}

} // namespace

int main(int argc, char **argv)
{
    namespace fs = std::filesystem;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    fs::path folder;
    if (argc > 1) {
        folder = argv[1];
    } else {
        std::string pattern = (fs::temp_directory_path() / "pagesift-memory-XXXXXX").string();
        if (!::mkdtemp(pattern.data())) {
            std::perror("mkdtemp");
            return EXIT_FAILURE;
        }
        folder = pattern;
    }
    const fs::path input = folder / "worst.html";
    const fs::path output = folder / "worst.txt";
    if (writeWorstPage(input.string()) == 0) {
        std::perror(input.c_str());
        return EXIT_FAILURE;
    }

    int status = EXIT_FAILURE;
    {
        SilentFeedback feedback;
        PosixListMemory listMemory(RecordStore::ChunkSize, RecordStore::LongestRecord);
        QtForm1 form(feedback, nullptr, nullptr, &listMemory);
        form.show();
        if (!QTest::qWaitForWindowExposed(&form)) {
            std::fputs("the window was never shown\n", stderr);
            return EXIT_FAILURE;
        }
        WindowDriver driver(form);
        driver.setNames(input.string(), output.string());
        const double before = peakMegabytes();
        const auto start = std::chrono::steady_clock::now();
        driver.clickAndWaitForPaint();
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

        const double report = static_cast<double>(fs::file_size(output)) / 1e6;
        const double peak = peakMegabytes();
        const double limit = 1.5 * report + 100;
        std::printf("worst page: %.0f MB in, %d rows listed, report %.0f MB, click to paint %.2f s\n",
                    static_cast<double>(fs::file_size(input)) / 1e6, driver.rows(), report, seconds);
        std::printf("peak memory: %.0f MB (%.0f MB before the scan); limit 1.5 x report + 100 MB = %.0f MB: %s\n",
                    peak, before, limit, peak <= limit ? "within" : "OVER");
        if (!feedback.lastMessage.empty())
            std::printf("the scan reported: %s\n", feedback.lastMessage.c_str());
        if (peak <= limit && driver.rows() == 32767 && feedback.lastMessage.empty())
            status = EXIT_SUCCESS;
    }
    std::error_code ignored;
    fs::remove(input, ignored);
    fs::remove(output, ignored);
    if (argc <= 1)
        fs::remove(folder, ignored);
    return status;
}
