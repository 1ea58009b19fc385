#include "scan/lineselector.h"

#include "tests/casename.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using Verdict = LineSelector::Verdict;

struct SelectionCase
{
    const char *name;
    std::string line;
    std::string normalised;
    Verdict verdict;
};

using Selection = testing::TestWithParam<SelectionCase>;

// Each row through every loop, so that none goes untested on any build. The vector
// loops read 16 or 32 bytes, and the one after them, at a time: the long rows put what
// matters at the edges of those blocks and after the last one.
TEST_P(Selection, NormalisesThenSelects)
{
    const auto &c = GetParam();
    for (const auto loop : {LineSelector::Loop::Wide, LineSelector::Loop::Vector, LineSelector::Loop::Scalar}) {
        SCOPED_TRACE(loop == LineSelector::Loop::Wide ? "wide loop" : loop == LineSelector::Loop::Vector ? "vector loop" : "scalar loop");
        std::string line = c.line;
        std::int16_t column = -1;
        EXPECT_EQ(LineSelector::normaliseAndSelect(line, column, loop), c.verdict);
        EXPECT_EQ(line, c.normalised);
        // The same judged while copied: the copy normalised, the line left as it was.
        std::string copy(c.line.size(), '?');
        EXPECT_EQ(LineSelector::normaliseAndSelect(std::span<const char>(c.line), copy.data(), column, loop), c.verdict);
        EXPECT_EQ(copy, c.normalised);
    }
}

const SelectionCase selectionCases[] = {
    {"EmptyLine", "", "", Verdict::NotSelected},
    {"SpacesAndTabsOnly", " \t \t", "    ", Verdict::NotSelected},
    {"TabBeforeImage", "\t<IMG SRC=logo.gif>", " <IMG SRC=logo.gif>", Verdict::Selected},
    {"EveryTabBecomesOneSpace", "a\t\tb\t", "a  b ", Verdict::NotSelected},
    {"SlashAfterLetter", "<a href=docs/index.html>", "<a href=docs/index.html>", Verdict::Selected},
    {"ClosingTagOnly", "</td>", "</td>", Verdict::NotSelected},
    {"OnlyFirstSlashCounts", "</a> <a href=x/y>", "</a> <a href=x/y>", Verdict::NotSelected},
    {"ExtensionAfterClosingTag", "</a><a href=page.htm>", "</a><a href=page.htm>", Verdict::Selected},
    {"SelfClosingTag", "<br/>", "<br/>", Verdict::Selected},
    {"SelfClosingTagWithSpace", "<br />", "<br />", Verdict::Selected},
    {"Backslash", "C:\\temp", "C:\\temp", Verdict::Selected},
    {"BackslashBeatsClosingTag", "</b>\\", "</b>\\", Verdict::Selected},
    {"ExtensionMixedCase", "picture.JpG", "picture.JpG", Verdict::Selected},
    {"JpegIsNotListed", "picture.jpeg", "picture.jpeg", Verdict::NotSelected},
    {"LongerExtensionCounts", "index.html", "index.html", Verdict::Selected},
    {"EachExtension", "a.gif b.bmp c.flh", "a.gif b.bmp c.flh", Verdict::Selected},
    {"LastExtensionInList", "anim.FLH", "anim.FLH", Verdict::Selected},
    {"ExtensionAtLineEnd", "x.bmp", "x.bmp", Verdict::Selected},
    {"ExtensionCutShort", "x.bm", "x.bm", Verdict::NotSelected},
    {"DotsWithoutExtension", "...hello. world.", "...hello. world.", Verdict::NotSelected},
    {"ExtensionAfterFalseStart", "..htm", "..htm", Verdict::Selected},
    {"TabInsideExtensionIsNotALetter", "a.h\tm", "a.h m", Verdict::NotSelected},
    {"HighBytesAreNotLetters", "a.\xC8TM", "a.\xC8TM", Verdict::NotSelected},
    {"PlainText", "<p>Benvenuti</p>", "<p>Benvenuti</p>", Verdict::NotSelected},
    // A "/" that opens the line closes no tag: it starts an absolute path.
    {"LeadingSlash", "/images/logo", "/images/logo", Verdict::Selected},
    {"LeadingSlashAfterTab", "\t/x", " /x", Verdict::Selected},
    {"ExtensionAcrossBlockEdge", "<img src=abcdef.gif>", "<img src=abcdef.gif>", Verdict::Selected},
    {"ClosingTagAcrossBlockEdge", "Ciao, benvenuti</p> arrivederci a tutti", "Ciao, benvenuti</p> arrivederci a tutti",
     Verdict::NotSelected},
    {"OnlyFirstSlashCountsInLongLine", "</a> Benvenuti, andate a x/y oppure no", "</a> Benvenuti, andate a x/y oppure no",
     Verdict::NotSelected},
    {"ExtensionAfterTheLastBlock", "un'immagine qui: a.htm", "un'immagine qui: a.htm", Verdict::Selected},
    {"ExtensionCutShortAtBlockEnd", "una riga corta.bm", "una riga corta.bm", Verdict::NotSelected},
    {"HighBytesAreNotLettersInLongLine", "lire: a.\xC8TM e basta qui", "lire: a.\xC8TM e basta qui", Verdict::NotSelected},
    {"TabsInBothLoops", "a\tb\tc\td\te\tf\tg\th\ti\tj\tk", "a b c d e f g h i j k", Verdict::NotSelected},
    {"TabsAndMarksInTheSecondWideBlock", "</p>\tuna riga lunga\tcon due blocchi\tdi trentadue\tbyte e x/y\tpoi C:\\dati\tfine",
     "</p> una riga lunga con due blocchi di trentadue byte e x/y poi C:\\dati fine", Verdict::Selected},
    {"TabsAfterASelection", "C:\\\ta\tb\tc\td\te\tf\tg\th\ti", "C:\\ a b c d e f g h i", Verdict::Selected},
};

INSTANTIATE_TEST_SUITE_P(Rules, Selection, testing::ValuesIn(selectionCases), CaseName());

// The vector loops let a "." through only before certain letters: each listed extension,
// in either case, at every offset of a 16- or 32-byte block, at its last byte and across
// two blocks, must still select the line in every loop; a letter beside the range must not.
TEST(Selection, EachExtensionAtEveryOffset)
{
    const struct
    {
        const char *extension;
        bool selected;
    } rows[] = {{".JPG", true}, {".jpg", true}, {".GIF", true}, {".gif", true}, {".HTM", true},
                {".htm", true}, {".BMP", true}, {".bmp", true}, {".FLH", true}, {".flh", true},
                {".AMP", false}, {".kpg", false}, {".JPEG", false}};
    for (const auto &row : rows) {
        for (std::size_t at = 0; at + 4 <= 72; ++at) {
            std::string line(72, 'x');
            line.replace(at, 4, row.extension);
            for (const auto loop : {LineSelector::Loop::Wide, LineSelector::Loop::Vector, LineSelector::Loop::Scalar}) {
                std::int16_t column = 0;
                EXPECT_EQ(LineSelector::normaliseAndSelect(line, column, loop),
                          row.selected ? Verdict::Selected : Verdict::NotSelected)
                    << row.extension << " at " << at << " (loop " << static_cast<int>(loop) << ")";
            }
        }
    }
}

// Where the 16-bit column walk stops, and when it overflows.
struct BoundaryCase
{
    const char *name;
    std::string line;
    bool fits;
    std::int16_t column; // where the walk stopped
};

using Boundary = testing::TestWithParam<BoundaryCase>;

TEST_P(Boundary, ColumnWalk)
{
    const auto &c = GetParam();
    std::string line = c.line;
    std::int16_t column = -1;
    EXPECT_EQ(LineSelector::normalise(line, column), c.fits);
    EXPECT_EQ(column, c.column);
    if (c.fits) {
        EXPECT_EQ(line.find('\t'), std::string::npos);
    }
}

std::string repeat(std::size_t n, char c) { return std::string(n, c); }

const BoundaryCase boundaryCases[] = {
    {"Empty", "", true, 1},
    {"BlankFromTheStart", "   ", true, 1},
    {"Text", "abc", true, 4},
    {"TabsThenBlank", " \t\t ", true, 4},
    {"Longest32766", repeat(32766, 'x'), true, 32767},
    {"Text32767", repeat(32767, 'x'), false, 32767},
    {"Text32767EndingInTab", repeat(32766, 'x') + "\t", false, 32767},
    {"Spaces32767", repeat(32767, ' '), true, 1},
    {"SpacesAndTabs32767", "\t" + repeat(32766, ' '), true, 2},
    {"SpacesAndTabs32767TabBeforeLast", repeat(32765, ' ') + "\t ", true, 32767},
    {"SpacesAndTabs32767EndingInTab", repeat(32766, ' ') + "\t", false, 32767},
    {"Tabs32767", repeat(32767, '\t'), false, 32767},
    {"Spaces32768", repeat(32768, ' '), false, -1},
    {"Text40000", repeat(40000, 'x'), false, -1},
};

INSTANTIATE_TEST_SUITE_P(SixteenBit, Boundary, testing::ValuesIn(boundaryCases), CaseName());

TEST(SixteenBit, OverflowIsReportedBeforeAnySelection)
{
    std::string line = "C:\\" + repeat(32764, 'x');
    std::int16_t column = 0;
    EXPECT_EQ(LineSelector::normaliseAndSelect(line, column), Verdict::Overflow);
    std::string copy(line.size(), '?');
    EXPECT_EQ(LineSelector::normaliseAndSelect(std::span<const char>(line), copy.data(), column), Verdict::Overflow);
}

} // namespace
