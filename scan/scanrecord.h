#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

// One line of the report: the line number with its sign position, " - ", the line.
struct ScanRecord
{
    // What ends each record in the report.
    static constexpr std::string_view LineEnd = "\r\n";

    // Replaces the contents of `record`; reusing one string keeps the scan free of
    // allocations.
    static void build(std::string &record, std::int16_t lineNumber, std::string_view line);
    // The most a record adds to its line: a sign or its space, five digits, " - ".
    static constexpr std::size_t MaxPrefix = 9;
    // The same record written to `out`, which has room for MaxPrefix + line.size()
    // bytes; returns its size.
    static std::size_t write(std::span<char> out, std::int16_t lineNumber, std::string_view line);
    // Only the part before the line; returns its size.
    static std::size_t writePrefix(std::span<char> out, std::int16_t lineNumber);
};
