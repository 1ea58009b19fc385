#include "scan/linereader.h"

#include "platform/bytesource.h"

#include <algorithm>
#include <cstring>

LineReader::LineReader(ByteSource &source, std::size_t blockSize)
    : m_source(source)
    , m_blockSize(std::max<std::size_t>(blockSize, 1))
    // Room for the longest partial line worth keeping plus one whole block.
    , m_buffer(MaxLineLength + 1 + m_blockSize)
{
}

LineReader::Status LineReader::readLine()
{
    if (m_pendingFailure) {
        m_failure = *m_pendingFailure;
        m_pendingFailure.reset();
        return Status::Failed;
    }
    for (;;) {
        const std::size_t pending = m_end - m_begin;
        if (m_searched < pending) {
            char *const from = m_buffer.data() + m_begin + m_searched;
            const auto *cr = static_cast<char *>(std::memchr(from, '\r', pending - m_searched));
            if (cr) {
                const auto length = static_cast<std::size_t>(cr - (m_buffer.data() + m_begin));
                if (length > MaxLineLength)
                    return Status::TooLong;
                m_line = {m_buffer.data() + m_begin, length};
                m_begin += length + 1;
                m_searched = 0;
                if (m_begin < m_end) {
                    if (m_buffer[m_begin] == '\n')
                        ++m_begin;
                } else {
                    m_skipLineFeed = true;
                }
                return Status::Line;
            }
            m_searched = pending;
        }
        if (pending > MaxLineLength)
            return Status::TooLong;
        switch (fill()) {
        case Fill::Read:
            break;
        case Fill::End:
            if (pending == 0) {
                m_failure = Failure::of(Failure::InputPastEnd);
                return Status::Failed;
            }
            m_line = {m_buffer.data() + m_begin, pending};
            m_begin = m_end;
            m_searched = 0;
            return Status::Line;
        case Fill::Failed:
            m_failure = *m_pendingFailure;
            m_pendingFailure.reset();
            return Status::Failed;
        }
    }
}

bool LineReader::atEnd()
{
    while (m_begin == m_end && !m_pendingFailure) {
        if (fill() != Fill::Read)
            return !m_pendingFailure;
    }
    return false;
}

LineReader::Fill LineReader::fill()
{
    for (;;) {
        // Checked before every read: a read that gave only a skipped line feed has
        // moved m_end on by one.
        if (m_buffer.size() - m_end < m_blockSize) {
            // Keep only the unread part; it is at most one line, so it fits before a block.
            std::memmove(m_buffer.data(), m_buffer.data() + m_begin, m_end - m_begin);
            m_end -= m_begin;
            m_begin = 0;
        }
        auto result = m_source.read({m_buffer.data() + m_end, m_blockSize});
        if (result.failure) {
            m_pendingFailure = std::move(result.failure);
            return Fill::Failed;
        }
        if (result.count == 0)
            return Fill::End;
        std::size_t count = result.count;
        if (m_skipLineFeed) {
            // Set only when the last line ended exactly at the end of the data, so
            // nothing is carried and the line feed can simply be stepped over.
            m_skipLineFeed = false;
            if (m_buffer[m_end] == '\n') {
                m_begin = ++m_end;
                --count;
            }
        }
        m_end += count;
        if (count > 0)
            return Fill::Read;
    }
}
