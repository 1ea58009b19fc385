#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// What a person sees of a stored record, in UTF-16, the same in every window: in the
// list's row, in its tooltip, read by a screen reader and copied by "Copia". The
// report keeps the record's bytes as they are.
//
// Decoding: UTF-8 where the record is valid UTF-8, otherwise Windows-1252, the code
// page such pages were written in (its five unused codes become the C1 controls, as
// Windows decodes them).
//
// Characters that draw nothing, or that redraw their neighbours, are written out
// visibly, in forms every font can show: the C0 controls and DEL in caret notation
// (NUL as ^@, a lone line feed as ^J, DEL as ^?), so a record is always one line with
// no NUL; the C1 controls, the bidirectional controls and the line and paragraph
// separators as <U+202E>, so a right-to-left override cannot make "gpj.exe" read as
// "exe.jpg".
struct RecordText
{
    // Painting lays out the whole text even where it is cut off; beyond this many units
    // nothing more can be seen, so a long record costs no more to show.
    static constexpr std::size_t RowLength = 1000;
    // A tooltip shows at most this many lines of at most this many units.
    static constexpr std::size_t TipLineLength = 100;
    static constexpr std::size_t TipLines = 10;
    static constexpr char16_t Ellipsis = u'\u2026';
    // The longest tooltip every window can show whole. Windows documents no length
    // for a text given by TTN_GETDISPINFO beyond the 80 units of its own buffer; the
    // size to design for is its headers' INFOTIPSIZE, 1,024 units with the closing
    // NUL, and Wine cuts there, mid-word.
    static constexpr std::size_t TipLimit = 1023;
    static_assert(TipLines * TipLineLength + (TipLines - 1) + 1 <= TipLimit, "lines, breaks and the ellipsis");

    // The whole record: what a screen reader reads and what Copia copies.
    static std::u16string whole(std::string_view record);
    // The row: whole() up to RowLength units, then "…" when there is more. A
    // character is never split.
    static std::u16string row(std::string_view record);
    // Whether row() ends in "…" where the record goes on.
    static bool rowIsCut(std::string_view record);
    // The tooltip of a row the list shows cut: whole() in lines of at most
    // `lineLength` units, each broken after the last space, "/" or "\" in its second
    // half or, where there is none, at the limit; at most TipLines lines, the last
    // ending in "…" when more remains. Lines end with "\n". A `lineLength` beyond
    // TipLineLength counts as TipLineLength, so the tooltip stays within TipLimit.
    static std::u16string tooltip(std::string_view record, std::size_t lineLength = TipLineLength);
    // The line length for a tooltip on a screen `screenWidth` pixels wide whose widest
    // letter ("W") is `letterWidth` pixels: TipLineLength, fewer on a narrow screen, so
    // the tooltip stays on it.
    static std::size_t tipLineLength(int screenWidth, int letterWidth);

    // The length of whole(record), and whole(record) written to `out`, which has room
    // for it; returns the end of what was written.
    static std::size_t wholeLength(std::string_view record);
    static char16_t *writeWhole(std::string_view record, char16_t *out);
};
