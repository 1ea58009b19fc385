// The window's handlers without a toolkit, once for both front ends: what each event
// does to the two fields, the messages and the window. The front ends' own tests only
// check that their events reach these handlers.
#include "tests/casename.h"
#include "tests/form1harness.h"
#include "tests/memoryfilelayer.h"
#include "window/form1layout.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace {

using Field = Form1View::Field;
using Id = Form1Layout::Id;

struct HandlerCase
{
    const char *name;
    std::function<void(Form1Harness &)> events;
    std::u16string text1;
    std::u16string text2;
    std::vector<std::string> feedback;
    bool closed = false;
    std::optional<Id> focus = Id::Text1; // the toolkit moves it off a disabled button
};

using Handlers = testing::TestWithParam<HandlerCase>;

const std::u16string DefaultPage = u"C:\\VB5\\SITEDOCS\\ROZIZEVAZE.HTM";
const std::u16string DefaultReport = u"C:\\VB5\\SITEDOCS\\ROZIZEVAZE.HT3";

TEST_P(Handlers, LeaveTheWindowAsExpected)
{
    const auto &c = GetParam();
    MemoryFileLayer files;
    files.files[DefaultPage] = "a/b\r\n";
    Form1Harness window(files);
    c.events(window);
    EXPECT_EQ(window.view.text1, c.text1);
    EXPECT_EQ(window.view.text2, c.text2);
    EXPECT_EQ(window.feedback.events, c.feedback);
    EXPECT_EQ(window.view.closed, c.closed);
    EXPECT_TRUE(window.view.scanEnabled);
    EXPECT_EQ(window.view.focus, c.focus);
}

const HandlerCase handlerCases[] = {
    {"StartUpFillsBothNames", [](Form1Harness &) {}, DefaultPage, u"C:\\VB5\\SITEDOCS\\ROZIZEVAZE.HT3", {}},
    {"APageHandedAtStartIsTakenAsBrowsed", [](Form1Harness &w) { w.form->openPage(u"/home/ada/pagine/a.htm"); },
     u"/home/ada/pagine/a.htm", u"/home/ada/pagine/a.ht3", {}},
    {"ARefusedPageAtStartBeepsAndChangesNothing", [](Form1Harness &w) { w.form->openPage(u"a.htm "); }, DefaultPage,
     u"C:\\VB5\\SITEDOCS\\ROZIZEVAZE.HT3", {"beep"}},
    {"AnEmptyPageAtStartBeeps", [](Form1Harness &w) { w.form->openPage(u""); }, DefaultPage,
     u"C:\\VB5\\SITEDOCS\\ROZIZEVAZE.HT3", {"beep"}},
    {"ChangingTheInputEmptiesTheOutput",
     [](Form1Harness &w) { w.view.setText(Field::Text1, u"x.htm"); }, u"x.htm", u"", {}},
    {"ANoticeThatChangesNoTextKeepsTheOutput",
     [](Form1Harness &w) {
         w.view.setText(Field::Text2, u"r.txt");
         w.view.setText(Field::Text1, DefaultPage);
         w.form->textChanged(Id::Text1);
     },
     DefaultPage, u"r.txt", {}},
    {"LeavingText1FillsABlankOutput",
     [](Form1Harness &w) {
         w.view.setText(Field::Text1, u" report.htm ");
         w.form->focusLost(Id::Text1);
     },
     u" report.htm ", u"report.ht3", {}},
    {"LeavingText2FillsABlankOutput",
     [](Form1Harness &w) { w.view.text2.clear(); w.form->focusLost(Id::Text2); }, DefaultPage, DefaultReport, {}},
    {"LeavingAButtonLeavesTheOutputBlank",
     [](Form1Harness &w) { w.view.text2.clear(); w.form->focusLost(Id::Command1); }, DefaultPage, u"", {}},
    {"LeavingAFieldKeepsATypedOutput",
     [](Form1Harness &w) {
         w.view.setText(Field::Text2, u"mine.txt");
         w.form->focusLost(Id::Text2);
     },
     DefaultPage, u"mine.txt", {}},
    {"BlankInputLeavesTheOutputBlank",
     [](Form1Harness &w) {
         w.view.setText(Field::Text1, u"   ");
         w.form->applyOutputNameRule();
     },
     u"   ", u"", {}},
    {"ScanWithoutAnInputName",
     [](Form1Harness &w) {
         w.view.setText(Field::Text1, u" ");
         w.form->runScan();
     },
     u" ", u"", {"beep", "message: Inserire il nome del file di Input !!!"}},
    {"ScanWithoutAnOutputName",
     [](Form1Harness &w) {
         w.view.setText(Field::Text2, u"  ");
         w.form->runScan();
     },
     DefaultPage, u"  ", {"beep", "message: Inserire il nome del file di Output !!!"}},
    {"ScanFromTheButtonGivesItTheFocusBack",
     [](Form1Harness &w) { w.view.focus = Id::Command1; w.form->click(Id::Command1); }, DefaultPage, DefaultReport,
     {"busy", "beep", "idle"}, false, Id::Command1},
    {"ScanFromElsewhereLeavesTheFocus",
     [](Form1Harness &w) { w.view.focus = Id::Text2; w.form->click(Id::Command1); }, DefaultPage, DefaultReport,
     {"busy", "beep", "idle"}, false, Id::Text2},
    {"ClickingAFieldDoesNothing", [](Form1Harness &w) { w.form->click(Id::Text1); }, DefaultPage, DefaultReport, {}},
    {"FinishBeepsThenCloses", [](Form1Harness &w) { w.form->click(Id::Command3); }, DefaultPage,
     u"C:\\VB5\\SITEDOCS\\ROZIZEVAZE.HT3", {"beep"}, true},
};

INSTANTIATE_TEST_SUITE_P(Form1, Handlers, testing::ValuesIn(handlerCases), CaseName());

// The Windows window finds its controls by name.
TEST(Form1Layout, FindsAControlByItsName)
{
    ASSERT_TRUE(Form1Layout::find("Command4"));
    EXPECT_EQ(Form1Layout::find("Command4")->twips.top, 510);
    EXPECT_EQ(Form1Layout::find("Command5"), nullptr);
}

// The window's font: the system's, half a point smaller at a time until the captions
// fit, never below 6 points.
TEST(Form1Layout, FontShrinksUntilTheCaptionsFit)
{
    const struct
    {
        double system, fitsFrom, expected;
    } rows[] = {{9.0, 8.0, 8.0}, {8.0, 9.0, 8.0}, {9.0, 0.0, 6.0}, {6.5, 0.0, 6.0}, {5.0, 0.0, 5.0}};
    for (const auto &row : rows) {
        EXPECT_EQ(Form1Layout::fontPointSize(row.system, [&](double size) { return size <= row.fitsFrom; }), row.expected)
            << row.system << " pt, fitting from " << row.fitsFrom;
    }
}

TEST(Form1Layout, OpensCentredOnTheWorkAreaNeverAboveOrLeftOfIt)
{
    using Area = Form1Layout::Area;
    EXPECT_EQ(Form1Layout::centred(Area{0, 0, 1920, 1040}, 808, 585).y, 227); // half a pixel up
    EXPECT_EQ(Form1Layout::centred(Area{0, 30, 1920, 1050}, 800, 600).y, 255); // a panel above
    EXPECT_EQ(Form1Layout::centred(Area{-1280, 0, 1280, 984}, 800, 600).x, -1040); // another screen's left
    EXPECT_EQ(Form1Layout::centred(Area{10, 20, 800, 560}, 808, 585).x, 10); // too large: title bar reachable
    EXPECT_EQ(Form1Layout::centred(Area{10, 20, 800, 560}, 808, 585).y, 20);
}

} // namespace
