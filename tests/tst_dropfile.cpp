// A file dropped on a name field, without a toolkit: the field takes the path exactly
// as when the browse dialog returns it, so both front ends behave alike.
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

struct DropCase
{
    const char *name;
    Field field;
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

    EXPECT_EQ(dropped.form->dropFile(row.field, row.path), row.outcome == DropCase::Taken);
    browsed.dialog->chosen = row.path;
    row.field == Field::Text1 ? browsed.form->browseInput() : browsed.form->browseOutput();

    EXPECT_EQ(dropped.view.text1, row.expected1);
    EXPECT_EQ(dropped.view.text2, row.expected2);
    EXPECT_EQ(dropped.view.text1, browsed.view.text1);
    EXPECT_EQ(dropped.view.text2, browsed.view.text2);
    EXPECT_EQ(dropped.feedback.events,
              row.outcome == DropCase::Refused ? std::vector<std::string>{"beep"} : std::vector<std::string>{});
    EXPECT_EQ(browsed.feedback.events, dropped.feedback.events);
}

const DropCase dropCases[] = {
    {"OnText1DerivesTheOutputName", Field::Text1, u"a.htm", u"/srv/pagine/home.htm", u"/srv/pagine/home.htm",
     u"/srv/pagine/home.ht3"},
    {"OnText2KeepsTheInputName", Field::Text2, u"a.htm", u"/srv/report.txt", u"a.htm", u"/srv/report.txt"},
    {"TheSamePageAgainKeepsTheOutputName", Field::Text1, u"/srv/home.htm", u"/srv/home.htm", u"/srv/home.htm",
     u"mine.txt"},
    {"BlankPathChangesNothing", Field::Text1, u"a.htm", u"  ", u"a.htm", u"mine.txt", DropCase::Ignored},
    {"TrailingSpaceIsRefused", Field::Text1, u"a.htm", u"/srv/notes.txt ", u"a.htm", u"mine.txt", DropCase::Refused},
    {"LeadingSpaceIsRefused", Field::Text2, u"a.htm", u" /srv/notes.txt", u"a.htm", u"mine.txt", DropCase::Refused},
    {"NulIsRefused", Field::Text1, u"a.htm", std::u16string(u"/srv/a\0b.htm", 12), u"a.htm", u"mine.txt",
     DropCase::Refused},
    {"LongerThanAFieldIsRefused", Field::Text1, u"a.htm", u"/" + std::u16string(32767, u'x'), u"a.htm",
     u"mine.txt", DropCase::Refused},
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
    {"AnotherMachine", "file://evil.example.com/etc/passwd", std::nullopt},
    {"RelativePath", "file:relative.htm", std::nullopt},
    {"WindowsShare", "file:////server/share/a.htm", std::nullopt},
};

INSTANTIATE_TEST_SUITE_P(Drop, DroppedAddress, testing::ValuesIn(addressCases), CaseName());

// Stand-ins that would spell another name, and surrogates that stand for no byte, have
// no file.
TEST(FileNames, ThatNoFileCanHaveAreRefused)
{
    for (const std::u16string name : {u"\xDCC3\xDCA9", u"a\xDC41", u"\xD800x", u"\xDFFF"})
        EXPECT_EQ(FileNameCodec::encode(name), std::nullopt);
}

} // namespace
