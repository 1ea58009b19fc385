#pragma once

#include <span>

// A record keeps every byte of its line except tabs, so it can hold NUL, a lone line
// feed or any other C0 control. Shown raw they are invisible; put on the clipboard or
// read to a screen reader, a NUL cuts the text short and a line feed splits one record
// over two lines. Wherever a record's text leaves the window (list, copy, screen
// reader), each becomes its Unicode control picture: U+0000..U+001F as U+2400..U+241F,
// DEL as U+2421. Every record is then exactly one line without NUL, so a copy can put
// one record per line and the front end's own line end separates them unambiguously.
// The report's bytes are never changed.
struct ControlPictures
{
    // In place. A code unit below U+0080 is always a whole character in UTF-16, so no
    // surrogate pair is touched.
    static void apply(std::span<char16_t> text);
};
