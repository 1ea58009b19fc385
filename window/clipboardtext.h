#pragma once

#include <cstddef>
#include <span>
#include <string_view>

// The text "Copia" puts on the clipboard, written the same way by every front end: the
// selected records whole, in list order, one per line. Each record's control
// characters become pictures (ControlPictures), so a record is always one line and no
// NUL reaches the clipboard, whose text would end there. The platform's line end goes
// between records and none after the last, so a single record pastes into a field, or
// into a terminal, as it is.
//
// It writes straight into the caller's buffer (a QString, the clipboard's own memory),
// so a copy of a whole page is never held twice.
class ClipboardText
{
public:
    // A record decoded from n bytes, as UTF-8 or as a single-byte code page, takes at
    // most n UTF-16 units: the records' bytes and the line ends between them bound
    // the room `out` needs.
    ClipboardText(std::span<char16_t> out, std::u16string_view lineEnd);

    // Appends the next record. Throws std::length_error, writing nothing, when `out`
    // has no room for it.
    void add(std::u16string_view record);

    // The UTF-16 units written so far.
    std::size_t size() const { return m_size; }

private:
    std::span<char16_t> m_out;
    std::u16string_view m_lineEnd;
    std::size_t m_size = 0;
    bool m_first = true;
};
