#include "platform/filelayer.h"
#include "platform/outputfile.h"
#include "scan/referencescanner.h"
#include "scan/reportwriter.h"
#include "scan/scancounters.h"
#include "scan/scanrecord.h"
#include "scan/scanview.h"
#include "tests/memoryfilelayer.h"
#include "tests/scratchfolder.h"

#include "tests/casename.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace {

// Stands in for the window: names in, everything the scan shows recorded in order.
class FakeView final : public ScanView
{
public:
    std::string input;
    std::string output;
    std::vector<std::string> events;
    std::vector<std::string> list;

    // The test's names are ASCII paths.
    std::u16string inputName() const override { return {input.begin(), input.end()}; }
    std::u16string outputName() const override { return {output.begin(), output.end()}; }
    void showMessage(std::string_view text) override { events.push_back("message: " + std::string(text)); }
    void enterBusy() override
    {
        events.emplace_back("busy");
        list.clear();
    }
    std::optional<std::string_view> appendRecord(std::string_view record) override
    {
        list.emplace_back(record);
        return std::nullopt;
    }
    void keepRecords(std::size_t count) override { list.resize(std::min(count, list.size())); }
    void leaveBusy() override { events.emplace_back("idle"); }
};

std::string joinRecords(const std::vector<std::string> &records)
{
    std::string text;
    for (const auto &record : records)
        text += record + "\r\n";
    return text;
}

// Every failure the program names, as the user reads it.
const std::map<int, std::string> designedFailures = {
    {6, "Overflow"},
    {7, "Memoria esaurita"},
    {52, "Nome o numero di file non valido"},
    {53, "Impossibile trovare il file"},
    {55, "File già aperto: il file di output è il file di input"},
    {57, "Errore di I/O della periferica"},
    {60, "File troppo grande"},
    {61, "Disco pieno"},
    {62, "Input oltre la fine del file"},
    {67, "Troppi file"},
    {68, "Periferica non disponibile"},
    {70, "Autorizzazione negata"},
    {75, "Errore di accesso al percorso/file"},
    {76, "Impossibile trovare il percorso"},
    {440, "Errore della finestra di selezione file"},
};

std::string messageFor(int number)
{
    return "message: Errore in lettura file di input  ERR= " + std::to_string(number) + " - " + designedFailures.at(number);
}

TEST(Failures, EachNumberHasItsDescription)
{
    for (const auto &[number, description] : designedFailures) {
        EXPECT_EQ(Failure::of(static_cast<Failure::Number>(number)), (Failure{static_cast<std::int16_t>(number), description}));
    }
}

struct Scan
{
    ScratchFolder folder;
    FakeView view;
    ScanCounters counters;

    void run(std::size_t blockSize = LineReader::DefaultBlockSize)
    {
        ReferenceScanner(view, counters, FileLayer::system(), blockSize).run();
    }
};

TEST(Record, LineNumberHasASignPosition)
{
    std::string record = "stale";
    ScanRecord::build(record, 12, "<img src=logo.gif>");
    EXPECT_EQ(record, " 12 - <img src=logo.gif>");
    ScanRecord::build(record, 32767, "");
    EXPECT_EQ(record, " 32767 - ");
    // Built in place, in the most room a record can need.
    char room[ScanRecord::MaxPrefix + 5];
    EXPECT_EQ(std::string_view(room, ScanRecord::write(room, 32767, "a.gif")), " 32767 - a.gif");
    EXPECT_EQ(std::string_view(room, ScanRecord::write(room, 7, "")), " 7 - ");
}

TEST(Record, ReadErrorMessageHasTwoSpacesBeforeErr)
{
    EXPECT_EQ(ReferenceScanner::ReadErrorMessage(Failure{53, "Impossibile trovare il file"}),
              "Errore in lettura file di input  ERR= 53 - Impossibile trovare il file");
    EXPECT_EQ(ReferenceScanner::ReadErrorMessage(Failure{-1, "x"}),
              "Errore in lettura file di input  ERR=-1 - x");
}

// The report holds each record and its CR LF, in order, however a record reaches the
// writer: copied, built in the room the writer offers, or written from where the list
// keeps it, side by side or apart; and wherever the writer's 1 MiB fills. A hundred
// short records come first (more pieces than one write takes), then a lead record that
// puts the end of the buffer where the row says among 70 records of 32,768 bytes.
TEST(Record, ReportHoldsEveryRecordWhereverTheBufferFills)
{
    static_assert(ReportWriter::BufferSize == 1 << 20); // where the rows put its end
    const struct
    {
        const char *where;
        std::size_t lead, size;
    } rows[] = {
        {"a record ends where the buffer does", 32266, 32766},
        {"a byte is left over", 32265, 32766},
        {"the CR fits, the LF does not", 32267, 32766},
        {"the longest records a scan makes", 0, 32776},
    };
    for (const auto &row : rows) {
        std::vector<std::string> records(100, "a/b");
        records.push_back(std::string(row.lead, 'c'));
        for (char fill = 'A'; records.size() < 171; fill = fill == 'Z' ? 'A' : char(fill + 1))
            records.push_back(std::string(row.size, fill));
        const std::string report = joinRecords(records);
        for (const std::string way : {"copied", "built", "kept", "kept apart"}) {
            MemoryFileLayer files;
            const auto output = files.openOutput(u"r.txt");
            ReportWriter writer(*output.file);
            std::string together;
            std::vector<std::string> apart;
            together.reserve(report.size()); // the writer keeps views of both until it writes
            apart.reserve(records.size());
            for (const auto &record : records) {
                if (way == "copied") {
                    ASSERT_FALSE(writer.append(record));
                } else if (const auto room = writer.room(record.size()); way == "built" && !room.empty()) {
                    std::copy(record.begin(), record.end(), room.begin());
                    ASSERT_FALSE(writer.append({room.data(), record.size()}));
                } else if (way == "built") {
                    ASSERT_FALSE(writer.append(record));
                } else {
                    std::string &line = way == "kept" ? together : apart.emplace_back();
                    line += record + "\r\n";
                    ASSERT_FALSE(writer.appendKept({line.data() + line.size() - record.size() - 2, record.size() + 2}));
                }
            }
            EXPECT_FALSE(writer.flush());
            EXPECT_TRUE(files.files[u"r.txt"] == report) << way << ", " << row.where;
            EXPECT_EQ(writer.recordsWritten(), 171u);
        }
    }
}

// A file that takes nothing and names no failure loses the report: that is a failure,
// not a report written, nor a write tried for ever.
TEST(Record, AFileThatTakesNothingFailsTheReport)
{
    struct TakesNothing final : OutputFile
    {
        WriteResult write(std::span<const char>) override { return {}; }
        std::optional<Failure> truncate(std::uint64_t) override { return std::nullopt; }
        std::optional<Failure> close() override { return std::nullopt; }
        FileIdentity identity() const override { return {}; }
    } file;
    ReportWriter writer(file);
    EXPECT_FALSE(writer.append("a/b"));
    EXPECT_EQ(writer.flush(), (Failure{57, "Errore di I/O della periferica"}));
    EXPECT_EQ(writer.recordsWritten(), 0u);
}

// Names are checked before anything else happens.
struct NameCase
{
    const char *name;
    std::string input;
    std::string output;
    std::string message;
};

using Names = testing::TestWithParam<NameCase>;

TEST_P(Names, BlankNameIsRefusedWithoutTouchingAnything)
{
    const auto &c = GetParam();
    Scan scan;
    scan.view.input = c.input;
    scan.view.output = c.output;
    scan.view.list = {"earlier"};
    scan.run();
    EXPECT_EQ(scan.view.events, std::vector<std::string>{"message: " + c.message});
    EXPECT_EQ(scan.view.list, std::vector<std::string>{"earlier"});
}

const NameCase nameCases[] = {
    {"InputEmpty", "", "out.txt", "Inserire il nome del file di Input !!!"},
    {"InputSpaces", "   ", "out.txt", "Inserire il nome del file di Input !!!"},
    {"BothBlankOnlyInputIsReported", " ", " ", "Inserire il nome del file di Input !!!"},
    {"OutputSpaces", "page.htm", "  ", "Inserire il nome del file di Output !!!"},
};

INSTANTIATE_TEST_SUITE_P(Scan, Names, testing::ValuesIn(nameCases), CaseName());

const std::string samplePage = "<html>\r\n"
                               "\t<IMG SRC=logo.gif>\r\n"
                               "<a href=docs/index.html>\r\n"
                               "</td>\r\n"
                               "</a> <a href=x/y>\r\n"
                               "C:\\temp\r\n"
                               "\r\n"
                               "riga\tcon\\tab\n"
                               "e line feed\r\n"
                               "<br/>";

const std::vector<std::string> sampleRecords = {
    " 2 -  <IMG SRC=logo.gif>",
    " 3 - <a href=docs/index.html>",
    " 6 - C:\\temp",
    " 8 - riga con\\tab\ne line feed",
    " 9 - <br/>",
};

class WholeScan : public testing::TestWithParam<std::size_t>
{
};

TEST_P(WholeScan, ReportAndListHoldTheSameRecords)
{
    Scan scan;
    scan.view.input = "  " + scan.folder.write("page.htm", samplePage) + " ";
    scan.view.output = " " + scan.folder.write("page.ht3", "old contents that must go");
    scan.run(GetParam());

    EXPECT_EQ(scan.view.events, (std::vector<std::string>{"busy", "idle"}));
    EXPECT_EQ(scan.view.list, sampleRecords);
    EXPECT_EQ(ScratchFolder::read(scan.folder.path("page.ht3")), joinRecords(sampleRecords));
    EXPECT_EQ(scan.counters.LineNumber, 9);
    EXPECT_EQ(ScratchFolder::read(scan.folder.path("page.htm")), samplePage);
}

// Long lines are judged as they are copied to where their record is built: a line that
// is not selected leaves nothing behind, and the page itself never changes.
TEST_P(WholeScan, LongLinesJudgedAsTheyAreCopied)
{
    const std::string x(5000, 'x');
    const std::string page = "\t" + x + "\t.gif\r\n" + "\t" + x + "\tgif\r\n" + "C:\\\t" + x + "\t\r\n" + x;
    Scan scan;
    scan.view.input = scan.folder.write("page.htm", page);
    scan.view.output = scan.folder.path("page.ht3");
    scan.run(GetParam());

    const std::vector<std::string> records = {" 1 -  " + x + " .gif", " 3 - C:\\ " + x + " "};
    EXPECT_EQ(scan.view.list, records);
    EXPECT_EQ(ScratchFolder::read(scan.folder.path("page.ht3")), joinRecords(records));
    EXPECT_EQ(ScratchFolder::read(scan.folder.path("page.htm")), page);
}

INSTANTIATE_TEST_SUITE_P(Blocks, WholeScan, testing::Values(std::size_t{1}, std::size_t{3}, LineReader::DefaultBlockSize),
                         BlockName());

// Every failure after the names are checked: one message, then idle again, with the
// records found so far kept in the report.
struct FailureCase
{
    const char *name;
    std::string inputName; // both names relative to the scratch folder
    std::string page;
    bool pageExists;
    std::string outputName;
    int number;
    std::size_t recordsKept;
    bool outputExists; // afterwards: an input that fails first never creates the output
};

using Failures = testing::TestWithParam<FailureCase>;

std::string manyLines(int count)
{
    std::string page;
    for (int i = 0; i < count; ++i)
        page += "a/b\r\n";
    return page;
}

TEST_P(Failures, ReportedOnceThenIdle)
{
    const auto &c = GetParam();
    Scan scan;
    scan.view.input = c.pageExists ? scan.folder.write(c.inputName, c.page) : scan.folder.path(c.inputName);
    scan.view.output = scan.folder.path(c.outputName);
    scan.run(64);

    EXPECT_EQ(scan.view.events, (std::vector<std::string>{"busy", messageFor(c.number), "idle"}));
    EXPECT_EQ(scan.view.list.size(), c.recordsKept);
    EXPECT_EQ(std::filesystem::exists(scan.view.output), c.outputExists);
    std::error_code noInput;
    if (std::filesystem::is_regular_file(scan.view.output) &&
        !std::filesystem::equivalent(scan.view.output, scan.view.input, noInput)) {
        EXPECT_EQ(ScratchFolder::read(scan.view.output), joinRecords(scan.view.list));
    }
    if (c.pageExists) {
        EXPECT_EQ(ScratchFolder::read(scan.view.input), c.page);
    }
}

const FailureCase failureCases[] = {
    {"MissingInput", "in.htm", "", false, "out.txt", 53, 0, false},
    {"EmptyInput", "in.htm", "", true, "out.txt", 62, 0, true},
    {"Line32768", "in.htm", manyLines(32768), true, "out.txt", 6, 32767, true},
    {"LineTooLong", "in.htm", "a/b\r\n" + std::string(32768, 'x'), true, "out.txt", 6, 1, true},
    {"Line32767Characters", "in.htm", "a/b\r\n" + std::string(32767, '/'), true, "out.txt", 6, 1, true},
    {"OutputInMissingFolder", "in.htm", "a/b", true, "no/such/folder/out.txt", 76, 0, false},
    {"OutputIsAFolder", "in.htm", "a/b", true, ".", 75, 0, true},
    {"OutputIsTheInputWrittenDifferently", "in.htm", "a/b", true, "./in.htm", 55, 0, true},
    {"InputInMissingFolder", "nowhere/in.htm", "", false, "out.txt", 76, 0, false},
    {"FolderAsInput", "", "", false, "out.txt", 75, 0, false},
};

INSTANTIATE_TEST_SUITE_P(Scan, Failures, testing::ValuesIn(failureCases), CaseName());

TEST(Failures, MissingInputLeavesTheOutputUntouched)
{
    Scan scan;
    scan.view.input = scan.folder.path("missing.htm");
    scan.view.output = scan.folder.write("out.txt", "keep me");
    scan.run();
    EXPECT_EQ(ScratchFolder::read(scan.view.output), "keep me");
}

TEST(Failures, OutputLinkedToTheInputNeverEmptiesIt)
{
    int linked = 0;
    for (const bool symbolic : {true, false}) {
        Scan scan;
        scan.view.input = scan.folder.write("in.htm", samplePage);
        scan.view.output = scan.folder.path("link.txt");
        std::error_code error;
        if (symbolic)
            std::filesystem::create_symlink(scan.view.input, scan.view.output, error);
        else
            std::filesystem::create_hard_link(scan.view.input, scan.view.output, error);
        // Some systems (Wine among them) cannot make every kind of link.
        if (error || !std::filesystem::equivalent(scan.view.input, scan.view.output, error))
            continue;
        ++linked;
        scan.run();
        EXPECT_EQ(scan.view.events[1], messageFor(55)) << symbolic;
        EXPECT_EQ(ScratchFolder::read(scan.view.input), samplePage) << symbolic;
    }
    if (linked == 0)
        GTEST_SKIP() << "this system makes neither symbolic nor hard links";
}

} // namespace
