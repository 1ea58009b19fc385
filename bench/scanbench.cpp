// Throughput of the selection rule alone and of the whole scan, file to file, on the
// generated pages. Options besides Google Benchmark's own:
//   --pages=DIR  write the page files into DIR and keep them (bench/run.sh times other
//                tools on the very same files); otherwise a temporary folder is used
//   --smoke      one iteration each and no gigabyte page: a quick check that it all runs
#include "bench/pages.h"

#include "platform/filelayer.h"
#include "scan/lineselector.h"
#include "scan/referencescanner.h"
#include "scan/scancounters.h"
#include "scan/scanview.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <span>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

fs::path g_pageFolder;
bool g_keepPages = false;

// The scan with no window: it only counts what it would show.
class CountingView final : public ScanView
{
public:
    CountingView(const fs::path &input, const fs::path &output)
        : m_input(input.u16string()), m_output(output.u16string()) {}

    std::u16string inputName() const override { return m_input; }
    std::u16string outputName() const override { return m_output; }
    void showMessage(std::string_view text) override { message.assign(text); }
    void enterBusy() override { records = 0; }
    std::optional<std::string_view> appendRecord(std::string_view record) override
    {
        ++records;
        benchmark::DoNotOptimize(record.data());
        return std::nullopt;
    }
    void keepRecords(std::size_t count) override { records = std::min(records, static_cast<long>(count)); }
    void leaveBusy() override {}

    std::string message;
    long records = 0;

private:
    std::u16string m_input;
    std::u16string m_output;
};

// One page in memory at a time: the worst one is a gigabyte.
const std::string &page(PageKind kind)
{
    static std::map<PageKind, std::string> cache;
    auto found = cache.find(kind);
    if (found == cache.end()) {
        cache.clear();
        found = cache.emplace(kind, makePage(kind)).first;
    }
    return found->second;
}

fs::path pageFile(PageKind kind)
{
    const fs::path path = g_pageFolder / (std::string(pageName(kind)) + ".html");
    std::error_code error;
    if (fs::file_size(path, error) != page(kind).size() || error) {
        if (!writePage(path.string(), page(kind))) {
            std::perror(path.c_str());
            std::exit(EXIT_FAILURE);
        }
    }
    return path;
}

void selectorAlone(benchmark::State &state, PageKind kind)
{
    const std::string &pristine = page(kind);
    std::string work = pristine;
    std::vector<std::span<char>> lines;
    std::vector<std::size_t> tabs;
    for (std::size_t begin = 0; begin < work.size();) {
        const std::size_t cr = work.find('\r', begin);
        lines.emplace_back(work.data() + begin, cr - begin);
        begin = cr + 2;
    }
    for (std::size_t at = work.find('\t'); at != std::string::npos; at = work.find('\t', at + 1))
        tabs.push_back(at);

    long selected = 0;
    for (auto _ : state) {
        selected = 0;
        std::int16_t column = 0;
        const auto start = std::chrono::steady_clock::now();
        for (const auto line : lines)
            selected += LineSelector::normaliseAndSelect(line, column) == LineSelector::Verdict::Selected;
        const auto stop = std::chrono::steady_clock::now();
        benchmark::DoNotOptimize(selected);
        state.SetIterationTime(std::chrono::duration<double>(stop - start).count());
        // Put the tabs back so every iteration replaces them again, outside the timing.
        for (const std::size_t at : tabs)
            work[at] = '\t';
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(pristine.size()));
    state.counters["selected"] = static_cast<double>(selected);
    state.counters["lines"] = static_cast<double>(lines.size());
}

void wholeScan(benchmark::State &state, PageKind kind)
{
    const fs::path input = pageFile(kind);
    const fs::path output = g_pageFolder / (std::string(pageName(kind)) + ".txt");
    const auto size = fs::file_size(input);
    CountingView view(input, output);
    ScanCounters counters;
    ReferenceScanner(view, counters, FileLayer::system()).run(); // warms the page cache
    for (auto _ : state) {
        // Each run writes a new report, as a user's scan does. Emptying the report
        // written a moment before would time the file system waiting for its own
        // write-back of that report, not the scan.
        state.PauseTiming();
        fs::remove(output);
        state.ResumeTiming();
        ReferenceScanner(view, counters, FileLayer::system()).run();
    }
    if (!view.message.empty())
        state.SkipWithError(view.message.c_str());
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(size));
    state.counters["records"] = static_cast<double>(view.records);
    state.counters["report_bytes"] = static_cast<double>(fs::file_size(output));
}

struct PageBench
{
    PageKind kind;
    bool huge;
};

constexpr PageBench Pages[] = {
    {PageKind::Realistic, false},
    {PageKind::Tabs, false},
    {PageKind::Worst, true},
    {PageKind::LongLine, false},
};

} // namespace

int main(int argc, char **argv)
{
    bool smoke = false;
    std::vector<char *> args;
    for (int i = 0; i < argc; ++i) {
        if (std::strncmp(argv[i], "--pages=", 8) == 0) {
            g_pageFolder = argv[i] + 8;
            g_keepPages = true;
        } else if (std::strcmp(argv[i], "--smoke") == 0) {
            smoke = true;
        } else {
            args.push_back(argv[i]);
        }
    }
    if (g_pageFolder.empty()) {
        std::string pattern = (fs::temp_directory_path() / "pagesift-bench-XXXXXX").string();
        if (!::mkdtemp(pattern.data())) {
            std::perror("mkdtemp");
            return EXIT_FAILURE;
        }
        g_pageFolder = pattern;
    }
    fs::create_directories(g_pageFolder);

    // Page by page, so each page is made once, the gigabyte one included.
    for (const auto &bench : Pages) {
        if (smoke && bench.huge)
            continue;
        const std::string name(pageName(bench.kind));
        auto *scan = benchmark::RegisterBenchmark(
            ("scan/" + name).c_str(),
            [kind = bench.kind](benchmark::State &state) { wholeScan(state, kind); });
        scan->Unit(benchmark::kMillisecond)->UseRealTime();
        auto *selector = benchmark::RegisterBenchmark(
            ("selector/" + name).c_str(),
            [kind = bench.kind](benchmark::State &state) { selectorAlone(state, kind); });
        selector->Unit(bench.kind == PageKind::LongLine ? benchmark::kMicrosecond : benchmark::kMillisecond)
            ->UseManualTime();
        for (auto *each : {scan, selector}) {
            if (smoke)
                each->Iterations(1);
            else if (bench.huge)
                each->Iterations(3);
        }
    }

    int count = static_cast<int>(args.size());
    args.push_back(nullptr);
    benchmark::Initialize(&count, args.data());
    if (benchmark::ReportUnrecognizedArguments(count, args.data()))
        return EXIT_FAILURE;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();

    if (!g_keepPages) {
        std::error_code ignored;
        fs::remove_all(g_pageFolder, ignored);
    }
    return EXIT_SUCCESS;
}
