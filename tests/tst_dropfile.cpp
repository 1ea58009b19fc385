// A file dropped on the window, without a toolkit: on Text2 it names the report,
// anywhere else the page, and the field takes the path exactly as when the browse
// dialog returns it, so both front ends behave alike.
#include "tests/casename.h"
#include "tests/form1harness.h"
#include "tests/memoryfilelayer.h"
#include "platform/filenamecodec.h"
#include "window/fileaddress.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace {

using Field = Form1View::Field;
using Id = Form1Layout::Id;

struct DropCase
{
    const char *name;
    std::optional<Id> on; // the control under the pointer
    std::u16string text1; // before the drop
    std::u16string path;
    std::u16string expected1;
    std::u16string expected2;
    // What the file manager is told: taken, or ignored; a name refused also beeps.
    enum { Taken, Ignored, Refused } outcome = Taken;
};

using DroppedFile = testing::TestWithParam<DropCase>;

TEST_P(DroppedFile, SetsTheFieldAsTheBrowseDoes)
{
    const DropCase &row = GetParam();
    MemoryFileLayer files;
    Form1Harness dropped(files);
    Form1Harness browsed(files);
    for (Form1Harness *window : {&dropped, &browsed}) {
        window->view.setText(Field::Text1, row.text1);
        window->view.setText(Field::Text2, u"mine.txt");
    }

    EXPECT_EQ(dropped.form->dropFile(row.on, row.path), row.outcome == DropCase::Taken);
    browsed.dialog->chosen = row.path;
    row.on == Id::Text2 ? browsed.form->browseOutput() : browsed.form->browseInput();

    EXPECT_EQ(dropped.view.text1, row.expected1);
    EXPECT_EQ(dropped.view.text2, row.expected2);
    EXPECT_EQ(dropped.view.text1, browsed.view.text1);
    EXPECT_EQ(dropped.view.text2, browsed.view.text2);
    EXPECT_EQ(dropped.feedback.events,
              row.outcome == DropCase::Refused ? std::vector<std::string>{"beep"} : std::vector<std::string>{});
    EXPECT_EQ(browsed.feedback.events, dropped.feedback.events);
}

const DropCase dropCases[] = {
    {"OnText1DerivesTheOutputName", Id::Text1, u"a.htm", u"/srv/pagine/home.htm", u"/srv/pagine/home.htm",
     u"/srv/pagine/home.ht3"},
    {"OnAButtonCountsForText1", Id::Command1, u"a.htm", u"/srv/home.htm", u"/srv/home.htm", u"/srv/home.ht3"},
    {"BetweenTheControlsCountsForText1", std::nullopt, u"a.htm", u"/srv/home.htm", u"/srv/home.htm",
     u"/srv/home.ht3"},
    {"OnText2KeepsTheInputName", Id::Text2, u"a.htm", u"/srv/report.txt", u"a.htm", u"/srv/report.txt"},
    {"TheSamePageAgainKeepsTheOutputName", Id::Text1, u"/srv/home.htm", u"/srv/home.htm", u"/srv/home.htm",
     u"mine.txt"},
    {"BlankPathChangesNothing", Id::Text1, u"a.htm", u"  ", u"a.htm", u"mine.txt", DropCase::Ignored},
    {"TrailingSpaceIsRefused", Id::Text1, u"a.htm", u"/srv/notes.txt ", u"a.htm", u"mine.txt", DropCase::Refused},
    {"LeadingSpaceIsRefused", Id::Text2, u"a.htm", u" /srv/notes.txt", u"a.htm", u"mine.txt", DropCase::Refused},
    {"NulIsRefused", Id::Text1, u"a.htm", std::u16string(u"/srv/a\0b.htm", 12), u"a.htm", u"mine.txt",
     DropCase::Refused},
    {"LongerThanAFieldIsRefused", Id::Text1, u"a.htm", u"/" + std::u16string(32767, u'x'), u"a.htm",
     u"mine.txt", DropCase::Refused},
    {"AsLongAsAFieldIsTaken", Id::Text2, u"a.htm", u"/" + std::u16string(32766, u'x'), u"a.htm",
     u"/" + std::u16string(32766, u'x')},
};

INSTANTIATE_TEST_SUITE_P(Form1, DroppedFile, testing::ValuesIn(dropCases), CaseName());

// What the file manager offers, as the local name it stands for.
struct AddressCase
{
    const char *name;
    std::string address;
    std::optional<std::u16string> local;
};

using DroppedAddress = testing::TestWithParam<AddressCase>;

TEST_P(DroppedAddress, NamesALocalFileOrNothing)
{
    EXPECT_EQ(FileAddress::localName(GetParam().address), GetParam().local);
}

const AddressCase addressCases[] = {
    {"EmptyHost", "file:///tmp/a.htm", u"/tmp/a.htm"},
    {"Localhost", "file://LocalHost/tmp/a.htm", u"/tmp/a.htm"},
    {"EscapedUtf8AndSpace", "file:///tmp/%C3%A9%20b.htm", u"/tmp/\u00E9 b.htm"},
    {"BytesNotUtf8", "file:///tmp/r%E9%ff%ED%A0%80.htm", u"/tmp/r\xDCE9\xDCFF\xDCED\xDCA0\xDC80.htm"},
    {"SchemeInCapitals", "FILE:///tmp/a.htm", u"/tmp/a.htm"},
    {"AnotherMachine", "file://evil.example.com/etc/passwd", std::nullopt},
    {"HostStartingLikeLocalhost", "file://localhostile/tmp/a.htm", std::nullopt},
    {"Query", "file:///tmp/a.htm?x=1", std::nullopt},
    {"Fragment", "file:///tmp/a.htm#top", std::nullopt},
    {"EscapeCutShort", "file:///tmp/a%4", std::nullopt},
    {"EscapeNotHex", "file:///tmp/a%4g.htm", std::nullopt},
    {"WebPage", "https://example.com/a.htm", std::nullopt},
    {"RelativePath", "file:relative.htm", std::nullopt},
    {"WindowsShare", "file:////server/share/a.htm", std::nullopt},
    {"EscapedSlash", "file:///home/user/site/a%2Fb.htm", std::nullopt},
};

INSTANTIATE_TEST_SUITE_P(Drop, DroppedAddress, testing::ValuesIn(addressCases), CaseName());

// A name's bytes as the field shows them, and back to the very same bytes.
struct NameCase
{
    const char *name;
    std::string bytes;
    std::u16string shown;
};

using FileNameBytes = testing::TestWithParam<NameCase>;

TEST_P(FileNameBytes, ComeBackExactly)
{
    EXPECT_EQ(FileNameCodec::decode(GetParam().bytes), GetParam().shown);
    EXPECT_EQ(FileNameCodec::encode(GetParam().shown), GetParam().bytes);
}

const NameCase nameCases[] = {
    {"Ascii", "/srv/a.htm", u"/srv/a.htm"},
    {"TwoBytes", "caff\xC3\xA8.htm", u"caff\u00E8.htm"},
    {"ThreeBytes", "\xE8\xAA\x9E.htm", u"\u8A9E.htm"},
    {"FourBytes", "\xF0\x9F\x98\x80.htm", u"\U0001F600.htm"},
    {"Latin1", "r\xE9.htm", u"r\xDCE9.htm"},
    {"CutShort", "a\xE8\xAA", u"a\xDCE8\xDCAA"},
    {"Overlong", "\xC0\xAF", u"\xDCC0\xDCAF"},
    {"SurrogateInUtf8", "\xED\xA0\x80", u"\xDCED\xDCA0\xDC80"},
    {"BeyondUnicode", "\xF4\x90\x80\x80", u"\xDCF4\xDC90\xDC80\xDC80"},
    // The edges of each length, as a strict reader draws them.
    {"LastOfOneByte", "\x7F", u"\x7F"}, {"LoneContinuation", "\x80", u"\xDC80"},
    {"OverlongTwoBytes", "\xC1\xBF", u"\xDCC1\xDCBF"}, {"FirstOfTwoBytes", "\xC2\x80", u"\x0080"},
    {"LastOfTwoBytes", "\xDF\xBF", u"\x07FF"}, {"ContinuationMissing", "\xC3(", u"\xDCC3("},
    {"OverlongThreeBytes", "\xE0\x9F\xBF", u"\xDCE0\xDC9F\xDCBF"}, {"FirstOfThreeBytes", "\xE0\xA0\x80", u"\x0800"},
    {"LastBeforeSurrogates", "\xED\x9F\xBF", u"\xD7FF"}, {"LastOfThreeBytes", "\xEF\xBF\xBF", u"\xFFFF"},
    {"OverlongFourBytes", "\xF0\x8F\xBF\xBF", u"\xDCF0\xDC8F\xDCBF\xDCBF"},
    {"FirstOfFourBytes", "\xF0\x90\x80\x80", u"\U00010000"}, {"LastOfUnicode", "\xF4\x8F\xBF\xBF", u"\U0010FFFF"},
    {"FourBytesOddLead", "\xF1\x80\x80\x80", u"\U00040000"}, {"BeforeSurrogatesThenAByte", "\xED\x9F\xBF\x80", u"\xD7FF\xDC80"},
};

INSTANTIATE_TEST_SUITE_P(Names, FileNameBytes, testing::ValuesIn(nameCases), CaseName());

// Stand-ins that would spell another name, and surrogates that stand for no byte, have
// no file.
TEST(FileNames, ThatNoFileCanHaveAreRefused)
{
    for (const std::u16string name : {u"\xDCC3\xDCA9", u"a\xDC41", u"a\xDC7F", u"\xD800x", u"\xDFFF"})
        EXPECT_EQ(FileNameCodec::encode(name), std::nullopt);
}

} // namespace
