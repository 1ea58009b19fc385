#pragma once

#include "platform/sixteenbit.h"

#include <array>
#include <cstdint>
#include <span>
#include <string_view>

// The rule that decides whether one line of a page refers to a path or a file.
class LineSelector
{
public:
    enum class Verdict { NotSelected, Selected, Overflow };

    static constexpr std::int16_t MaxLength = SixteenBitLimit;
    static constexpr std::array<std::string_view, 5> ReferenceExtensions{
        ".JPG", ".GIF", ".HTM", ".BMP", ".FLH"};

    // How a line is read: 32 bytes at a time where the processor has AVX2, then 16 at a
    // time where it has SSE2 (every x86 build uses it), and what is left a byte at a
    // time; or 16, then one at a time; or all of it a byte at a time. The answers are
    // the same. The scan reads the widest way; the tests read every row all three ways,
    // so that no loop goes untested on any build.
    enum class Loop { Wide, Vector, Scalar };

    // Turns every tab of `line` into a space, in place, then selects. `ColumnIndex` is
    // left where the column walk stopped. Overflow means the line is too long for the
    // 16-bit counters; the line is then not judged.
    static Verdict normaliseAndSelect(std::span<char> line, std::int16_t &ColumnIndex, Loop loop = Loop::Wide);
    // The same with the normalised line written to `out`, which has room for it; `line`
    // is left as it is. One pass reads the line and writes the copy.
    static Verdict normaliseAndSelect(std::span<const char> line, char *out, std::int16_t &ColumnIndex,
                                      Loop loop = Loop::Wide);

    // The normalisation and the selection on their own.
    static bool normalise(std::span<char> line, std::int16_t &ColumnIndex); // false: overflow
    static bool isSelected(std::string_view line, Loop loop = Loop::Wide);
};
