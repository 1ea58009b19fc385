#pragma once

#include <charconv>
#include <cstddef>
#include <cstdint>
#include <string>

// A number as the report and the failure messages write it: "-5", or " 7" with a space
// where the sign would be. Written at `at`, which has room for NumberWidth characters;
// returns the end.
inline constexpr std::size_t NumberWidth = 6;

inline char *writeNumber(char *out, std::int16_t number)
{
    char *at = out;
    if (number >= 0)
        *at++ = ' ';
    return std::to_chars(at, out + NumberWidth, number).ptr;
}

inline void appendNumber(std::string &text, std::int16_t number)
{
    char digits[NumberWidth];
    text.append(digits, writeNumber(digits, number));
}
