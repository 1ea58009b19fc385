#include "scan/scanrecord.h"

#include "platform/numbertext.h"

#include <cstring>

void ScanRecord::build(std::string &record, std::int16_t lineNumber, std::string_view line)
{
    record.clear();
    appendNumber(record, lineNumber);
    record += " - ";
    record += line;
}

std::size_t ScanRecord::writePrefix(std::span<char> out, std::int16_t lineNumber)
{
    char *at = writeNumber(out.data(), lineNumber);
    for (const char c : std::string_view(" - "))
        *at++ = c;
    return static_cast<std::size_t>(at - out.data());
}

std::size_t ScanRecord::write(std::span<char> out, std::int16_t lineNumber, std::string_view line)
{
    const std::size_t prefix = writePrefix(out, lineNumber);
    if (!line.empty())
        std::memcpy(out.data() + prefix, line.data(), line.size());
    return prefix + line.size();
}
