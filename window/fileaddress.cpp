#include "window/fileaddress.h"

#include "platform/filenamecodec.h"

#include <algorithm>

namespace {

// ASCII only: the toolkit sets the user's locale, in which other bytes may have cases.
char lowerAscii(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool sameLetters(std::string_view text, std::string_view lower)
{
    return std::equal(text.begin(), text.end(), lower.begin(), lower.end(),
                      [](char a, char b) { return lowerAscii(a) == b; });
}

int hexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    c = lowerAscii(c);
    return c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
}

} // namespace

std::optional<std::u16string> FileAddress::localName(std::string_view address)
{
    constexpr std::string_view Scheme = "file:";
    if (address.size() < Scheme.size() || !sameLetters(address.substr(0, Scheme.size()), Scheme))
        return std::nullopt;
    std::string_view path = address.substr(Scheme.size());
    if (path.starts_with("//")) {
        path.remove_prefix(2);
        const auto host = path.substr(0, path.find('/'));
        if (!host.empty() && !sameLetters(host, "localhost"))
            return std::nullopt;
        path.remove_prefix(host.size());
    }
    if (!path.starts_with('/') || path.starts_with("//") || path.find_first_of("?#") != std::string_view::npos)
        return std::nullopt;

    std::string bytes;
    bytes.reserve(path.size());
    for (std::size_t i = 0; i < path.size(); ++i) {
        if (path[i] != '%') {
            bytes += path[i];
            continue;
        }
        const int high = i + 2 < path.size() ? hexDigit(path[i + 1]) : -1;
        const int low = high < 0 ? -1 : hexDigit(path[i + 2]);
        if (low < 0 || high * 16 + low == '/')
            return std::nullopt;
        bytes += static_cast<char>(high * 16 + low);
        i += 2;
    }
    return FileNameCodec::decode(bytes);
}
