#include "browse/shownname.h"

namespace {

constexpr char16_t Replacement = 0xFFFD;

// A byte FileNameCodec could not decode, or what a lossy decoder made of one.
bool lost(char16_t c)
{
    return c == Replacement || (c >= 0xDC80 && c <= 0xDCFF);
}

} // namespace

bool ShownName::showsAs(std::u16string_view exact, std::u16string_view shown)
{
    std::size_t i = 0, j = 0;
    while (i < exact.size() && j < shown.size()) {
        if (!lost(exact[i])) {
            if (exact[i++] != shown[j++])
                return false;
            continue;
        }
        if (shown[j] != Replacement)
            return false;
        while (i < exact.size() && lost(exact[i]))
            ++i;
        while (j < shown.size() && shown[j] == Replacement)
            ++j;
    }
    return i == exact.size() && j == shown.size();
}

std::optional<std::u16string> ShownName::resolve(std::u16string_view shown, const NamesIn &namesIn)
{
    if (shown.find(Replacement) == std::u16string_view::npos)
        return std::u16string(shown);
    std::u16string exact;
    while (!shown.empty()) {
        const auto end = shown.find(u'/');
        const auto part = shown.substr(0, end);
        if (part.find(Replacement) == std::u16string_view::npos) {
            exact += part;
        } else {
            const auto names = namesIn(exact.empty() ? std::u16string_view(u".") : std::u16string_view(exact));
            if (!names)
                return std::nullopt;
            const std::u16string *found = nullptr;
            for (const auto &name : *names) {
                if (showsAs(name, part)) {
                    if (found)
                        return std::nullopt;
                    found = &name;
                }
            }
            if (!found)
                return std::nullopt;
            exact += *found;
        }
        if (end == std::u16string_view::npos)
            break;
        exact += u'/';
        shown.remove_prefix(end + 1);
    }
    return exact;
}
