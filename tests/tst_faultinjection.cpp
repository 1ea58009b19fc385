// Every failure point of a scan, walked one at a time, the way storage engines test
// themselves: fail the k-th open, read, write, truncate or close, or the k-th
// allocation of the list's memory, for k = 1, 2, ... until a scan meets no failure.
// Each time: one message, the window idle again, the report holding whole records
// only and the list showing exactly those, the page untouched, and a clean scan next
// giving the full result.
#include "tests/casename.h"
#include "tests/failingmemory.h"
#include "tests/form1harness.h"
#include "tests/memoryfilelayer.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace {

const std::u16string PageName = u"page.htm";
const std::u16string ReportName = u"report.txt";
const std::string FailurePrefix = "Errore in lettura file di input  ERR=";

struct Page
{
    std::string bytes;
    std::vector<std::string> records;
};

// A few dozen lines, two in three selected, with tabs, CR LF and lone CR line ends.
Page makePage()
{
    Page page;
    for (int line = 1; line <= 40; ++line) {
        const std::string number = std::to_string(line);
        if (line % 3 == 0) {
            page.bytes += "<p>testo " + number + "</p>";
        } else {
            page.bytes += "\t<img src=foto/" + number + ".gif>";
            page.records.push_back(" " + number + " -  <img src=foto/" + number + ".gif>");
        }
        page.bytes += line % 5 ? "\r\n" : "\r";
    }
    return page;
}

const Page TestPage = makePage();

struct WalkCase
{
    const char *name;
    std::size_t readLimit;
    bool overflowAtEnd = false; // then every scan fails, last of all, with 6
};

using EveryFailurePoint = testing::TestWithParam<WalkCase>;

TEST_P(EveryFailurePoint, EndsInOneMessageWithReportAndListAgreeing)
{
    const std::string page = TestPage.bytes + (GetParam().overflowAtEnd ? std::string(40000, '/') : "");
    const auto clean = GetParam().overflowAtEnd ? std::vector<std::string>{FailurePrefix + " 6 - Overflow"}
                                                : std::vector<std::string>{};
    std::size_t points = 0;
    for (std::size_t k = 1;; ++k) {
        SCOPED_TRACE("failure point " + std::to_string(k));
        MemoryFileLayer files;
        files.files[PageName] = page;
        files.readLimit = GetParam().readLimit;
        FailingMemory listMemory(files.plan);
        Form1Harness window(files, &listMemory);
        files.plan.failAt = k;
        // While the message is up, the list already shows what the report holds.
        std::vector<std::string> shownWithTheMessage;
        window.feedback.onMessage = [&] { shownWithTheMessage = window.shownRecords(); };
        window.scan(PageName, ReportName);
        window.feedback.onMessage = nullptr;
        if (!files.plan.fired) {
            EXPECT_EQ(window.messages(), clean);
            EXPECT_EQ(window.shownRecords(), TestPage.records);
            break;
        }
        ++points;

        const auto messages = window.messages();
        ASSERT_EQ(messages.size(), 1u);
        EXPECT_TRUE(messages[0].starts_with(FailurePrefix)) << messages[0];
        EXPECT_TRUE(window.idle());
        const auto shown = window.shownRecords();
        EXPECT_EQ(files.files[ReportName], reportOf(shown));
        EXPECT_EQ(shownWithTheMessage, shown);
        ASSERT_LE(shown.size(), TestPage.records.size());
        EXPECT_TRUE(std::equal(shown.begin(), shown.end(), TestPage.records.begin()));
        // Records lost after the overflow are never passed off as the overflow alone.
        if (messages == clean) {
            EXPECT_EQ(shown, TestPage.records);
        }
        EXPECT_EQ(files.files[PageName], page);

        files.plan.failAt = 0;
        window.scan(PageName, ReportName);
        EXPECT_EQ(window.messages(), clean);
        EXPECT_EQ(window.shownRecords(), TestPage.records);
        EXPECT_EQ(files.files[ReportName], reportOf(TestPage.records));
        if (testing::Test::HasFailure())
            break;
    }
    // Opens, reads, the write, truncate, close and the list's allocations at least.
    EXPECT_GE(points, 7u);
}

const WalkCase walkCases[] = {
    {"WholeReads", 0},
    {"ReadsOf64Bytes", 64},
    {"ReadsOfOneByte", 1},
    {"OverflowThenEveryFailure", 0, true},
};

INSTANTIATE_TEST_SUITE_P(FaultInjection, EveryFailurePoint, testing::ValuesIn(walkCases), CaseName());

// Reads and writes that move fewer bytes than asked, in random amounts, change nothing.
using ShortCounts = testing::TestWithParam<unsigned>;

TEST_P(ShortCounts, GiveTheSameResult)
{
    std::minstd_rand engine(GetParam());
    MemoryFileLayer files;
    files.files[PageName] = TestPage.bytes;
    files.shortCounts = &engine;
    Form1Harness window(files);
    window.scan(PageName, ReportName);
    EXPECT_TRUE(window.messages().empty());
    EXPECT_EQ(window.shownRecords(), TestPage.records);
    EXPECT_EQ(files.files[ReportName], reportOf(TestPage.records));
}

INSTANTIATE_TEST_SUITE_P(FaultInjection, ShortCounts, testing::Range(1u, 9u),
                         [](const testing::TestParamInfo<unsigned> &row) { return "Seed" + std::to_string(row.param); });

// The list's chunks outlive a scan: scans in a row, each larger or smaller than the one
// before, list their own records only, and the report holds the same. With `walk`, the
// last scan meets each of its failure points in turn, the kept chunks' included.
struct RowsCase
{
    const char *name;
    std::vector<int> linesPerScan; // lines of 30,000 bytes, all selected: 34 to a 1 MiB chunk
    bool walk = false;
};

using ScansInARow = testing::TestWithParam<RowsCase>;

TEST_P(ScansInARow, ListTheirOwnRecordsOnly)
{
    const auto &scans = GetParam().linesPerScan;
    std::vector<std::string> pages, records;
    for (const int lines : scans) {
        pages.emplace_back();
        records.clear();
        for (int line = 1; line <= lines; ++line) {
            const std::string text = "\\" + std::to_string(line) + std::string(30000, static_cast<char>('a' + line % 26));
            pages.back() += text + "\r\n";
            records.push_back(" " + std::to_string(line) + " - " + text);
        }
    }
    for (std::size_t k = GetParam().walk ? 1 : 0;; ++k) {
        SCOPED_TRACE("failure point " + std::to_string(k));
        MemoryFileLayer files;
        FailingMemory listMemory(files.plan);
        Form1Harness window(files, &listMemory);
        for (std::size_t scan = 0; scan < scans.size(); ++scan) {
            files.files[PageName] = pages[scan];
            files.files.erase(ReportName); // else a page that fails to open leaves the last one
            files.plan = {scan + 1 == scans.size() ? k : 0};
            window.scan(PageName, ReportName);
        }
        const auto shown = window.shownRecords();
        EXPECT_EQ(files.files[ReportName], reportOf(shown));
        if (!files.plan.fired) {
            EXPECT_EQ(window.messages(), std::vector<std::string>{});
            EXPECT_EQ(shown, records);
            break;
        }
        EXPECT_EQ(window.messages().size(), 1u);
        ASSERT_LE(shown.size(), records.size());
        EXPECT_TRUE(std::equal(shown.begin(), shown.end(), records.begin()));
        if (testing::Test::HasFailure())
            break;
    }
}

const RowsCase rowsCases[] = {
    {"LargerThenSmaller", {60, 3}},
    {"SmallerThenLarger", {3, 60, 100}},
    {"SameTwice", {60, 60}},
    {"EmptyBetween", {60, 0, 30}},
    {"EveryFailurePointPastKeptChunks", {60, 100}, true},
};

INSTANTIATE_TEST_SUITE_P(FaultInjection, ScansInARow, testing::ValuesIn(rowsCases), CaseName());

} // namespace
