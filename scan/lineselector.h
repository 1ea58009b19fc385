#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string_view>

// The rule that decides whether one line of a page refers to a path or a file.
class LineSelector
{
public:
    enum class Verdict { NotSelected, Selected, Overflow };

    static constexpr std::int16_t MaxLength = 32767;
    static constexpr std::array<std::string_view, 5> ReferenceExtensions{
        ".JPG", ".GIF", ".HTM", ".BMP", ".FLH"};

    // Turns every tab of `line` into a space, in place, then selects. `ColumnIndex` is
    // left where the column walk stopped. Overflow means the line is too long for the
    // 16-bit counters; the line is then not judged.
    static Verdict normaliseAndSelect(std::span<char> line, std::int16_t &ColumnIndex);

    // The normalisation and the selection on their own.
    static bool normalise(std::span<char> line, std::int16_t &ColumnIndex); // false: overflow
    static bool isSelected(std::string_view line);
};
