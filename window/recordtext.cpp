#include "window/recordtext.h"

#include "platform/utf8.h"

#include <algorithm>
#include <cstdint>

namespace {

// Windows-1252 differs from Latin-1 only in 0x80..0x9F; its five unused codes map to
// the C1 controls, as Windows itself decodes them.
constexpr char16_t Cp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

bool isUtf8(std::string_view bytes)
{
    char32_t c = 0;
    for (std::size_t length = 0; !bytes.empty(); bytes.remove_prefix(length)) {
        length = Utf8::sequence(bytes, c);
        if (length == 0)
            return false;
    }
    return true;
}

bool shownByName(char32_t c)
{
    return (c >= 0x80 && c <= 0x9F) || c == 0x061C || c == 0x200E || c == 0x200F || (c >= 0x2028 && c <= 0x202E) ||
           (c >= 0x2066 && c <= 0x2069);
}

// Calls `out` with the units of each character of the record as it is shown, until
// the record ends or the next character would take the count beyond `limit`. Returns
// whether the whole record was given.
template <typename Out>
bool visit(std::string_view record, std::size_t limit, Out out)
{
    std::size_t count = 0;
    const auto emit = [&](char32_t c) {
        char16_t units[8];
        std::size_t n = 0;
        if (c < 0x20 || c == 0x7F) {
            units[n++] = u'^';
            units[n++] = c == 0x7F ? u'?' : static_cast<char16_t>(c + 0x40);
        } else if (shownByName(c)) {
            constexpr char16_t Hex[] = u"0123456789ABCDEF";
            for (const char16_t unit : {u'<', u'U', u'+'})
                units[n++] = unit;
            for (int shift = 12; shift >= 0; shift -= 4)
                units[n++] = Hex[(c >> shift) & 0xF];
            units[n++] = u'>';
        } else if (c >= 0x10000) {
            units[n++] = static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
            units[n++] = static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
        } else {
            units[n++] = static_cast<char16_t>(c);
        }
        if (limit - count < n)
            return false;
        count += n;
        for (std::size_t i = 0; i < n; ++i)
            out(units[i]);
        return true;
    };

    const auto *at = reinterpret_cast<const unsigned char *>(record.data());
    const auto *const end = at + record.size();
    if (!isUtf8(record)) {
        for (; at != end; ++at) {
            const unsigned char byte = *at;
            if (!emit(byte >= 0x80 && byte < 0xA0 ? Cp1252High[byte - 0x80] : char32_t{byte}))
                return false;
        }
        return true;
    }
    char32_t c = 0;
    for (std::size_t length = 0; !record.empty(); record.remove_prefix(length)) {
        length = Utf8::sequence(record, c);
        if (!emit(c))
            return false;
    }
    return true;
}

constexpr std::size_t Unlimited = static_cast<std::size_t>(-1);

// Printable ASCII only, as most records are: each byte is its own unit, and a copy of
// a whole page goes through this at the speed of memory.
bool isPlain(std::string_view record)
{
    unsigned char outside = 0;
    for (const char c : record) {
        const auto byte = static_cast<unsigned char>(c);
        outside |= static_cast<unsigned char>((byte < 0x20) | (byte > 0x7E));
    }
    return outside == 0;
}

} // namespace

std::u16string RecordText::whole(std::string_view record)
{
    std::u16string text;
    text.reserve(record.size());
    visit(record, Unlimited, [&](char16_t unit) { text += unit; });
    return text;
}

std::u16string RecordText::row(std::string_view record)
{
    std::u16string text;
    text.reserve(std::min(record.size(), RowLength) + 1);
    if (!visit(record, RowLength, [&](char16_t unit) { text += unit; }))
        text += Ellipsis;
    return text;
}

bool RecordText::rowIsCut(std::string_view record)
{
    return !visit(record, RowLength, [](char16_t) {});
}

std::u16string RecordText::tooltip(std::string_view record, std::size_t lineLength)
{
    lineLength = std::clamp<std::size_t>(lineLength, 2, TipLineLength);
    // One unit more than the lines can hold tells whether anything is left over.
    const std::size_t room = lineLength * TipLines;
    std::u16string text;
    text.reserve(std::min(record.size(), room + 1));
    const bool whole = visit(record, room + 1, [&](char16_t unit) { text += unit; });

    std::u16string tip;
    std::size_t at = 0;
    for (std::size_t line = 0; line < TipLines && at < text.size(); ++line) {
        std::size_t length = std::min(lineLength, text.size() - at);
        if (at + length < text.size()) {
            // After a space or a folder separator in the line's second half, if any.
            const std::u16string_view part(text.data() + at, length);
            const auto breakAt = part.find_last_of(u" /\\");
            if (breakAt != std::u16string_view::npos && breakAt + 1 >= length / 2)
                length = breakAt + 1;
            else if (text[at + length] >= 0xDC00 && text[at + length] <= 0xDFFF)
                --length; // never half of a character
        }
        if (line > 0)
            tip += u'\n';
        tip.append(text, at, length);
        at += length;
    }
    if (at < text.size() || !whole)
        tip += Ellipsis;
    return tip;
}

std::size_t RecordText::tipLineLength(int screenWidth, int letterWidth)
{
    constexpr std::size_t Shortest = 20;
    if (letterWidth <= 0 || screenWidth <= 0)
        return TipLineLength;
    const auto fits = static_cast<std::size_t>(screenWidth * 9 / 10 / letterWidth);
    return std::clamp(fits, Shortest, TipLineLength);
}

std::size_t RecordText::wholeLength(std::string_view record)
{
    if (isPlain(record))
        return record.size();
    std::size_t length = 0;
    visit(record, Unlimited, [&](char16_t) { ++length; });
    return length;
}

char16_t *RecordText::writeWhole(std::string_view record, char16_t *out)
{
    if (isPlain(record))
        return std::transform(record.begin(), record.end(), out,
                              [](char c) { return static_cast<char16_t>(static_cast<unsigned char>(c)); });
    visit(record, Unlimited, [&](char16_t unit) { *out++ = unit; });
    return out;
}
