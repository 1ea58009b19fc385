// The window's share of a scan: from the click on "Ricerca Path e nomi files" to the
// result list painted, for a page whose 32,767 lines are all selected, against the
// same scan with no window at all. Then Ctrl+A and Ctrl+C in the result list, the
// selected records decoded whole onto the clipboard, for that page and the realistic
// one. Runs on the offscreen platform unless told otherwise. --smoke: one iteration each.
#include "bench/pages.h"
#include "bench/silentfeedback.h"
#include "bench/windowdriver.h"

#include "window/qt/qtform1.h"
#include "platform/filelayer.h"
#include "scan/referencescanner.h"
#include "scan/scancounters.h"
#include "scan/scanview.h"

#include <QApplication>
#include <QTest>

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <vector>

namespace {

namespace fs = std::filesystem;

using Clock = std::chrono::steady_clock;

struct Files
{
    fs::path folder;
    fs::path input;
    fs::path output;
    fs::path realistic;
};

Files g_files;

class NoView final : public ScanView
{
public:
    NoView(const fs::path &input, const fs::path &output) : m_input(input.u16string()), m_output(output.u16string()) {}
    std::u16string inputName() const override { return m_input; }
    std::u16string outputName() const override { return m_output; }
    void showMessage(std::string_view) override {}
    void enterBusy() override {}
    std::optional<std::string_view> appendRecord(std::string_view) override { return std::nullopt; }
    void keepRecords(std::size_t) override {}
    void leaveBusy() override {}

private:
    std::u16string m_input;
    std::u16string m_output;
};

double seconds(Clock::duration duration)
{
    return std::chrono::duration<double>(duration).count();
}

// The best of a few runs of the bare scan: what the window adds is measured beyond it.
double bareScanSeconds()
{
    NoView view(g_files.input, g_files.output);
    ScanCounters counters;
    double best = 1e9;
    for (int run = 0; run < 5; ++run) {
        fs::remove(g_files.output);
        const auto start = Clock::now();
        ReferenceScanner(view, counters, FileLayer::system()).run();
        best = std::min(best, seconds(Clock::now() - start));
    }
    return best;
}

void clickToPaint(benchmark::State &state)
{
    SilentFeedback feedback;
    QtForm1 form(feedback);
    form.show();
    if (!QTest::qWaitForWindowExposed(&form)) {
        state.SkipWithError("the window was never shown");
        return;
    }
    WindowDriver driver(form);
    driver.setNames(g_files.input.string(), g_files.output.string());
    driver.clickAndWaitForPaint(); // warms the page cache and the fonts

    const double bare = bareScanSeconds();
    double total = 0;
    for (auto _ : state) {
        fs::remove(g_files.output); // a new report each time, as in wholeScan()
        const auto start = Clock::now();
        driver.clickAndWaitForPaint();
        const double taken = seconds(Clock::now() - start);
        state.SetIterationTime(taken);
        total += taken;
    }
    if (!feedback.lastMessage.empty() || driver.rows() != 32767) {
        state.SkipWithError(("the scan did not list 32,767 records: " + feedback.lastMessage).c_str());
        return;
    }
    state.counters["rows"] = driver.rows();
    state.counters["bare_scan_ms"] = bare * 1e3;
    state.counters["beyond_scan_ms"] = (total / static_cast<double>(state.iterations()) - bare) * 1e3;
}

// An active window that has just scanned `page` and painted its list; false, with the
// reason given to the benchmark, when it could not.
bool scanned(benchmark::State &state, QtForm1 &form, WindowDriver &driver, const fs::path &page)
{
    form.show();
    form.activateWindow();
    if (!QTest::qWaitForWindowActive(&form)) {
        state.SkipWithError("the window never became active");
        return false;
    }
    fs::remove(g_files.output);
    driver.setNames(page.string(), g_files.output.string());
    driver.clickAndWaitForPaint();
    return true;
}

void copyAll(benchmark::State &state, const fs::path &page, int records)
{
    SilentFeedback feedback;
    QtForm1 form(feedback);
    WindowDriver driver(form);
    if (!scanned(state, form, driver, page))
        return;
    if (driver.rows() != records) {
        state.SkipWithError("the scan did not list the page's records");
        return;
    }
    for (auto _ : state) {
        const auto start = Clock::now();
        driver.selectAllAndCopy();
        state.SetIterationTime(seconds(Clock::now() - start));
    }
    if (driver.copiedLines() != records) {
        state.SkipWithError("the clipboard does not hold every record");
        return;
    }
    state.counters["rows"] = records;
}

// The pointer resting on a row of the longest record a page can hold, 32,766
// characters on a page with LF-only line ends: until its tooltip has painted.
void tooltip(benchmark::State &state, const fs::path &page)
{
    SilentFeedback feedback;
    QtForm1 form(feedback);
    WindowDriver driver(form);
    if (!scanned(state, form, driver, page))
        return;
    for (auto _ : state) {
        const auto start = Clock::now();
        const bool shown = driver.showFirstRowsTooltip();
        state.SetIterationTime(seconds(Clock::now() - start));
        if (!shown) {
            state.SkipWithError("no tooltip for the cut record");
            return;
        }
    }
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    bool smoke = false;
    std::vector<char *> args;
    for (int i = 0; i < argc; ++i) {
        if (std::strcmp(argv[i], "--smoke") == 0)
            smoke = true;
        else
            args.push_back(argv[i]);
    }
    int count = static_cast<int>(args.size());
    args.push_back(nullptr);
    QApplication app(count, args.data());

    std::string pattern = (fs::temp_directory_path() / "pagesift-window-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) {
        std::perror("mkdtemp");
        return EXIT_FAILURE;
    }
    g_files = {pattern, fs::path(pattern) / "allselected.html", fs::path(pattern) / "allselected.txt",
               fs::path(pattern) / "realistic.html"};
    const fs::path longest = fs::path(pattern) / "longest.html";
    std::string lines;
    while (lines.size() < 32766 - 30)
        lines += "<p><img src=\"img/a.gif\">\n";
    if (!writePage(longest.string(), lines + std::string(32766 - lines.size(), 'x'))) {
        std::perror(longest.c_str());
        return EXIT_FAILURE;
    }
    for (const auto &[path, kind] : {std::pair{g_files.input, PageKind::AllSelected},
                                     std::pair{g_files.realistic, PageKind::Realistic}}) {
        if (!writePage(path.string(), makePage(kind))) {
            std::perror(path.c_str());
            return EXIT_FAILURE;
        }
    }

    benchmark::internal::Benchmark *benches[] = {
        benchmark::RegisterBenchmark("window/click_to_paint/allselected", clickToPaint),
        // Every line of the page is a record: 32,767 of them.
        benchmark::RegisterBenchmark("window/copy_all/allselected", copyAll, g_files.input, 32767),
        // One line in three, 10,923 records.
        benchmark::RegisterBenchmark("window/copy_all/realistic", copyAll, g_files.realistic, 10923),
        benchmark::RegisterBenchmark("window/tooltip/longest_record", tooltip, longest),
    };
    for (auto *bench : benches) {
        bench->UseManualTime()->Unit(benchmark::kMillisecond);
        if (smoke)
            bench->Iterations(1);
    }
    benchmark::Initialize(&count, args.data());
    if (benchmark::ReportUnrecognizedArguments(count, args.data()))
        return EXIT_FAILURE;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();

    std::error_code ignored;
    fs::remove_all(g_files.folder, ignored);
    return EXIT_SUCCESS;
}
