#include "scan/scanrecord.h"

#include "platform/numbertext.h"

#include <charconv>
#include <cstring>

void ScanRecord::build(std::string &record, std::int16_t lineNumber, std::string_view line)
{
    record.clear();
    appendNumber(record, lineNumber);
    record += " - ";
    record += line;
}

std::size_t ScanRecord::write(std::span<char> out, std::int16_t lineNumber, std::string_view line)
{
    char *at = out.data();
    if (lineNumber >= 0)
        *at++ = ' ';
    at = std::to_chars(at, out.data() + MaxPrefix, lineNumber).ptr;
    for (const char c : std::string_view(" - "))
        *at++ = c;
    if (!line.empty())
        std::memcpy(at, line.data(), line.size());
    return static_cast<std::size_t>(at - out.data()) + line.size();
}
