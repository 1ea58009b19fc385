// What a person sees of a record, the same in every window: decoded, its invisible
// characters written out, cut for the row, laid out for the tooltip.
#include "tests/casename.h"
#include "window/recordtext.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct ShownCase
{
    const char *name;
    std::string record;
    std::u16string whole; // the accessible text, and what Copia copies
};

using Shown = testing::TestWithParam<ShownCase>;

TEST_P(Shown, AsAPersonReadsIt)
{
    const auto &row = GetParam();
    EXPECT_EQ(RecordText::whole(row.record), row.whole);
    EXPECT_EQ(RecordText::wholeLength(row.record), row.whole.size());
    EXPECT_EQ(RecordText::row(row.record), row.whole); // short records are not cut
}

const ShownCase shownCases[] = {
    {"Ascii", " 1 - a/b", u" 1 - a/b"},
    {"Utf8", "caff\xC3\xA8/\xE2\x82\xAC \xF0\x9F\x98\x80", u"caffè/€ 😀"},
    {"Windows1252", "caff\xE8/\x80\x96\x9F", u"caffè/€–Ÿ"},
    {"OverlongUtf8IsNotUtf8", "\xC0\xAF", u"À¯"},
    {"EncodedSurrogateIsNotUtf8", "\xED\xA0\x80", u"í\u00A0€"},
    {"TruncatedUtf8IsNotUtf8", "a\xE2\x82", u"aâ‚"},
    {"ControlCharactersInCaretNotation", std::string("a\0b\nc\x1F\x7F", 7), u"a^@b^Jc^_^?"},
    {"InAWindows1252Record", "caff\xE8/\x1B", u"caffè/^["},
    {"EveryWindows1252Letter", "\x80\x82\x83\x84\x85\x86\x87\x88\x89\x8A\x8B\x8C\x8E\x91\x92\x93\x94\x95\x96\x97\x98\x99\x9A\x9B\x9C\x9E\x9F",
     u"\u20AC\u201A\u0192\u201E\u2026\u2020\u2021\u02C6\u2030\u0160\u2039\u0152\u017D\u2018\u2019\u201C\u201D\u2022\u2013\u2014\u02DC"
     u"\u2122\u0161\u203A\u0153\u017E\u0178"},
    {"UnusedWindows1252CodesByName", "\x81\x8D\x8F\x90\x9D", u"<U+0081><U+008D><U+008F><U+0090><U+009D>"},
    {"Utf8C1ControlByName", "a\xC2\x85z", u"a<U+0085>z"},
    {"RightToLeftOverrideByName", "C:\\x\xE2\x80\xAEgpj.exe", u"C:\\x<U+202E>gpj.exe"},
    {"EveryBidirectionalControlByName",
     "\xD8\x9C\xE2\x80\x8E\xE2\x80\x8F\xE2\x80\xAA\xE2\x80\xAB\xE2\x80\xAC\xE2\x80\xAD\xE2\x81\xA6\xE2\x81\xA7"
     "\xE2\x81\xA8\xE2\x81\xA9",
     u"<U+061C><U+200E><U+200F><U+202A><U+202B><U+202C><U+202D><U+2066><U+2067><U+2068><U+2069>"},
    {"LineAndParagraphSeparatorsByName", "a\xE2\x80\xA8" "b\xE2\x80\xA9", u"a<U+2028>b<U+2029>"},
    {"Empty", "", u""},
};

INSTANTIATE_TEST_SUITE_P(RecordText, Shown, testing::ValuesIn(shownCases), CaseName());

struct CutCase
{
    const char *name;
    std::string record;
    std::u16string row;
};

using Cut = testing::TestWithParam<CutCase>;

TEST_P(Cut, RowEndsInAnEllipsisWhereTheRecordGoesOn)
{
    const auto &c = GetParam();
    EXPECT_EQ(RecordText::row(c.record), c.row);
    EXPECT_EQ(RecordText::rowIsCut(c.record), c.row.back() == RecordText::Ellipsis);
}

const CutCase cutCases[] = {
    {"JustFits", std::string(1000, 'x'), std::u16string(1000, u'x')},
    {"OneMore", std::string(1001, 'x'), std::u16string(1000, u'x') + u"…"},
    {"NeverHalfACharacter", std::string(999, 'x') + "\xF0\x9F\x98\x80", std::u16string(999, u'x') + u"…"},
    {"NeverHalfANotation", std::string(998, 'x') + '\0', std::u16string(998, u'x') + u"^@"},
    {"NotationCutWhole", std::string(999, 'x') + '\0', std::u16string(999, u'x') + u"…"},
    {"Windows1252Cut", std::string(1001, '\xE8'), std::u16string(1000, u'è') + u"…"},
};

INSTANTIATE_TEST_SUITE_P(RecordText, Cut, testing::ValuesIn(cutCases), CaseName());

struct TipCase
{
    const char *name;
    std::string record;
    std::size_t lineLength;
    std::u16string tooltip;
};

using Tip = testing::TestWithParam<TipCase>;

TEST_P(Tip, BrokenOnlyWhereALineIsFull)
{
    const auto &c = GetParam();
    EXPECT_EQ(RecordText::tooltip(c.record, c.lineLength), c.tooltip);
}

std::u16string tenLines(const std::u16string &line)
{
    std::u16string lines = line;
    for (int i = 1; i < 10; ++i)
        lines += u"\n" + line;
    return lines;
}

const TipCase tipCases[] = {
    {"OneLine", "a/b <p>", 10, u"a/b <p>"},
    {"AtTheLastSpaceOrSeparator", "aaaa bbbbbb/cc", 10, u"aaaa \nbbbbbb/cc"},
    {"SeparatorTooEarlyBreaksAtTheLimit", "a/bbbbbbbbbbbb", 10, u"a/bbbbbbbb\nbbbb"},
    {"NeverHalfACharacter", "WWWWWWWWW\xF0\x90\x80\x80", 10, u"WWWWWWWWW\n\U00010000"},
    {"NeverHalfTheLastCharacterOfAPlane", "WWWWWWWWW\xF0\x9F\x8F\xBF", 10, u"WWWWWWWWW\n\U0001F3FF"},
    {"AWholeCharacterBeginsTheNextLine", "WWWWWWWWWW\xF4\x8F\xBF\xBD", 10, u"WWWWWWWWWW\n\U0010FFFD"},
    {"ControlCharactersStayOnTheLine", "a\nb", 10, u"a^Jb"},
    {"ShortLinesLeaveTheRestToAnEllipsis", "aa/aa/aa/aa/aa/aa/aa/aa/aa/aa/aa/aa/aa/", 4, tenLines(u"aa/") + u"…"},
    // 1,010 units with the breaks and "…": within the 1,023 Windows' tooltip shows whole.
    {"TenLinesOfAHundredAtMost", std::string(1500, 'W'), 1000, tenLines(std::u16string(100, u'W')) + u"…"},
};

INSTANTIATE_TEST_SUITE_P(RecordText, Tip, testing::ValuesIn(tipCases), CaseName());

TEST(RecordText, TooltipLinesFitANarrowScreen)
{
    EXPECT_EQ(RecordText::tipLineLength(1920, 10), 100u);
    EXPECT_EQ(RecordText::tipLineLength(1920, 0), 100u); // nothing measured: the full length
    EXPECT_EQ(RecordText::tipLineLength(0, 10), 100u);
    EXPECT_EQ(RecordText::tipLineLength(800, 12), 60u);
    EXPECT_EQ(RecordText::tipLineLength(100, 12), 20u); // never shorter than that
    EXPECT_EQ(RecordText::tipLineLength(1, 1), 20u);
}

} // namespace
