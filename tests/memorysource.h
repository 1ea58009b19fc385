#pragma once

#include "platform/bytesource.h"

#include <algorithm>
#include <cstring>
#include <string>

// Bytes from memory, handed out at most `chunk` at a time, optionally failing once
// `failAfter` bytes have been given, or seeming to end once at `endOnceAt`, as a page
// does that grows while it is read.
class MemorySource final : public ByteSource
{
public:
    explicit MemorySource(std::string bytes, std::size_t chunk = 1 << 20,
                          std::size_t failAfter = std::string::npos, std::size_t endOnceAt = std::string::npos)
        : m_bytes(std::move(bytes)), m_chunk(chunk), m_failAfter(failAfter), m_endOnceAt(endOnceAt)
    {
    }

    ReadResult read(std::span<char> buffer) override
    {
        if (m_position >= m_failAfter)
            return {0, Failure::of(Failure::DeviceIoError)};
        if (m_position == m_endOnceAt) {
            m_endOnceAt = std::string::npos;
            return {0, std::nullopt};
        }
        const std::size_t count = std::min({buffer.size(), m_chunk, m_bytes.size() - m_position,
                                            m_failAfter - m_position, m_endOnceAt - m_position});
        std::memcpy(buffer.data(), m_bytes.data() + m_position, count);
        m_position += count;
        return {count, std::nullopt};
    }

private:
    std::string m_bytes;
    std::size_t m_chunk;
    std::size_t m_failAfter;
    std::size_t m_endOnceAt;
    std::size_t m_position = 0;
};
