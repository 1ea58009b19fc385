#pragma once

#include <cstddef>
#include <string_view>

// Strict UTF-8, as Unicode's table of well-formed byte sequences has it: no overlong
// form, no surrogate, nothing past U+10FFFF. File names and records read it alike.
struct Utf8
{
    // The length of the well-formed sequence at the start of `bytes`, with its
    // character in `c`; 0 when there is none (or `bytes` is empty).
    static std::size_t sequence(std::string_view bytes, char32_t &c);
};
