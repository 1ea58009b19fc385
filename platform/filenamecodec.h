#pragma once

#include <optional>
#include <string>
#include <string_view>

// File names between the bytes a POSIX system stores and the UTF-16 text the window
// holds. Bytes that are valid UTF-8 become their characters; every other byte 0xNN
// becomes the lone surrogate U+DCNN, which no valid text holds, so a name copied from an
// old Windows disk ("r\xE9.htm") reaches its own file and no other.
struct FileNameCodec
{
    static std::u16string decode(std::string_view bytes);
    // The bytes of `name`, or nothing when no file can have it: a NUL, a lone surrogate
    // that stands for no byte, or stand-ins for bytes that would spell a character
    // (decoded, those would be another name).
    static std::optional<std::string> encode(std::u16string_view name);
};
