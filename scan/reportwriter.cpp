#include "scan/reportwriter.h"

#include "platform/outputfile.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr std::string_view LineEnd = "\r\n";

} // namespace

ReportWriter::ReportWriter(OutputFile &file, std::size_t bufferSize)
    : m_file(file)
    , m_buffer(std::max(bufferSize, LineEnd.size()))
{
}

std::optional<Failure> ReportWriter::append(std::string_view record)
{
    const std::size_t size = record.size() + LineEnd.size();
    // Noted first: it is the only step that can throw, and then nothing has changed.
    m_ends.push_back((m_ends.empty() ? 0 : m_ends.back()) + size);
    if (size > m_buffer.size() - m_used) {
        if (auto failure = flush())
            return failure;
        if (size > m_buffer.size()) {
            if (auto failure = writeOut(record))
                return failure;
            return writeOut(LineEnd);
        }
    }
    std::memcpy(m_buffer.data() + m_used, record.data(), record.size());
    std::memcpy(m_buffer.data() + m_used + record.size(), LineEnd.data(), LineEnd.size());
    m_used += size;
    return std::nullopt;
}

std::optional<Failure> ReportWriter::flush()
{
    const std::size_t used = m_used;
    m_used = 0; // a failed write drops the rest: whatever reached the file is counted
    return writeOut({m_buffer.data(), used});
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
    if (m_written == end)
        return std::nullopt;
    auto failure = m_file.truncate(end);
    if (!failure)
        m_written = end;
    return failure;
}

std::optional<Failure> ReportWriter::writeOut(std::span<const char> bytes)
{
    while (!bytes.empty()) {
        const auto result = m_file.write(bytes);
        m_written += result.count;
        if (result.failure)
            return result.failure;
        if (result.count == 0) // a file that takes nothing and says nothing would loop for ever
            return Failure::of(Failure::DeviceIoError);
        bytes = bytes.subspan(result.count);
    }
    return std::nullopt;
}
