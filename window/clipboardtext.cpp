#include "window/clipboardtext.h"

#include "window/recordtext.h"

#include <algorithm>

std::optional<std::size_t> ClipboardText::length(std::span<const std::string_view> records,
                                                 std::u16string_view lineEnd, std::size_t limit)
{
    std::size_t total = 0;
    for (std::size_t i = 0; i < records.size(); ++i) {
        // Counted record by record, so a selection far beyond the limit is refused
        // after `limit` units of work, not after the whole page.
        total += (i > 0 ? lineEnd.size() : 0) + RecordText::wholeLength(records[i]);
        if (total > limit)
            return std::nullopt;
    }
    return total;
}

void ClipboardText::write(std::span<const std::string_view> records, std::u16string_view lineEnd,
                          std::span<char16_t> out)
{
    char16_t *at = out.data();
    for (std::size_t i = 0; i < records.size(); ++i) {
        if (i > 0)
            at = std::copy(lineEnd.begin(), lineEnd.end(), at);
        at = RecordText::writeWhole(records[i], at);
    }
}
