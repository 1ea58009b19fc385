// The list's memory prepared ahead: chunks ready before they are asked for, their pages
// already in memory but for the tail a list often leaves empty, and given back once the
// list stops growing.
#include "platform/posix/posixlistmemory.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <fstream>
#include <memory_resource>
#include <new>
#include <string>
#include <cstddef>
#include <sys/mman.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using namespace std::chrono_literals;

constexpr std::size_t Chunk = std::size_t{1} << 20;
constexpr std::size_t Page = 4096;
constexpr std::size_t Tail = 10 * Page;

// A deadline for a thread that never gets there, not a measure of speed.
template <typename Done>
bool eventually(Done done)
{
    for (int i = 0; i < 2000 && !done(); ++i)
        std::this_thread::sleep_for(5ms);
    return done();
}

std::size_t residentPages(char *bytes, std::size_t size)
{
    std::vector<unsigned char> pages(size / Page);
    EXPECT_EQ(::mincore(bytes, size, pages.data()), 0);
    std::size_t resident = 0;
    for (const unsigned char page : pages)
        resident += page & 1u;
    return resident;
}

TEST(PosixListMemory, ChunksAreReadyAheadWithTheirPagesInButTheTail)
{
    ASSERT_EQ(static_cast<std::size_t>(::sysconf(_SC_PAGESIZE)), Page);
    PosixListMemory memory(Chunk, Tail, 1h);
    auto *first = static_cast<char *>(memory.allocate(Chunk, 1));
    ASSERT_TRUE(eventually([&] { return memory.ready() == 1; }));
    auto *second = static_cast<char *>(memory.allocate(Chunk, 1));
    EXPECT_EQ(residentPages(second, Chunk - Tail), 246u);
    EXPECT_EQ(residentPages(second + Chunk - Tail, Tail), 0u);
    for (std::size_t at = 0; at < Chunk; ++at)
        ASSERT_EQ(second[at], 0) << at;
    second[Chunk - 1] = first[Chunk - 1] = 'x';
    memory.deallocate(first, Chunk, 1);
    memory.deallocate(second, Chunk, 1);
}

TEST(PosixListMemory, GivesBackWhatTheListDidNotTake)
{
    PosixListMemory memory(Chunk, Tail, 1s);
    void *chunk = memory.allocate(Chunk, 1);
    ASSERT_TRUE(eventually([&] { return memory.ready() == 1; }));
    EXPECT_TRUE(eventually([&] { return memory.ready() == 0; }));
    memory.deallocate(chunk, Chunk, 1);
}

// Bytes this process has mapped, by /proc/self/maps.
std::size_t mappedBytes()
{
    std::ifstream maps("/proc/self/maps");
    std::size_t total = 0, from = 0, to = 0;
    std::string rest;
    char dash = 0;
    while (maps >> std::hex >> from >> dash >> to && std::getline(maps, rest))
        total += to - from;
    return total;
}

// Chunks given back, ready ones included, leave nothing mapped; every other size comes
// from the resource behind.
TEST(PosixListMemory, EveryChunkIsGivenBackAndOtherSizesGoBehind)
{
    const std::size_t before = mappedBytes();
    {
        PosixListMemory memory(Chunk, Tail, 1h, std::pmr::null_memory_resource());
        EXPECT_THROW(static_cast<void>(memory.allocate(64, 8)), std::bad_alloc);
        void *first = memory.allocate(Chunk, 1);
        ASSERT_TRUE(eventually([&] { return memory.ready() == 1; }));
        void *second = memory.allocate(Chunk, 1);
        ASSERT_TRUE(eventually([&] { return memory.ready() == 1; }));
        memory.deallocate(first, Chunk, 1);
        memory.deallocate(second, Chunk, 1);
    }
    EXPECT_LT(mappedBytes(), before + Chunk); // the thread's stack may be kept for another
}

// Memory runs out while the thread prepares a chunk: the scan is handed that chunk
// rather than losing it; with none prepared, the scan is told at once; and chunks are
// had again once there is room.
TEST(PosixListMemory, RunningOutHandsOutThePreparedChunkThenRefuses)
{
    const auto scan = std::this_thread::get_id();
    std::atomic<bool> roomForTheScan = true, scanRefused = false, threadMapping = false;
    std::atomic<int> threadMaps = 0;
    PosixListMemory memory(Chunk, Tail, 1h, std::pmr::null_memory_resource(), [&](std::size_t bytes) -> void * {
        if (std::this_thread::get_id() == scan) {
            scanRefused = !roomForTheScan;
            if (scanRefused)
                return nullptr;
        } else {
            threadMapping = true;
            // The first is held until the scan has been refused; the rest find no room.
            if (++threadMaps > 1 || !eventually([&] { return scanRefused.load(); }))
                return nullptr;
        }
        void *chunk = ::mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        return chunk == MAP_FAILED ? nullptr : chunk;
    });
    void *first = memory.allocate(Chunk, 1);
    ASSERT_TRUE(eventually([&] { return threadMapping.load(); }));
    roomForTheScan = false;
    void *prepared = memory.allocate(Chunk, 1);
    ASSERT_NE(prepared, nullptr);
    EXPECT_THROW(static_cast<void>(memory.allocate(Chunk, 1)), std::bad_alloc);
    roomForTheScan = true;
    void *again = memory.allocate(Chunk, 1);
    for (void *chunk : {first, prepared, again})
        memory.deallocate(chunk, Chunk, 1);
}

} // namespace
