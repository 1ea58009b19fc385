#pragma once

#include "platform/failure.h"
#include "platform/fileidentity.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

// A report opened for writing, unbuffered: the scan keeps its own buffer and knows
// which records have reached the file. Opening never empties it; truncate(0) does,
// once the scan has made sure it is not the page being read.
class OutputFile
{
public:
    struct WriteResult
    {
        std::size_t count = 0; // bytes taken, at least one unless there is a failure
        std::optional<Failure> failure;
    };

    virtual ~OutputFile() = default;

    // Writes a prefix of `bytes`; a short count is not a failure.
    virtual WriteResult write(std::span<const char> bytes) = 0;
    // Writes a prefix of the pieces' bytes, taken one after the other, so records kept
    // elsewhere reach the file without being copied together first. A file that cannot
    // gather writes the first piece that is not empty.
    virtual WriteResult writeGathered(std::span<const std::span<const char>> pieces)
    {
        for (const auto piece : pieces) {
            if (!piece.empty())
                return write(piece);
        }
        return {};
    }
    // Cuts the file to its first `size` bytes; the next write goes on from there. A
    // device holds nothing, so it is left as it is. The first cut claims the file for
    // this report until it is closed: the report of another scan, or a page another
    // scan is reading, gives PermissionDenied at once and stays as it was.
    virtual std::optional<Failure> truncate(std::uint64_t size) = 0;
    // Closes the file, reporting what the system reports; the destructor closes a file
    // still open and ignores the outcome.
    virtual std::optional<Failure> close() = 0;
    virtual FileIdentity identity() const = 0;
};
