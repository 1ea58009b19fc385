#pragma once

#include "platform/failure.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

class OutputFile;

// The report's records, each followed by CR LF, handed to the file in large writes.
// It knows which records have reached the file whole, so that after a failure the
// report can be cut back to whole records and the list made to match it.
class ReportWriter
{
public:
    // Large writes keep the kernel's per-call cost off a report of many short records.
    static constexpr std::size_t DefaultBufferSize = std::size_t{1} << 20;

    explicit ReportWriter(OutputFile &file, std::size_t bufferSize = DefaultBufferSize);

    std::optional<Failure> append(std::string_view record);
    std::optional<Failure> flush();

    // How many records the file holds whole.
    std::size_t recordsWritten() const;
    // Cuts the file back to its first `count` records, at most recordsWritten(): a
    // torn piece of the next record goes, and so does anything still buffered.
    std::optional<Failure> keepRecords(std::size_t count);

private:
    std::optional<Failure> writeOut(std::span<const char> bytes);

    OutputFile &m_file;
    std::vector<char> m_buffer;
    std::size_t m_used = 0;
    std::vector<std::uint64_t> m_ends; // where each record ends in the report, CR LF included
    std::uint64_t m_written = 0;       // bytes the file has taken
};
