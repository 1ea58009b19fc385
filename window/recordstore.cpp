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
    release(0);
    ::operator delete(m_reserve);
}

void RecordStore::clear()
{
    m_current = 0;
    m_currentUsed = 0;
    m_records.clear();
}

void RecordStore::releaseUnused()
{
    release(m_records.empty() ? 0 : m_current + 1);
}

void RecordStore::release(std::size_t firstChunk)
{
    for (std::size_t i = firstChunk; i < m_chunks.size(); ++i)
        m_memory->deallocate(m_chunks[i].bytes, m_chunks[i].size, 1);
    m_chunks.resize(std::min(firstChunk, m_chunks.size()));
    if (m_chunks.empty())
        clear();
}

template <typename Step>
auto RecordStore::whileReserved(Step step)
{
    try {
        // From the system, not from the list's memory: it is no part of any record.
        if (!m_reserve) {
            m_reserve = ::operator new(ReserveSize, std::nothrow);
            // Kept chunks that hold no record may be where its room went: a scan after
            // one that ran out of memory starts with all of them.
            if (!m_reserve) {
                releaseUnused();
                m_reserve = ::operator new(ReserveSize);
            }
        }
        return step();
    } catch (const std::bad_alloc &) {
        ::operator delete(m_reserve);
        m_reserve = nullptr;
        throw;
    }
}

std::string_view RecordStore::append(std::string_view record)
{
    return whileReserved([&] { return store(record); });
}

std::span<char> RecordStore::room(std::size_t size)
{
    return whileReserved([&] { return std::span<char>(place(size + ScanRecord::LineEnd.size()), size); });
}

// Where the next `size` bytes go, in the current chunk, the next one kept or a new one.
// Room for the index entry and a chunk entry is made first: after these two steps
// nothing can throw, so a failed append changes nothing.
char *RecordStore::place(std::size_t size)
{
    if (m_records.size() == m_records.capacity())
        m_records.reserve(std::max<std::size_t>(1024, 2 * m_records.capacity()));
    const bool fits = !m_chunks.empty() && m_chunks[m_current].size - m_currentUsed >= size;
    if (!fits) {
        // The next chunk kept from an earlier scan, or a new one.
        const std::size_t next = m_chunks.empty() ? 0 : m_current + 1;
        if (next == m_chunks.size() || m_chunks[next].size < size) {
            if (m_chunks.size() == m_chunks.capacity())
                m_chunks.reserve(std::max<std::size_t>(16, 2 * m_chunks.capacity()));
            // A record longer than a chunk cannot come from 16-bit lines; stay correct anyway.
            const std::size_t chunkSize = std::max(ChunkSize, size);
            auto *bytes = static_cast<char *>(m_memory->allocate(chunkSize, 1));
            m_chunks.insert(m_chunks.begin() + static_cast<std::ptrdiff_t>(next), {bytes, chunkSize});
        }
        m_current = next;
        m_currentUsed = 0;
    }
    return m_chunks[m_current].bytes + m_currentUsed;
}

std::string_view RecordStore::store(std::string_view record)
{
    constexpr auto LineEnd = ScanRecord::LineEnd;
    const std::size_t size = record.size() + LineEnd.size();
    char *const stored = place(size);
    if (!record.empty() && record.data() != stored) // else built in room()
        std::memcpy(stored, record.data(), record.size());
    std::memcpy(stored + record.size(), LineEnd.data(), LineEnd.size());
    m_currentUsed += size;
    m_records.emplace_back(stored, record.size());
    return {stored, size};
}

void RecordStore::truncate(std::size_t count)
{
    if (count < m_records.size())
        m_records.resize(count);
}
