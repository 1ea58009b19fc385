#pragma once

#include <cstddef>
#include <memory_resource>
#include <string_view>
#include <vector>

// The records of the result list. A scan can add 32,767 records of up to 32 KiB each,
// so they are kept once, as the report's own bytes, in large chunks; the front ends
// decode a record only when it is shown. Memory comes from one memory resource, so a
// test can make any allocation fail.
//
// While the list grows, some address space is set aside and given back the moment the
// list cannot grow any more: a list that took all the memory there is would leave the
// window none to paint with or to show its message in.
class RecordStore
{
public:
    explicit RecordStore(std::pmr::memory_resource *memory = std::pmr::get_default_resource());
    ~RecordStore();
    RecordStore(const RecordStore &) = delete;
    RecordStore &operator=(const RecordStore &) = delete;

    // Empties the store and sets the reserve aside again.
    void clear();
    // Stores a copy of `record`. Throws std::bad_alloc when memory runs out, and then
    // holds exactly what it held before and has given the reserve back.
    void append(std::string_view record);
    // Keeps the first `count` records.
    void truncate(std::size_t count);

    std::size_t size() const { return m_records.size(); }
    std::string_view operator[](std::size_t index) const { return m_records[index]; }

private:
    static constexpr std::size_t ChunkSize = std::size_t{1} << 20;
    // Enough for the toolkit's threads' stacks and a message box; never touched, so it
    // is address space, not memory.
    static constexpr std::size_t ReserveSize = std::size_t{64} << 20;

    void store(std::string_view record);

    struct Chunk
    {
        char *bytes;
        std::size_t size;
    };

    std::pmr::memory_resource *m_memory;
    std::pmr::vector<Chunk> m_chunks;
    std::size_t m_currentUsed = 0; // bytes taken in the last chunk
    std::pmr::vector<std::string_view> m_records;
    void *m_reserve = nullptr;
};
