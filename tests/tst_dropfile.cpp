// A file dropped on a name field, without a toolkit: the field takes the path exactly
// as when the browse dialog returns it, so both front ends behave alike.
#include "tests/casename.h"
#include "tests/form1harness.h"
#include "tests/memoryfilelayer.h"

#include <gtest/gtest.h>

#include <string>

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

    dropped.form->dropFile(row.field, row.path);
    browsed.dialog->chosen = row.path;
    row.field == Field::Text1 ? browsed.form->browseInput() : browsed.form->browseOutput();

    EXPECT_EQ(dropped.view.text1, row.expected1);
    EXPECT_EQ(dropped.view.text2, row.expected2);
    EXPECT_EQ(dropped.view.text1, browsed.view.text1);
    EXPECT_EQ(dropped.view.text2, browsed.view.text2);
    EXPECT_TRUE(dropped.feedback.events.empty());
}

const DropCase dropCases[] = {
    {"OnText1DerivesTheOutputName", Field::Text1, u"a.htm", u"/srv/pagine/home.htm", u"/srv/pagine/home.htm",
     u"/srv/pagine/home.ht3"},
    {"OnText2KeepsTheInputName", Field::Text2, u"a.htm", u"/srv/report.txt", u"a.htm", u"/srv/report.txt"},
    {"TheSamePageAgainKeepsTheOutputName", Field::Text1, u"/srv/home.htm", u"/srv/home.htm", u"/srv/home.htm",
     u"mine.txt"},
    {"BlankPathChangesNothing", Field::Text1, u"a.htm", u"  ", u"a.htm", u"mine.txt"},
};

INSTANTIATE_TEST_SUITE_P(Form1, DroppedFile, testing::ValuesIn(dropCases), CaseName());

} // namespace
