#include "scan/linereader.h"
#include "tests/casename.h"
#include "tests/memorysource.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Reads the way the scan does: read a line, then test for the end.
struct Outcome
{
    std::vector<std::string> lines;
    LineReader::Status last = LineReader::Status::Line;
    Failure failure;
};

Outcome readAll(ByteSource &source, std::size_t blockSize)
{
    LineReader reader(source, blockSize);
    Outcome outcome;
    do {
        outcome.last = reader.readLine();
        if (outcome.last != LineReader::Status::Line) {
            outcome.failure = reader.failure();
            break;
        }
        outcome.lines.emplace_back(reader.line().data(), reader.line().size());
    } while (!reader.atEnd());
    return outcome;
}

struct LineEndCase
{
    const char *name;
    std::string input;
    std::vector<std::string> lines;
};

// Every case runs with blocks of 1, 2, 3, 5 and 7 bytes, so each terminator lands on
// every side of a block boundary, and with the default block.
class LineEnds : public testing::TestWithParam<std::tuple<LineEndCase, std::size_t>>
{
};

TEST_P(LineEnds, SplitLikeTheReport)
{
    const auto &[c, blockSize] = GetParam();
    MemorySource source(c.input, blockSize);
    const auto outcome = readAll(source, blockSize);
    EXPECT_EQ(outcome.last, LineReader::Status::Line);
    EXPECT_EQ(outcome.lines, c.lines);
}

const LineEndCase lineEndCases[] = {
    {"CrLf", "ab\r\ncd\r\n", {"ab", "cd"}},
    {"LoneCr", "ab\rcd\r", {"ab", "cd"}},
    {"LastLineUnterminated", "ab\r\ncd", {"ab", "cd"}},
    {"LineFeedsOnlyMakeOneLine", "ab\ncd\nef\n", {"ab\ncd\nef\n"}},
    {"LoneLineFeedIsText", "\n", {"\n"}},
    {"TwoLineEndsAtTheEnd", "ab\r\n\r\n", {"ab", ""}},
    {"SingleLineEndOnly", "\r\n", {""}},
    {"CrCrLf", "ab\r\r\ncd", {"ab", "", "cd"}},
    {"LfCr", "ab\n\rcd", {"ab\n", "cd"}},
    {"CrLfLf", "ab\r\n\ncd", {"ab", "\ncd"}},
    {"CrLfThenLfAtEnd", "ab\r\n\n", {"ab", "\n"}},
    {"EmptyLinesBetween", "\r\r\nx\r", {"", "", "x"}},
    {"NulAndHighBytes", std::string("a\0\xFF\r\nb", 6), {std::string("a\0\xFF", 3), "b"}},
};

INSTANTIATE_TEST_SUITE_P(
    Blocks, LineEnds,
    testing::Combine(testing::ValuesIn(lineEndCases),
                     testing::Values(std::size_t{1}, std::size_t{2}, std::size_t{3}, std::size_t{5},
                                     std::size_t{7}, LineReader::DefaultBlockSize)),
    BlockName());

struct LimitCase
{
    const char *name;
    std::string input;
    std::size_t linesBefore;
    LineReader::Status last;
};

class Limits : public testing::TestWithParam<std::tuple<LimitCase, std::size_t>>
{
};

TEST_P(Limits, EndsAsExpected)
{
    const auto &[c, blockSize] = GetParam();
    MemorySource source(c.input, blockSize);
    const auto outcome = readAll(source, blockSize);
    EXPECT_EQ(outcome.lines.size(), c.linesBefore);
    EXPECT_EQ(outcome.last, c.last);
}

const std::string longest(LineReader::MaxLineLength, 'x');

const LimitCase limitCases[] = {
    {"LongestLine", longest + "\r\nok", 2, LineReader::Status::Line},
    {"LongestLineLast", "a\r" + longest, 2, LineReader::Status::Line},
    {"OneTooMany", "a\r" + longest + "x\r\n", 1, LineReader::Status::TooLong},
    {"OneTooManyLast", longest + "x", 0, LineReader::Status::TooLong},
    {"HugeLineFeedOnlyFile", std::string(200000, '\n'), 0, LineReader::Status::TooLong},
    {"Empty", "", 0, LineReader::Status::Failed},
};

INSTANTIATE_TEST_SUITE_P(
    Blocks, Limits,
    testing::Combine(testing::ValuesIn(limitCases),
                     testing::Values(std::size_t{7}, std::size_t{4096}, LineReader::DefaultBlockSize)),
    BlockName());

TEST(Failures, EmptyInputFailsOnFirstReadAsPastEnd)
{
    MemorySource source("");
    const auto outcome = readAll(source, 16);
    EXPECT_EQ(outcome.last, LineReader::Status::Failed);
    EXPECT_EQ(outcome.failure.number, Failure::InputPastEnd);
}

TEST(Failures, ReadFailureKeepsTheLinesBeforeIt)
{
    // The failure strikes while testing for the end after "ab": reported on the next read.
    MemorySource source("ab\r\ncd\r\nef", 3, 4);
    const auto outcome = readAll(source, 3);
    EXPECT_EQ(outcome.lines, std::vector<std::string>{"ab"});
    EXPECT_EQ(outcome.last, LineReader::Status::Failed);
    EXPECT_EQ(outcome.failure.number, Failure::DeviceIoError);
}

// The end of the page was met, then the page grew: the new bytes are searched from
// their first, which here ends an empty line.
TEST(Growing, ReadOnFromTheNewEnd)
{
    MemorySource source("ab\rcd", 16, std::string::npos, 2);
    EXPECT_EQ(readAll(source, 16).lines, (std::vector<std::string>{"ab", "", "cd"}));
}

TEST(Failures, ReadFailureInsideALine)
{
    MemorySource source("abcdef\r\n", 2, 4);
    const auto outcome = readAll(source, 2);
    EXPECT_TRUE(outcome.lines.empty());
    EXPECT_EQ(outcome.failure.number, Failure::DeviceIoError);
}

} // namespace
