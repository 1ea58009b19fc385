#pragma once

#include "platform/failure.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

class OutputFile;

// The report's records, each followed by CR LF, handed to the file in large writes.
// It knows which records have reached the file whole, so that after a failure the
// report can be cut back to whole records and the list made to match it.
//
// A record is either copied into the writer's buffer, or, when the list already keeps
// it followed by its line end, written from there: a gigabyte of records is then not
// copied once more on its way out. Records kept side by side go out as one piece.
class ReportWriter
{
public:
    // Large writes keep the kernel's per-call cost off a report of many short records;
    // the longest record a scan makes fits many times over.
    static constexpr std::size_t BufferSize = std::size_t{1} << 20;

    explicit ReportWriter(OutputFile &file);

    // Copies `record` and its line end.
    std::optional<Failure> append(std::string_view record);
    // `line` is a record followed by its line end, in memory that stays as it is until
    // the next flush() or keepRecords(); it is written from there.
    std::optional<Failure> appendKept(std::string_view line);
    std::optional<Failure> flush();
    // Room for a record of at most `size` bytes in the writer's buffer, with its line
    // end; append() of a record built there copies nothing. Nothing when it would not
    // fit before the next write.
    std::span<char> room(std::size_t size);

    // How many records the file holds whole.
    std::size_t recordsWritten() const;
    // Cuts the file back to its first `count` records, at most recordsWritten(): a
    // torn piece of the next record goes, and so does anything still buffered.
    std::optional<Failure> keepRecords(std::size_t count);

private:
    // One gathered write takes at most this many pieces.
    static constexpr std::size_t MaxPieces = 64;

    std::optional<Failure> addPiece(std::string_view bytes);
    std::optional<Failure> writeOut();

    OutputFile &m_file;
    std::unique_ptr<char[]> m_buffer;
    std::size_t m_used = 0;                    // bytes of m_buffer waiting
    std::vector<std::span<const char>> m_pieces; // what the next write takes, in order
    std::size_t m_pending = 0;                 // bytes waiting outside m_buffer
    std::vector<std::uint64_t> m_ends; // where each record ends in the report, CR LF included
    std::uint64_t m_written = 0;       // bytes the file has taken
};
