#pragma once

#include "platform/sixteenbit.h"
#include "scan/scanrecord.h"

#include <cstddef>
#include <memory_resource>
#include <span>
#include <string_view>
#include <vector>

// The records of the result list. A scan can add 32,767 records of up to 32 KiB each,
// so they are kept once, as the report's own bytes, line end included, in large
// chunks: the report is written from them, and the front ends decode a record only
// when it is shown. Memory comes from one memory resource, so a test can make any
// allocation fail.
//
// The chunks outlive a scan: the next one fills them again instead of having the
// system find and clear a gigabyte of fresh pages, and gives back those it leaves
// unused.
//
// The list grows only while some address space is set aside, and gives it back the
// moment it cannot grow any more: a list that took all the memory there is would leave
// the window none to paint with or to show its message in. Where even that much cannot
// be set aside, the list takes no record at all and memory has run out.
class RecordStore
{
public:
    explicit RecordStore(std::pmr::memory_resource *memory = std::pmr::get_default_resource());
    ~RecordStore();
    RecordStore(const RecordStore &) = delete;
    RecordStore &operator=(const RecordStore &) = delete;

    // Empties the list; its chunks are kept for the records to come.
    void clear();
    // Stores a copy of `record` followed by the report's line end, setting the reserve
    // aside first if it is not, and returns the copy, line end included; it stays until
    // the list is cleared or cut. Throws std::bad_alloc when memory runs out, and then
    // holds exactly what it held before and has given the reserve back.
    std::string_view append(std::string_view record);
    // Where append() will store a record of at most `size` bytes: a record built there
    // is not copied again. Sets the reserve aside and throws as append() does.
    std::span<char> room(std::size_t size);
    // Keeps the first `count` records.
    void truncate(std::size_t count);
    // Gives back the chunks that hold no record.
    void releaseUnused();

    std::size_t size() const { return m_records.size(); }
    std::string_view operator[](std::size_t index) const { return m_records[index]; }

    // What the list asks its memory for at a time, but for a record longer than this.
    static constexpr std::size_t ChunkSize = std::size_t{1} << 20;
    // The longest record a scan adds, line end included.
    static constexpr std::size_t LongestRecord = ScanRecord::MaxPrefix + SixteenBitLimit + ScanRecord::LineEnd.size();

private:
    // A message box and a repaint of a list of the longest records took 1.7 MB under
    // X11 (measured with `ulimit -v`); this leaves room for a font or two besides. It
    // is more than 32 MiB, glibc's largest threshold for taking a block straight from the
    // system, so it always goes back to the system when given back, for any use.
    // Never touched, so it is address space, not memory.
    static constexpr std::size_t ReserveSize = std::size_t{40} << 20;

    template <typename Step>
    auto whileReserved(Step step);
    char *place(std::size_t size);
    std::string_view store(std::string_view record);
    void release(std::size_t firstChunk);

    struct Chunk
    {
        char *bytes;
        std::size_t size;
    };

    std::pmr::memory_resource *m_memory;
    std::pmr::vector<Chunk> m_chunks;
    std::size_t m_current = 0;     // the chunk records go to; the ones after it are free
    std::size_t m_currentUsed = 0; // bytes taken in it
    std::pmr::vector<std::string_view> m_records;
    void *m_reserve = nullptr;
};
