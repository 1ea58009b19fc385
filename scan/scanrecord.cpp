#include "scan/scanrecord.h"

#include <charconv>
#include <cstring>

void ScanRecord::appendNumber(std::string &text, std::int16_t number)
{
    char digits[8];
    const auto result = std::to_chars(digits, digits + sizeof digits, number);
    if (number >= 0)
        text += ' ';
    text.append(digits, result.ptr);
}

void ScanRecord::build(std::string &record, std::int16_t lineNumber, std::string_view line)
{
    record.clear();
    appendNumber(record, lineNumber);
    record += " - ";
    record += line;
}

std::size_t ScanRecord::writePrefix(std::span<char> out, std::int16_t lineNumber)
{
    char *at = out.data();
    if (lineNumber >= 0)
        *at++ = ' ';
    at = std::to_chars(at, out.data() + MaxPrefix, lineNumber).ptr;
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

std::string ScanRecord::failureMessage(std::string_view prefix, const Failure &failure)
{
    std::string message{prefix};
    appendNumber(message, failure.number);
    message += " - ";
    message += failure.description;
    return message;
}
