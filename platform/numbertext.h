#pragma once

#include <charconv>
#include <cstdint>
#include <string>

// A number as the report and the failure messages write it: "-5", or " 7" with a space
// where the sign would be.
inline void appendNumber(std::string &text, std::int16_t number)
{
    char digits[8];
    const auto result = std::to_chars(digits, digits + sizeof digits, number);
    if (number >= 0)
        text += ' ';
    text.append(digits, result.ptr);
}
