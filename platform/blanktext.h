#pragma once

#include <string_view>

// Trimming removes spaces (character 32) only; a tab is neither trimmed nor blank. Every
// missing-name check and emptiness test of the program goes through these two.
template <typename Char>
constexpr std::basic_string_view<Char> trimSpaces(std::basic_string_view<Char> text)
{
    const auto first = text.find_first_not_of(Char(' '));
    if (first == std::basic_string_view<Char>::npos)
        return {};
    const auto last = text.find_last_not_of(Char(' '));
    return text.substr(first, last - first + 1);
}

template <typename Char>
constexpr bool isBlank(std::basic_string_view<Char> text)
{
    return text.find_first_not_of(Char(' ')) == std::basic_string_view<Char>::npos;
}

constexpr std::string_view trimSpaces(std::string_view text) { return trimSpaces<char>(text); }
constexpr bool isBlank(std::string_view text) { return isBlank<char>(text); }
