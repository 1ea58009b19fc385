#include "platform/filenamecodec.h"

namespace {

constexpr char16_t EscapeBase = 0xDC00;

// The length of the well-formed UTF-8 sequence at the start of `bytes` (Unicode's table
// of well-formed byte sequences: no overlong form, no surrogate, nothing past
// U+10FFFF), or 0 when there is none.
std::size_t sequenceLength(std::string_view bytes, char32_t &c)
{
    const auto at = [&](std::size_t i) { return static_cast<unsigned char>(bytes[i]); };
    const unsigned char lead = at(0);
    std::size_t length = 0;
    unsigned char low = 0x80, high = 0xBF; // the second byte's range
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        c = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        c = lead & 0x0F;
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        c = lead & 0x07;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
        return 0;
    }
    if (bytes.size() < length || at(1) < low || at(1) > high)
        return 0;
    for (std::size_t i = 1; i < length; ++i) {
        if ((at(i) & 0xC0) != 0x80)
            return 0;
        c = (c << 6) | (at(i) & 0x3F);
    }
    return length;
}

} // namespace

std::u16string FileNameCodec::decode(std::string_view bytes)
{
    std::u16string name;
    name.reserve(bytes.size());
    while (!bytes.empty()) {
        const auto lead = static_cast<unsigned char>(bytes.front());
        char32_t c = lead;
        std::size_t length = lead < 0x80 ? 1 : sequenceLength(bytes, c);
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
