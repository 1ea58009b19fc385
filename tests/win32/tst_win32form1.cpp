// The Win32 front end: its controls where the twips say, the focus order, and the
// events it hands to the window's logic (what the logic then decides is tested once,
// without any toolkit). Runs under Wine at 96 DPI, where 15 twips make a pixel.
#include "browse/win32/win32filedialogcomponent.h"
#include "tests/casename.h"
#include "tests/form1harness.h"
#include "tests/scratchfolder.h"
#include "window/win32/win32form1.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <commctrl.h>
#include <shlobj.h>

#include <memory>
#include <string>
#include <vector>

namespace {

std::wstring textOf(HWND control)
{
    wchar_t text[512] = {};
    GetWindowTextW(control, text, 512);
    return text;
}

std::wstring className(HWND control)
{
    wchar_t name[64] = {};
    GetClassNameW(control, name, 64);
    return name;
}

struct Window
{
    Window()
    {
        auto recording = std::make_unique<RecordingDialog>();
        dialog = recording.get();
        form = std::make_unique<Win32Form1>(GetModuleHandleW(nullptr), feedback, std::move(recording));
    }

    HWND control(const wchar_t *name) const { return form->control(name); }

    void type(const wchar_t *field, const std::wstring &text) { SetWindowTextW(control(field), text.c_str()); }

    void click(const wchar_t *button)
    {
        feedback.events.clear();
        SendMessageW(control(button), BM_CLICK, 0, 0);
    }

    // The rows as the list view itself reports them, through its owner-data requests.
    std::vector<std::string> rows() const
    {
        const HWND list = control(L"List1");
        std::vector<std::string> rows;
        for (int row = 0; row < ListView_GetItemCount(list); ++row) {
            wchar_t text[2048] = {};
            ListView_GetItemText(list, row, 0, text, 2048);
            rows.emplace_back(text, text + wcslen(text)); // the test's records are ASCII
        }
        return rows;
    }

    RecordingFeedback feedback;
    RecordingDialog *dialog = nullptr;
    std::unique_ptr<Win32Form1> form;
};

struct ControlCase
{
    const char *name;
    const wchar_t *windowClass;
    const wchar_t *text;
    RECT twips; // left, top, width, height
};

using Layout = testing::TestWithParam<ControlCase>;

TEST_P(Layout, EachControlAtItsTwips)
{
    const auto &c = GetParam();
    Window window;
    const HWND control = window.form->control(std::wstring(c.name, c.name + strlen(c.name)));
    ASSERT_TRUE(control);
    RECT place{};
    GetWindowRect(control, &place);
    MapWindowPoints(nullptr, window.form->window(), reinterpret_cast<POINT *>(&place), 2);
    EXPECT_EQ(place.left, c.twips.left / 15);
    EXPECT_EQ(place.top, c.twips.top / 15);
    EXPECT_EQ(place.right - place.left, c.twips.right / 15);
    EXPECT_EQ(place.bottom - place.top, c.twips.bottom / 15);
    EXPECT_EQ(className(control), c.windowClass);
    if (c.windowClass != std::wstring(L"Edit")) {
        EXPECT_EQ(textOf(control), c.text);
    }
    if (c.windowClass == std::wstring(L"Static")) { // the caption whole, on one line
        const HDC screen = GetDC(control);
        const HGDIOBJ previous = SelectObject(screen, reinterpret_cast<HGDIOBJ>(SendMessageW(control, WM_GETFONT, 0, 0)));
        SIZE extent{};
        GetTextExtentPoint32W(screen, c.text, static_cast<int>(wcslen(c.text)), &extent);
        SelectObject(screen, previous);
        ReleaseDC(control, screen);
        EXPECT_LE(extent.cx, c.twips.right / 15);
    }
    EXPECT_TRUE(IsWindowEnabled(control));
}

const ControlCase controlCases[] = {
    {"Label1", L"Static", L"Nome file di input", {135, 90, 1395, 255}},
    {"Text1", L"Edit", L"", {1575, 90, 4725, 285}},
    {"Command2", L"Button", L"Sfoglia ...", {6405, 90, 1125, 330}},
    {"Label2", L"Static", L"Nome file di output", {135, 510, 1395, 255}},
    {"Text2", L"Edit", L"", {1575, 525, 4725, 285}},
    {"Command4", L"Button", L"Sfoglia ...", {6405, 510, 1125, 330}},
    {"Command1", L"Button", L"Ricerca Path e nomi files", {3615, 930, 2460, 375}},
    {"Command3", L"Button", L"F I N E", {6405, 930, 1125, 375}},
    {"List1", L"SysListView32", L"", {105, 1380, 11670, 6690}},
};

INSTANTIATE_TEST_SUITE_P(Win32Form1, Layout, testing::ValuesIn(controlCases), CaseName());

TEST(Win32Form1, FrameTitleAndStartUp)
{
    Window window;
    const HWND form = window.form->window();
    RECT client{};
    GetClientRect(form, &client);
    EXPECT_EQ(client.right, 11880 / 15);
    EXPECT_EQ(client.bottom, 8190 / 15);
    EXPECT_EQ(textOf(form), L"PAGESIFT (path e nomi files) dentro una pagina HTML");
    const auto style = static_cast<DWORD>(GetWindowLongPtrW(form, GWL_STYLE));
    EXPECT_EQ(style & WS_OVERLAPPEDWINDOW, static_cast<DWORD>(WS_OVERLAPPEDWINDOW)); // resizable, all boxes
    EXPECT_EQ(textOf(window.control(L"Text1")), L"C:\\VB5\\SITEDOCS\\ROZIZEVAZE.HTM");
    EXPECT_EQ(textOf(window.control(L"Text2")), L"C:\\VB5\\SITEDOCS\\ROZIZEVAZE.HT3");
    EXPECT_EQ(ListView_GetItemCount(window.control(L"List1")), 0);
    // No button answers Enter on its own.
    EXPECT_EQ(LOWORD(SendMessageW(form, DM_GETDEFID, 0, 0)), 0);
}

TEST(Win32Form1, TabMovesInTheTablesOrder)
{
    Window window;
    const HWND form = window.form->window();
    const wchar_t *order[] = {L"Text2", L"Command1", L"Command3", L"Command2", L"Command4", L"List1", L"Text1"};
    HWND at = window.control(L"Text1");
    for (const wchar_t *next : order) {
        at = GetNextDlgTabItem(form, at, FALSE);
        EXPECT_EQ(at, window.control(next)) << "after Tab, expected " << std::string(next, next + wcslen(next));
    }
}

TEST(Win32Form1, ScanThroughTheWindow)
{
    ScratchFolder folder;
    const auto page = folder.write("page.htm", "<p>\r\n\t<img src=a.gif>\r\nC:\\x\r\n</td>");
    const auto report = folder.path("out.txt");
    Window window;
    bool buttonEnabledWhileBusy = true;
    window.feedback.onBusy = [&] { buttonEnabledWhileBusy = IsWindowEnabled(window.control(L"Command1")); };

    window.type(L"Text1", std::wstring(page.begin(), page.end()));
    EXPECT_EQ(textOf(window.control(L"Text2")), L""); // the change event emptied it
    window.type(L"Text2", std::wstring(report.begin(), report.end()));
    window.click(L"Command1");

    const std::vector<std::string> records = {" 2 -  <img src=a.gif>", " 3 - C:\\x"};
    EXPECT_EQ(window.rows(), records);
    EXPECT_EQ(ScratchFolder::read(report), reportOf(records));
    EXPECT_EQ(window.feedback.events, (std::vector<std::string>{"busy", "beep", "idle"}));
    EXPECT_FALSE(buttonEnabledWhileBusy);
    EXPECT_TRUE(IsWindowEnabled(window.control(L"Command1")));
}

TEST(Win32Form1, BrowseFillsTheFieldAndProposesTheOutput)
{
    Window window;
    window.dialog->chosen = u"D:\\site\\home.htm";
    window.click(L"Command2");
    EXPECT_EQ(window.dialog->calls.at(0), u"write FileName: C:\\VB5\\SITEDOCS\\*.HTM");
    EXPECT_EQ(textOf(window.control(L"Text1")), L"D:\\site\\home.htm");
    EXPECT_EQ(textOf(window.control(L"Text2")), L"D:\\site\\home.ht3");
}

struct ClosingCase
{
    const char *name;
    bool byFinish; // Command3, or the close box
    std::vector<std::string> events;
};

using Closing = testing::TestWithParam<ClosingCase>;

TEST_P(Closing, EndsTheWindow)
{
    const auto &c = GetParam();
    Window window;
    window.feedback.events.clear();
    if (c.byFinish)
        SendMessageW(window.control(L"Command3"), BM_CLICK, 0, 0);
    else
        SendMessageW(window.form->window(), WM_CLOSE, 0, 0);
    EXPECT_EQ(window.form->window(), nullptr);
    EXPECT_EQ(window.feedback.events, c.events);
}

const ClosingCase closingCases[] = {
    {"FinishBeepsThenCloses", true, {"beep"}},
    {"CloseBoxDoesNotBeep", false, {}},
};

INSTANTIATE_TEST_SUITE_P(Win32Form1, Closing, testing::ValuesIn(closingCases), CaseName());

// A file dropped from Explorer: the first of the files, on Text2 for the report,
// anywhere else for the page.
struct DropCase
{
    const char *name;
    POINT at; // in twips, in the window's client area
    std::vector<std::wstring> files;
    std::wstring text1;
    std::wstring text2;
};

using Drop = testing::TestWithParam<DropCase>;

HDROP dropOf(POINT at, const std::vector<std::wstring> &files)
{
    std::wstring names;
    for (const auto &file : files)
        names += file + L'\0';
    names += L'\0';
    const HGLOBAL memory = GlobalAlloc(GHND, sizeof(DROPFILES) + names.size() * sizeof(wchar_t));
    auto *drop = static_cast<DROPFILES *>(GlobalLock(memory));
    drop->pFiles = sizeof(DROPFILES);
    drop->pt = at;
    drop->fWide = TRUE;
    std::copy(names.begin(), names.end(), reinterpret_cast<wchar_t *>(drop + 1));
    GlobalUnlock(memory);
    return static_cast<HDROP>(memory);
}

TEST_P(Drop, SetsTheFieldAsTheBrowseDoes)
{
    const auto &c = GetParam();
    Window window;
    SendMessageW(window.form->window(), WM_DROPFILES,
                 reinterpret_cast<WPARAM>(dropOf({c.at.x / 15, c.at.y / 15}, c.files)), 0);
    EXPECT_EQ(textOf(window.control(L"Text1")), c.text1);
    EXPECT_EQ(textOf(window.control(L"Text2")), c.text2);
}

const DropCase dropCases[] = {
    {"OnText1", {2000, 150}, {L"C:\\site\\home.htm"}, L"C:\\site\\home.htm", L"C:\\site\\home.ht3"},
    {"OnText2", {2000, 600}, {L"C:\\site\\report.txt"}, L"C:\\VB5\\SITEDOCS\\ROZIZEVAZE.HTM", L"C:\\site\\report.txt"},
    {"OnTheListCountsForText1", {3000, 4000}, {L"D:\\a.htm", L"D:\\b.htm"}, L"D:\\a.htm", L"D:\\a.ht3"},
};

INSTANTIATE_TEST_SUITE_P(Win32Form1, Drop, testing::ValuesIn(dropCases), CaseName());

// Ctrl+A and Ctrl+C on the list: every record whole, control characters as pictures,
// CR LF between records and none after the last.
TEST(Win32Form1, CopiesTheSelectedRecordsWhole)
{
    ScratchFolder folder;
    const std::string longLine = "C:\\" + std::string(3000, 'x');
    const auto page = folder.write("page.htm", longLine + "\r\n<p>\r\na/b" + std::string(1, '\0') + "c\r\n");
    Window window;
    window.type(L"Text1", std::wstring(page.begin(), page.end()));
    window.type(L"Text2", L"NUL");
    window.click(L"Command1");
    const HWND list = window.control(L"List1");
    ASSERT_EQ(ListView_GetItemCount(list), 2);

    wchar_t shown[2048] = {};
    ListView_GetItemText(list, 1, 0, shown, 2048);
    EXPECT_STREQ(shown, L" 3 - a/b\u2400c");

    BYTE keys[256] = {};
    GetKeyboardState(keys);
    keys[VK_CONTROL] = 0x80;
    SetKeyboardState(keys);
    SetFocus(list);
    SendMessageW(list, WM_KEYDOWN, 'A', 0);
    SendMessageW(list, WM_KEYDOWN, 'C', 0);
    keys[VK_CONTROL] = 0;
    SetKeyboardState(keys);

    ASSERT_TRUE(OpenClipboard(window.form->window()));
    std::wstring text;
    if (const HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        text = static_cast<const wchar_t *>(GlobalLock(data));
        GlobalUnlock(data);
    }
    CloseClipboard();
    EXPECT_EQ(text, L" 1 - " + std::wstring(longLine.begin(), longLine.end()) + L"\r\n 3 - a/b\u2400c");
}

// The system's dialog, prepared from the pattern and the filter as on Linux.
struct DialogCase
{
    const char *name;
    std::u16string pattern;
    BOOL answer;           // what the dialog returns
    const wchar_t *chosen; // what the user picked
    std::u16string result;
    std::wstring filters;  // the list the dialog is given, "\0" between entries
};

using Dialog = testing::TestWithParam<DialogCase>;

TEST_P(Dialog, MapsPatternFilterAndAnswer)
{
    const auto &c = GetParam();
    Win32FileDialogComponent dialog;
    std::wstring filters;
    std::wstring startFolder;
    dialog.show = [&](OPENFILENAMEW &shown) {
        const wchar_t *entry = shown.lpstrFilter;
        while (*entry) {
            filters += entry;
            filters += L'|';
            entry += wcslen(entry) + 1;
        }
        startFolder = shown.lpstrInitialDir;
        wcscpy(shown.lpstrFile, c.chosen);
        return c.answer;
    };
    dialog.setFileNameProperty(c.pattern);
    dialog.setFilterProperty(u"*.HTM |*.HTM");
    dialog.ShowOperation(1);
    EXPECT_EQ(dialog.FileNameProperty(), c.result);
    EXPECT_EQ(filters, c.filters);
    EXPECT_FALSE(startFolder.empty());
}

const DialogCase dialogCases[] = {
    {"Chosen", u"C:\\windows\\*.HTM", TRUE, L"C:\\windows\\page.htm", u"C:\\windows\\page.htm",
     L"*.HTM |*.HTM|Tutti i file (*.*)|*.*|"},
    {"Cancelled", u"*.HTM", FALSE, L"", u"", L"*.HTM |*.HTM|Tutti i file (*.*)|*.*|"},
    {"OtherPatternComesFirst", u"*.TXT", TRUE, L"a.txt", u"a.txt",
     L"*.TXT|*.TXT|*.HTM |*.HTM|Tutti i file (*.*)|*.*|"},
};

INSTANTIATE_TEST_SUITE_P(Win32FileDialog, Dialog, testing::ValuesIn(dialogCases), CaseName());

} // namespace
