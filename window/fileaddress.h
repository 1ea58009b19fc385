#pragma once

#include <optional>
#include <string>
#include <string_view>

// A dropped address (a URL, percent-encoded as the file manager offers it) as the name
// of a file on this machine.
struct FileAddress
{
    // The local file a `file:` address names: its host empty or "localhost", its path
    // absolute, with no query or fragment. The path's bytes are decoded as FileNameCodec
    // decodes names, so a name that is not UTF-8 comes through exactly. Nothing for any
    // other address: a web page, another machine's file, a relative name, a malformed
    // escape, a path that begins with "//" (another machine's share on Windows), an
    // escaped "/" (no file name holds one: decoded, it would name another folder's file).
    static std::optional<std::u16string> localName(std::string_view address);
};
