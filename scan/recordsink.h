#pragma once

#include "platform/failure.h"

#include <optional>
#include <string_view>

// Where the scan puts each record it builds: the report and the list in the program,
// a collector in tests and in the fuzz target.
class RecordSink
{
public:
    virtual ~RecordSink() = default;
    // `record` is the record's text without its line end. A failure ends the scan.
    virtual std::optional<Failure> append(std::string_view record) = 0;
};
