#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string_view>

// The text "Copia" puts on the clipboard, written the same way by every front end: the
// selected records whole, in list order, one per line, as RecordText shows them, so a
// record is always one line and no NUL reaches the clipboard, whose text would end
// there. The platform's line end goes between records and none after the last, so a
// single record pastes into a field, or into a terminal, as it is.
//
// A copy is refused beyond MaxLength units, far more than any page of ordinary lines
// holds (32,767 lines of 1,000 characters take half of it): the clipboard's text is
// converted again for each program that pastes it, and the gigabytes of a page of the
// longest lines would put both programs at risk for a text no one can use. The report
// holds it all.
struct ClipboardText
{
    static constexpr std::size_t MaxLength = std::size_t{1} << 26; // 67,108,864 UTF-16 units

    // The exact length of the text for these records, without a terminating NUL, or
    // nothing when it would exceed `limit`.
    static std::optional<std::size_t> length(std::span<const std::string_view> records, std::u16string_view lineEnd,
                                             std::size_t limit = MaxLength);

    // Writes the text into `out`, which holds exactly length() units.
    static void write(std::span<const std::string_view> records, std::u16string_view lineEnd, std::span<char16_t> out);
};
