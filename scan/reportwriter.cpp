#include "scan/reportwriter.h"

#include "platform/outputfile.h"
#include "scan/linereader.h"
#include "scan/scanrecord.h"

#include <algorithm>
#include <cstring>

// After a write, every record fits in the empty buffer.
static_assert(ScanRecord::MaxPrefix + LineReader::MaxLineLength + ScanRecord::LineEnd.size() <= ReportWriter::BufferSize);

ReportWriter::ReportWriter(OutputFile &file)
    : m_file(file)
    // Not cleared: a scan whose list keeps every record never writes here, and then the
    // megabyte is never brought into memory.
    , m_buffer(std::make_unique_for_overwrite<char[]>(BufferSize))
{
    // Set aside now, so adding a piece never allocates.
    m_pieces.reserve(MaxPieces);
}

std::optional<Failure> ReportWriter::append(std::string_view record)
{
    const std::size_t size = record.size() + ScanRecord::LineEnd.size();
    // Noted first: it is the only step that can throw, and then nothing has changed.
    m_ends.push_back((m_ends.empty() ? 0 : m_ends.back()) + size);
    if (size > BufferSize - m_used) {
        if (auto failure = flush())
            return failure;
    }
    char *const at = m_buffer.get() + m_used;
    if (record.data() != at) // else built in room()
        std::memcpy(at, record.data(), record.size());
    std::memcpy(at + record.size(), ScanRecord::LineEnd.data(), ScanRecord::LineEnd.size());
    m_used += size;
    return addPiece({at, size});
}

std::span<char> ReportWriter::room(std::size_t size)
{
    if (size + ScanRecord::LineEnd.size() > BufferSize - m_used)
        return {};
    return {m_buffer.get() + m_used, size};
}

std::optional<Failure> ReportWriter::appendKept(std::string_view line)
{
    m_ends.push_back((m_ends.empty() ? 0 : m_ends.back()) + line.size());
    if (auto failure = addPiece(line))
        return failure;
    m_pending += line.size();
    return m_pending >= BufferSize ? flush() : std::nullopt;
}

// Bytes that follow the last piece in memory extend it.
std::optional<Failure> ReportWriter::addPiece(std::string_view bytes)
{
    if (!m_pieces.empty() && m_pieces.back().data() + m_pieces.back().size() == bytes.data()) {
        m_pieces.back() = {m_pieces.back().data(), m_pieces.back().size() + bytes.size()};
        return std::nullopt;
    }
    if (m_pieces.size() == MaxPieces) {
        if (auto failure = writeOut())
            return failure;
    }
    m_pieces.push_back(bytes);
    return std::nullopt;
}

std::optional<Failure> ReportWriter::flush()
{
    auto failure = writeOut();
    m_used = 0;
    return failure;
}

std::size_t ReportWriter::recordsWritten() const
{
    return static_cast<std::size_t>(std::upper_bound(m_ends.begin(), m_ends.end(), m_written) - m_ends.begin());
}

std::optional<Failure> ReportWriter::keepRecords(std::size_t count)
{
    count = std::min(count, recordsWritten());
    const std::uint64_t end = count == 0 ? 0 : m_ends[count - 1];
    m_ends.resize(count);
    m_used = 0;
    m_pieces.clear();
    m_pending = 0;
    if (m_written == end)
        return std::nullopt;
    auto failure = m_file.truncate(end);
    if (!failure)
        m_written = end;
    return failure;
}

// Writes every piece, or up to a failure; either way none is left waiting: a failed
// write drops the rest, and whatever reached the file is counted.
std::optional<Failure> ReportWriter::writeOut()
{
    std::optional<Failure> failure;
    std::span<std::span<const char>> left(m_pieces);
    while (!left.empty()) {
        if (left.front().empty()) {
            left = left.subspan(1);
            continue;
        }
        const auto result = m_file.writeGathered(left);
        m_written += result.count;
        if (result.failure) {
            failure = result.failure;
            break;
        }
        if (result.count == 0) { // a file that takes nothing and says nothing would loop for ever
            failure = Failure::of(Failure::DeviceIoError);
            break;
        }
        for (std::size_t taken = result.count; taken > 0;) {
            const std::size_t step = std::min(taken, left.front().size());
            left.front() = left.front().subspan(step);
            taken -= step;
            if (left.front().empty())
                left = left.subspan(1);
        }
    }
    m_pieces.clear();
    m_pending = 0;
    return failure;
}
