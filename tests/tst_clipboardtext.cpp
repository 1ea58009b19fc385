// What "Copia" writes, as every front end writes it, into a buffer of exactly the room
// the records were given: one record per line, no line end after the last, no NUL, and
// never a unit beyond the buffer.
#include "tests/casename.h"
#include "window/clipboardtext.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

namespace {

struct CopyCase
{
    const char *name;
    std::vector<std::u16string> records;
    std::size_t room;
    std::u16string written; // what the buffer holds afterwards, the refused record left out
    bool refused;
};

using WrittenCopy = testing::TestWithParam<CopyCase>;

TEST_P(WrittenCopy, HoldsTheRecordsOnePerLine)
{
    const CopyCase &row = GetParam();
    std::u16string buffer(row.room + 1, u'#'); // one unit past the room, to see it untouched
    ClipboardText text({buffer.data(), row.room}, u"\r\n");
    bool refused = false;
    for (const auto &record : row.records) {
        try {
            text.add(record);
        } catch (const std::length_error &) {
            refused = true;
            break;
        }
    }
    EXPECT_EQ(refused, row.refused);
    EXPECT_EQ(buffer.substr(0, text.size()), row.written);
    EXPECT_EQ(buffer.substr(text.size()), std::u16string(buffer.size() - text.size(), u'#'));
}

const CopyCase copyCases[] = {
    {"OneRecordHasNoLineEnd", {u" 1 - a/b"}, 8, u" 1 - a/b", false},
    {"LineEndsBetweenRecordsOnly", {u"a", u"b", u"c"}, 7, u"a\r\nb\r\nc", false},
    {"ControlCharactersArePictures", {std::u16string(u"a\0b\nc\x1F\x7F", 7)}, 7, u"a\u2400b\u240Ac\u241F\u2421", false},
    {"NoRoomForTheNextRecordWritesNothingOfIt", {u"ab", u"cd"}, 5, u"ab", true},
};

INSTANTIATE_TEST_SUITE_P(Copia, WrittenCopy, testing::ValuesIn(copyCases), CaseName());

} // namespace
