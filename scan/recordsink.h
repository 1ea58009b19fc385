#pragma once

#include "platform/failure.h"

#include <cstddef>
#include <optional>
#include <span>
#include <string_view>

// Where the scan puts each record it builds: the report and the list in the program,
// a collector in tests and in the fuzz target.
class RecordSink
{
public:
    virtual ~RecordSink() = default;
    // `record` is the record's text without its line end. A failure ends the scan.
    virtual std::optional<Failure> append(std::string_view record) = 0;
    // Where the next record, at most `size` bytes, can be built so that append() takes
    // it where it is, or nothing. May throw std::bad_alloc.
    virtual std::span<char> room(std::size_t) { return {}; }
};
