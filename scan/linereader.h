#pragma once

#include "platform/failure.h"
#include "platform/sixteenbit.h"

#include <cstddef>
#include <optional>
#include <span>
#include <vector>

class ByteSource;

// Splits a byte stream into lines the way the report counts them: a line ends at a
// carriage return, a line feed right after it belongs to the terminator, a lone line
// feed is an ordinary character, and the last line needs no terminator.
//
// Reads in blocks and finds line ends with memchr, carrying a partial line across
// blocks. A line is never held beyond the longest one the selection rule accepts, so
// memory stays bounded whatever the input.
class LineReader
{
public:
    static constexpr std::size_t DefaultBlockSize = 256 * 1024;
    static constexpr std::size_t MaxLineLength = SixteenBitLimit;

    enum class Status {
        Line,    // line() holds the next line
        TooLong, // the next line has more than MaxLineLength characters
        Failed,  // failure() tells why; reading past the end is a failure too
    };

    explicit LineReader(ByteSource &source, std::size_t blockSize = DefaultBlockSize);

    Status readLine();
    // The line read last, without its terminator; valid until the next call.
    std::span<char> line() const { return m_line; }
    const Failure &failure() const { return m_failure; }

    // True once no character is left. A read failure met here is kept for the next
    // readLine().
    bool atEnd();

private:
    enum class Fill { Read, End, Failed };
    Fill fill();

    ByteSource &m_source;
    std::size_t m_blockSize;
    std::vector<char> m_buffer;
    std::size_t m_begin = 0;    // first unread byte
    std::size_t m_searched = 0; // bytes from m_begin known to hold no carriage return
    std::size_t m_end = 0;      // one past the last byte read
    bool m_skipLineFeed = false; // the last line ended on a CR that ended the data read so far
    std::optional<Failure> m_pendingFailure;
    std::span<char> m_line;
    Failure m_failure;
};
