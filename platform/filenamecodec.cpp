#include "platform/filenamecodec.h"

#include "platform/utf8.h"

namespace {

constexpr char16_t EscapeBase = 0xDC00;

} // namespace

std::u16string FileNameCodec::decode(std::string_view bytes)
{
    std::u16string name;
    name.reserve(bytes.size());
    while (!bytes.empty()) {
        const auto lead = static_cast<unsigned char>(bytes.front());
        char32_t c = lead;
        std::size_t length = Utf8::sequence(bytes, c);
        if (length == 0) {
            c = EscapeBase + lead;
            length = 1;
        }
        if (c >= 0x10000) {
            name += static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
            name += static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
        } else {
            name += static_cast<char16_t>(c);
        }
        bytes.remove_prefix(length);
    }
    return name;
}

std::optional<std::string> FileNameCodec::encode(std::u16string_view name)
{
    std::string bytes;
    bytes.reserve(name.size());
    bool escaped = false;
    for (std::size_t i = 0; i < name.size(); ++i) {
        char32_t c = name[i];
        if (c == 0)
            return std::nullopt;
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < name.size() && name[i + 1] >= 0xDC00 && name[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (name[++i] - 0xDC00u);
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            // Only U+DC80 to U+DCFF stand for bytes: a byte below 0x80 is always text.
            if (c < EscapeBase + 0x80 || c > EscapeBase + 0xFF)
                return std::nullopt;
            bytes += static_cast<char>(c - EscapeBase);
            escaped = true;
            continue;
        }
        if (c < 0x80) {
            bytes += static_cast<char>(c);
        } else if (c < 0x800) {
            bytes += static_cast<char>(0xC0 | (c >> 6));
            bytes += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            bytes += static_cast<char>(0xE0 | (c >> 12));
            bytes += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            bytes += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            bytes += static_cast<char>(0xF0 | (c >> 18));
            bytes += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            bytes += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            bytes += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    // Stand-ins next to each other, or next to text, can spell a character: "\uDCC3\uDCA9"
    // would reach the file "é". Only the one spelling that decodes back is taken.
    if (escaped && decode(bytes) != name)
        return std::nullopt;
    return bytes;
}
