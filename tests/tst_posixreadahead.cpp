// A page read ahead gives the scan what reading it in turn would have: the same bytes,
// then its end or its failure in the same place, and reads on where it has grown since.
#include "platform/posix/posixreadahead.h"
#include "tests/casename.h"
#include "tests/memorysource.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <string>
#include <thread>

namespace {

// Counts the bytes it has given, for the thread's progress to be seen.
struct SourceFile final : InputFile
{
    MemorySource source;
    std::atomic<std::size_t> given = 0;
    std::chrono::milliseconds pause{0}; // each read takes
    explicit SourceFile(MemorySource bytes) : source(std::move(bytes)) {}
    ReadResult read(std::span<char> buffer) override
    {
        std::this_thread::sleep_for(pause);
        auto result = source.read(buffer);
        given += result.count;
        return result;
    }
    FileIdentity identity() const override { return {7, {8, 9}}; }
};

std::string page(std::size_t size, std::size_t from = 0)
{
    std::string bytes;
    for (std::size_t i = from; i < size; ++i)
        bytes += static_cast<char>('a' + i * 7 % 26);
    return bytes;
}

constexpr std::size_t Block = 1000;
constexpr auto None = std::string::npos;

struct ReadCase
{
    const char *name;
    std::size_t size, ask, chunk; // the page's; read at a time; the most the file gives at a time
    std::size_t failAfter;        // then every read fails
    std::size_t endOnceAt;        // the page seems to end there once, then has grown
    std::string expected;         // bytes, "|" at an end, "!" at a failure
    std::size_t asItComes = 0;
};

const ReadCase readCases[] = {
    {"ManyBlocksInSmallerReads", 5500, 300, None, None, None, page(5500) + "|"},
    {"ManyBlocksInLargerReads", 5500, 4096, None, None, None, page(5500) + "|"},
    {"FileGivesShortReads", 5500, 300, 70, None, None, page(5500) + "|"},
    {"EndOnABlockBoundary", 3300, 300, None, None, None, page(3300) + "|"},
    {"FailureMidBlock", 5500, 300, None, 2345, None, page(2345) + "!"},
    {"FailureOnABlockBoundary", 5500, 300, None, 2300, None, page(2300) + "!"},
    {"GrownAfterItsEnd", 5500, 300, None, None, 2300, page(2300) + "|" + page(5500, 2300) + "|"},
    {"OneReadTakesItWhole", 200, 300, None, None, None, page(200) + "|"},
    {"FailsAtOnce", 200, 300, None, 0, None, "!"},
    {"AheadAfterTheFirstBytes", 5500, 300, None, None, None, page(5500) + "|", 2000},
    {"FailureBeforeReadingAhead", 5500, 300, None, 1000, None, page(1000) + "!", 2000},
    {"GrownBeforeReadingAhead", 5500, 300, None, None, 1000, page(1000) + "|" + page(5500, 1000) + "|", 2000},
    {"NeverAhead", 5500, 300, None, None, None, page(5500) + "|", 6000},
};

using ReadAhead = testing::TestWithParam<ReadCase>;

TEST_P(ReadAhead, GivesWhatReadingInTurnWould)
{
    const auto &c = GetParam();
    auto owned = std::make_unique<SourceFile>(MemorySource(page(c.size), c.chunk, c.failAfter, c.endOnceAt));
    const auto &source = *owned;
    PosixReadAhead file(std::move(owned), Block, c.asItComes);
    std::string given;
    std::string buffer(c.ask, '\0');
    for (std::size_t ends = 0, reads = 0; ends < (c.endOnceAt == None ? 1 : 2) && reads < 1000; ++reads) {
        const auto result = file.read(buffer);
        if (result.failure) {
            given += "!";
            break;
        }
        ASSERT_LE(result.count, c.ask);
        if (result.count == 0) {
            ++ends;
            given += "|";
            // Nothing is read past an end before it is asked for.
            EXPECT_EQ(source.given, ends == 1 ? std::min(c.size, c.endOnceAt) : c.size);
        }
        given.append(buffer, 0, result.count);
    }
    EXPECT_EQ(given, c.expected);
    EXPECT_EQ(file.identity(), (FileIdentity{7, {8, 9}}));
}

INSTANTIATE_TEST_SUITE_P(Posix, ReadAhead, testing::ValuesIn(readCases), CaseName());

// The thread starts with the read that reaches the first bytes and fills its blocks, no
// more; closed then, it stops.
TEST(ReadAheadStart, OnceTheFirstBytesAreRead)
{
    auto owned = std::make_unique<SourceFile>(MemorySource(page(100000)));
    const auto &source = *owned;
    PosixReadAhead file(std::move(owned), Block, 500);
    std::string buffer(300, '\0');
    ASSERT_EQ(file.read(buffer).count, 300u);
    EXPECT_EQ(source.given, 300u);
    ASSERT_EQ(file.read(buffer).count, 300u);
    const std::size_t ahead = 600 + PosixReadAhead::Blocks * Block;
    for (int i = 0; i < 2000 && source.given < ahead; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    EXPECT_EQ(source.given, ahead);
}

// Closed while the thread reads: the file stays until the read is over.
TEST(ReadAheadClosed, WhileTheThreadReads)
{
    auto owned = std::make_unique<SourceFile>(MemorySource(page(100000)));
    owned->pause = std::chrono::milliseconds(50);
    PosixReadAhead file(std::move(owned), Block, 0);
    std::string buffer(Block, '\0');
    ASSERT_EQ(file.read(buffer).count, Block);
}

} // namespace
