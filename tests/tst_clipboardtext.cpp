// What "Copia" writes, as every front end writes it, into a buffer of exactly the
// length it asks for: one record per line, no line end after the last, no NUL, and
// never a unit beyond the buffer; a copy beyond the limit is refused.
#include "tests/casename.h"
#include "window/clipboardtext.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace {

struct CopyCase
{
    const char *name;
    std::vector<std::string> records;
    std::optional<std::u16string> written; // nothing: refused
    std::size_t limit = ClipboardText::MaxLength;
};

using WrittenCopy = testing::TestWithParam<CopyCase>;

TEST_P(WrittenCopy, HoldsTheRecordsOnePerLine)
{
    const CopyCase &row = GetParam();
    const std::vector<std::string_view> records(row.records.begin(), row.records.end());
    const auto length = ClipboardText::length(records, u"\r\n", row.limit);
    ASSERT_EQ(length.has_value(), row.written.has_value());
    if (!length)
        return;
    std::u16string buffer(*length + 1, u'#'); // one unit past the text, to see it untouched
    ClipboardText::write(records, u"\r\n", {buffer.data(), *length});
    EXPECT_EQ(buffer, *row.written + u"#");
}

const CopyCase copyCases[] = {
    {"OneRecordHasNoLineEnd", {" 1 - a/b"}, u" 1 - a/b"},
    {"LineEndsBetweenRecordsOnly", {"a", "b", "c"}, u"a\r\nb\r\nc"},
    {"RecordsAsTheyAreShown", {std::string("a\0b\nc\x1F\x7F", 7), "caff\xE8"}, u"a^@b^Jc^_^?\r\ncaffè"},
    {"ControlsAmongPlainLetters", {"a\x1F" "b ", "c~\x7F"}, u"a^_b \r\nc~^?"},
    {"UpToTheLimit", {"12345678", ""}, u"12345678\r\n", 10},
    {"BeyondTheLimitIsRefused", {"12345678", "y"}, std::nullopt, 10},
    {"WrittenOutCharactersCount", {"1234567\n"}, std::nullopt, 8},
};

INSTANTIATE_TEST_SUITE_P(Copia, WrittenCopy, testing::ValuesIn(copyCases), CaseName());

} // namespace
