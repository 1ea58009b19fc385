#include "window/recordstore.h"

#include "scan/scanrecord.h"

#include <algorithm>
#include <cstring>
#include <new>

RecordStore::RecordStore(std::pmr::memory_resource *memory)
    : m_memory(memory)
    , m_chunks(memory)
    , m_records(memory)
{
}

RecordStore::~RecordStore()
{
    clear();
    ::operator delete(m_reserve);
}

void RecordStore::clear()
{
    for (const Chunk &chunk : m_chunks)
        m_memory->deallocate(chunk.bytes, chunk.size, 1);
    m_chunks.clear();
    m_currentUsed = 0;
    m_records.clear();
}

std::string_view RecordStore::append(std::string_view record)
{
    try {
        // From the system, not from the list's memory: it is no part of any record.
        if (!m_reserve)
            m_reserve = ::operator new(ReserveSize);
        return store(record);
    } catch (const std::bad_alloc &) {
        ::operator delete(m_reserve);
        m_reserve = nullptr;
        throw;
    }
}

std::string_view RecordStore::store(std::string_view record)
{
    constexpr auto LineEnd = ScanRecord::LineEnd;
    const std::size_t size = record.size() + LineEnd.size();
    // Room for the index entry and a chunk entry first: after these two steps nothing
    // can throw, so a failed append changes nothing.
    if (m_records.size() == m_records.capacity())
        m_records.reserve(std::max<std::size_t>(1024, 2 * m_records.capacity()));
    const bool needsChunk = m_chunks.empty() || m_chunks.back().size - m_currentUsed < size;
    char *stored = nullptr;
    if (needsChunk) {
        if (m_chunks.size() == m_chunks.capacity())
            m_chunks.reserve(std::max<std::size_t>(16, 2 * m_chunks.capacity()));
        // A record longer than a chunk cannot come from 16-bit lines; stay correct anyway.
        const std::size_t chunkSize = std::max(ChunkSize, size);
        stored = static_cast<char *>(m_memory->allocate(chunkSize, 1));
        m_chunks.push_back({stored, chunkSize});
        m_currentUsed = size;
    } else {
        stored = m_chunks.back().bytes + m_currentUsed;
        m_currentUsed += size;
    }
    if (!record.empty())
        std::memcpy(stored, record.data(), record.size());
    std::memcpy(stored + record.size(), LineEnd.data(), LineEnd.size());
    m_records.emplace_back(stored, record.size());
    return {stored, size};
}

void RecordStore::truncate(std::size_t count)
{
    if (count < m_records.size())
        m_records.resize(count);
}
