#include "window/recordstore.h"

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

void RecordStore::append(std::string_view record)
{
    try {
        // From the system, not from the list's memory: it is no part of any record.
        if (!m_reserve)
            m_reserve = ::operator new(ReserveSize);
        store(record);
    } catch (const std::bad_alloc &) {
        ::operator delete(m_reserve);
        m_reserve = nullptr;
        throw;
    }
}

void RecordStore::store(std::string_view record)
{
    // Room for the index entry and a chunk entry first: after these two steps nothing
    // can throw, so a failed append changes nothing.
    if (m_records.size() == m_records.capacity())
        m_records.reserve(std::max<std::size_t>(1024, 2 * m_records.capacity()));
    const bool needsChunk = m_chunks.empty() || ChunkSize - m_currentUsed < record.size();
    char *stored = nullptr;
    if (needsChunk) {
        if (m_chunks.size() == m_chunks.capacity())
            m_chunks.reserve(std::max<std::size_t>(16, 2 * m_chunks.capacity()));
        // A record longer than a chunk cannot come from 16-bit lines; stay correct anyway.
        const std::size_t size = std::max(ChunkSize, record.size());
        stored = static_cast<char *>(m_memory->allocate(size, 1));
        m_chunks.push_back({stored, size});
        m_currentUsed = std::min(record.size(), ChunkSize); // an outsized chunk counts as full
    } else {
        stored = m_chunks.back().bytes + m_currentUsed;
        m_currentUsed += record.size();
    }
    if (!record.empty())
        std::memcpy(stored, record.data(), record.size());
    m_records.emplace_back(stored, record.size());
}

void RecordStore::truncate(std::size_t count)
{
    if (count < m_records.size())
        m_records.resize(count);
}
