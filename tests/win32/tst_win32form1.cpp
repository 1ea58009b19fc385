// The Win32 front end: its controls where the twips say, the focus order, and the
// events it hands to the window's logic (what the logic then decides is tested once,
// without any toolkit). Runs under Wine at 96 DPI, and again at the DPIs ctest names in
// PAGESIFT_DPI.
#include "browse/win32/win32filedialogcomponent.h"
#include "tests/casename.h"
#include "tests/designedwindow.h"
#include "tests/form1harness.h"
#include "tests/scratchfolder.h"
#include "window/recordtext.h"
#include "window/win32/win32form1.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <commctrl.h>
#include <oleacc.h>
#include <shlobj.h>

#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace {

std::wstring textOf(HWND control)
{
    wchar_t text[512] = {};
    GetWindowTextW(control, text, 512);
    return text;
}

// Twips in pixels at the DPI of this run.
LONG pixels(LONG twips)
{
    wchar_t dpi[8] = {};
    return MulDiv(twips, GetEnvironmentVariableW(L"PAGESIFT_DPI", dpi, 8) ? _wtoi(dpi) : 96, 1440);
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

    HWND control(const char *name) const { return form->control(name); }

    void type(const char *field, const std::wstring &text) { SetWindowTextW(control(field), text.c_str()); }

    // Keys as the control receives them, Ctrl held; a character as TranslateMessage makes it.
    void ctrlKeys(const char *name, std::initializer_list<WPARAM> keys, WPARAM character = 0)
    {
        BYTE state[256] = {};
        GetKeyboardState(state);
        state[VK_CONTROL] = 0x80;
        SetKeyboardState(state);
        SetFocus(control(name));
        for (const WPARAM key : keys)
            SendMessageW(control(name), WM_KEYDOWN, key, 0);
        if (character)
            SendMessageW(control(name), WM_CHAR, character, 0);
        state[VK_CONTROL] = 0;
        SetKeyboardState(state);
    }

    void click(const char *button)
    {
        feedback.events.clear();
        SendMessageW(control(button), BM_CLICK, 0, 0);
    }

    // The rows as the list view itself reports them, through its owner-data requests.
    std::vector<std::string> rows() const
    {
        const HWND list = control("List1");
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

using Layout = testing::TestWithParam<DesignedControl>;

TEST_P(Layout, EachControlAtItsTwips)
{
    const DesignedControl &c = GetParam();
    Window window;
    const HWND control = window.form->control(c.name);
    ASSERT_TRUE(control);
    RECT place{};
    GetWindowRect(control, &place);
    MapWindowPoints(nullptr, window.form->window(), reinterpret_cast<POINT *>(&place), 2);
    EXPECT_EQ(place.left, pixels(c.left));
    EXPECT_EQ(place.top, pixels(c.top));
    EXPECT_EQ(place.right - place.left, pixels(c.width));
    EXPECT_EQ(place.bottom - place.top, pixels(c.height));
    const std::map<std::string_view, std::wstring> classes = {
        {"label", L"Static"}, {"text box", L"Edit"}, {"push button", L"Button"}, {"list box", L"SysListView32"}};
    EXPECT_EQ(className(control), classes.at(c.kind));
    const std::wstring caption(c.caption.begin(), c.caption.end());
    if (c.kind == "label" || c.kind == "push button") {
        EXPECT_EQ(textOf(control), caption);
    }
    if (c.kind == "label") { // the caption whole, on one line
        const HDC screen = GetDC(control);
        const HGDIOBJ previous = SelectObject(screen, reinterpret_cast<HGDIOBJ>(SendMessageW(control, WM_GETFONT, 0, 0)));
        SIZE extent{};
        GetTextExtentPoint32W(screen, caption.c_str(), static_cast<int>(caption.size()), &extent);
        SelectObject(screen, previous);
        ReleaseDC(control, screen);
        EXPECT_LE(extent.cx, pixels(c.width));
    }
    // One font for every control.
    EXPECT_EQ(SendMessageW(control, WM_GETFONT, 0, 0), SendMessageW(window.control("Text1"), WM_GETFONT, 0, 0));
    EXPECT_TRUE(IsWindowEnabled(control));
}

INSTANTIATE_TEST_SUITE_P(Win32Form1, Layout, testing::ValuesIn(DesignedControls),
                         [](const auto &row) { return std::string(row.param.name); });

TEST(Win32Form1, FrameTitleAndStartUp)
{
    Window window;
    const HWND form = window.form->window();
    RECT client{};
    GetClientRect(form, &client);
    EXPECT_EQ(client.right, pixels(DesignedClientWidth));
    EXPECT_EQ(client.bottom, pixels(DesignedClientHeight));
    EXPECT_EQ(textOf(form), std::wstring(DesignedTitle.begin(), DesignedTitle.end()));
    const auto style = static_cast<DWORD>(GetWindowLongPtrW(form, GWL_STYLE));
    EXPECT_EQ(style & WS_OVERLAPPEDWINDOW, static_cast<DWORD>(WS_OVERLAPPEDWINDOW)); // resizable, all boxes
    RECT frame{}, work{};
    GetWindowRect(form, &frame);
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0); // centred on it, as on Linux
    EXPECT_NEAR(frame.left + frame.right, work.left + work.right, 1);
    EXPECT_NEAR(frame.top + frame.bottom, work.top + work.bottom, 1);
    EXPECT_EQ(textOf(window.control("Text1")), L"C:\\VB5\\SITEDOCS\\ROZIZEVAZE.HTM");
    EXPECT_EQ(textOf(window.control("Text2")), L"C:\\VB5\\SITEDOCS\\ROZIZEVAZE.HT3");
    EXPECT_EQ(ListView_GetItemCount(window.control("List1")), 0);
    // No button answers Enter on its own.
    EXPECT_EQ(LOWORD(SendMessageW(form, DM_GETDEFID, 0, 0)), 0);
    // A paste stops at the length a name field holds, as on Linux.
    const std::wstring pasted(40000, L'x');
    SendMessageW(window.control("Text2"), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(pasted.c_str()));
    EXPECT_EQ(GetWindowTextLengthW(window.control("Text2")), 32767);
}

TEST(Win32Form1, TabMovesInTheTablesOrder)
{
    Window window;
    const HWND form = window.form->window();
    HWND at = window.control("List1");
    for (const char *next : DesignedTabOrder) {
        at = GetNextDlgTabItem(form, at, FALSE);
        EXPECT_EQ(at, window.form->control(next)) << "after Tab, expected " << next;
    }
}

TEST(Win32Form1, ScanThroughTheWindow)
{
    ScratchFolder folder;
    const auto page = folder.write("page.htm", "<p>\r\n\t<img src=a.gif>\r\nC:\\x\r\n</td>");
    const auto report = folder.path("out.txt");
    Window window;
    bool buttonEnabledWhileBusy = true;
    const HWND button = window.control("Command1");
    // A click and a Space that reach the greyed button start no scan after this one.
    window.feedback.onBusy = [&, first = true]() mutable {
        buttonEnabledWhileBusy = IsWindowEnabled(button);
        if (std::exchange(first, false))
            for (const UINT message : std::initializer_list<UINT>{WM_LBUTTONDOWN, WM_LBUTTONUP, WM_KEYDOWN, WM_KEYUP})
                PostMessageW(button, message, message == WM_LBUTTONDOWN ? MK_LBUTTON : VK_SPACE, MAKELPARAM(5, 5));
    };

    window.type("Text1", std::wstring(page.begin(), page.end()));
    EXPECT_EQ(textOf(window.control("Text2")), L""); // the change event emptied it
    window.type("Text2", std::wstring(report.begin(), report.end()));
    SetFocus(button);
    window.click("Command1");
    for (MSG message; PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE);)
        DispatchMessageW(&message);

    const std::vector<std::string> records = {" 2 -  <img src=a.gif>", " 3 - C:\\x"};
    EXPECT_EQ(window.rows(), records);
    EXPECT_EQ(ScratchFolder::read(report), reportOf(records));
    EXPECT_EQ(window.feedback.events, (std::vector<std::string>{"busy", "beep", "idle"}));
    EXPECT_FALSE(buttonEnabledWhileBusy);
    EXPECT_TRUE(IsWindowEnabled(window.control("Command1")));
    EXPECT_EQ(GetFocus(), button);

    // Drawn greyed before the scan holds the thread: nothing left to paint at its message.
    ShowWindow(window.form->window(), SW_SHOWNA);
    bool greyed = false;
    window.feedback.onMessage = [&] { greyed = !IsWindowEnabled(button) && !GetUpdateRect(button, nullptr, FALSE); };
    window.type("Text1", L"missing.htm");
    window.type("Text2", std::wstring(report.begin(), report.end()));
    window.click("Command1");
    EXPECT_TRUE(greyed);
}

// Ctrl+A through the version 6 edit control that PAGESIFT.exe's manifest asks for,
// which sends a change notice for it: the output name stays.
TEST(Win32Form1, SelectingAllOfTheInputKeepsTheOutput)
{
    const ScratchFolder folder;
    const auto manifest = folder.write(
        "v6.manifest", "<assembly xmlns=\"urn:schemas-microsoft-com:asm.v1\" manifestVersion=\"1.0\"><dependency>"
                       "<dependentAssembly><assemblyIdentity type=\"win32\" name=\"Microsoft.Windows.Common-Controls\" "
                       "version=\"6.0.0.0\" processorArchitecture=\"*\" publicKeyToken=\"6595b64144ccf1df\"/>"
                       "</dependentAssembly></dependency></assembly>");
    const std::wstring path(manifest.begin(), manifest.end());
    ACTCTXW description{sizeof description, 0, path.c_str(), 0, 0, nullptr, nullptr, nullptr, nullptr};
    const HANDLE context = CreateActCtxW(&description);
    ULONG_PTR cookie = 0;
    ActivateActCtx(context, &cookie);
    {
        Window window;
        window.type("Text2", L"r.txt");
        window.ctrlKeys("Text1", {'A'}, 1);
        SetFocus(window.control("Text2"));
        EXPECT_EQ(textOf(window.control("Text1")), L"C:\\VB5\\SITEDOCS\\ROZIZEVAZE.HTM");
        EXPECT_EQ(textOf(window.control("Text2")), L"r.txt");
    }
    DeactivateActCtx(0, cookie);
    ReleaseActCtx(context);
}

TEST(Win32Form1, BrowseFillsTheFieldAndProposesTheOutput)
{
    Window window;
    window.dialog->chosen = u"D:\\site\\home.htm";
    window.click("Command2");
    EXPECT_EQ(window.dialog->calls.at(0), u"write FileName: C:\\VB5\\SITEDOCS\\*.HTM");
    EXPECT_EQ(textOf(window.control("Text1")), L"D:\\site\\home.htm");
    EXPECT_EQ(textOf(window.control("Text2")), L"D:\\site\\home.ht3");
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
        SendMessageW(window.control("Command3"), BM_CLICK, 0, 0);
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
// anywhere else for the page; what the drag offers, and the effect Explorer is told.
struct DropCase
{
    const char *name;
    POINT at; // in twips, in the window's client area
    std::vector<std::wstring> files;
    std::wstring text1;
    std::wstring text2;
    DWORD offered = DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK;
    DWORD taken = DROPEFFECT_COPY;
};

using Drop = testing::TestWithParam<DropCase>;

HGLOBAL dropOf(const std::vector<std::wstring> &files)
{
    std::wstring names;
    for (const auto &file : files)
        names += file + L'\0';
    names += L'\0';
    const HGLOBAL memory = GlobalAlloc(GHND, sizeof(DROPFILES) + names.size() * sizeof(wchar_t));
    auto *drop = static_cast<DROPFILES *>(GlobalLock(memory));
    drop->pFiles = sizeof(DROPFILES);
    drop->fWide = TRUE;
    std::copy(names.begin(), names.end(), reinterpret_cast<wchar_t *>(drop + 1));
    GlobalUnlock(memory);
    return memory;
}

TEST_P(Drop, SetsTheFieldAsTheBrowseDoes)
{
    const auto &c = GetParam();
    Window window;
    POINT at{pixels(c.at.x), pixels(c.at.y)};
    ClientToScreen(window.form->window(), &at);
    // The files as CF_HDROP, the form Explorer drags them in, through OLE's own object.
    ASSERT_TRUE(OpenClipboard(window.form->window()) && EmptyClipboard());
    SetClipboardData(CF_HDROP, dropOf(c.files));
    CloseClipboard();
    IDataObject *data = nullptr;
    ASSERT_EQ(OleGetClipboard(&data), S_OK);
    IDropTarget *target = window.form->dropTarget();
    EXPECT_EQ(RegisterDragDrop(window.form->window(), target), DRAGDROP_E_ALREADYREGISTERED); // the window's own
    DWORD effect = c.offered;
    target->Drop(data, 0, {at.x, at.y}, &effect);
    data->Release();
    EXPECT_EQ(effect, c.taken);
    EXPECT_EQ(textOf(window.control("Text1")), c.text1);
    EXPECT_EQ(textOf(window.control("Text2")), c.text2);
}

const std::wstring startPage = L"C:\\VB5\\SITEDOCS\\ROZIZEVAZE.HTM";
const std::wstring startReport = L"C:\\VB5\\SITEDOCS\\ROZIZEVAZE.HT3";

const DropCase dropCases[] = {
    {"OnText1", {2000, 150}, {L"C:\\site\\home.htm"}, L"C:\\site\\home.htm", L"C:\\site\\home.ht3"},
    {"OnText2", {2000, 600}, {L"C:\\site\\report.txt"}, startPage, L"C:\\site\\report.txt"},
    {"OnTheListCountsForText1", {3000, 4000}, {L"D:\\a.htm", L"D:\\b.htm"}, L"D:\\a.htm", L"D:\\a.ht3"},
    {"EndingInASpaceIsIgnored", {2000, 150}, {L"C:\\a.htm "}, startPage, startReport, DROPEFFECT_COPY, 0},
    {"OnlyALinkIsTakenAsOne", {2000, 150}, {L"C:\\a.htm"}, L"C:\\a.htm", L"C:\\a.ht3", DROPEFFECT_LINK,
     DROPEFFECT_LINK},
    {"OnlyAMoveIsRefused", {2000, 150}, {L"C:\\a.htm"}, startPage, startReport, DROPEFFECT_MOVE, 0},
};

INSTANTIATE_TEST_SUITE_P(Win32Form1, Drop, testing::ValuesIn(dropCases), CaseName());

// The list after a scan of a long record, a short one and one with control characters.
struct ListWindow : Window
{
    ListWindow()
    {
        const auto page = folder.write("page.htm", longLine + "\r\n<p>\r\na/b" + std::string(1, '\0') + "c\r\n");
        type("Text1", std::wstring(page.begin(), page.end()));
        type("Text2", L"NUL");
        click("Command1");
    }

    ScratchFolder folder;
    const std::string longLine = "C:\\" + std::string(3000, 'x');
};

// Ctrl+A and Ctrl+C: every record whole, as RecordText writes it, CR LF between records
// and none after the last, in a clipboard block that holds nothing but the text.
TEST(Win32Form1, CopiesTheSelectedRecordsWhole)
{
    ListWindow window;
    const HWND list = window.control("List1");
    ASSERT_EQ(ListView_GetItemCount(list), 2);
    wchar_t shown[2048] = {};
    ListView_GetItemText(list, 1, 0, shown, 2048);
    EXPECT_STREQ(shown, L" 3 - a/b^@c");
    // Glyphs the list's font really has: no empty box.
    const HDC screen = GetDC(list);
    const HGDIOBJ previous = SelectObject(screen, reinterpret_cast<HGDIOBJ>(SendMessageW(list, WM_GETFONT, 0, 0)));
    WORD glyphs[32] = {};
    GetGlyphIndicesW(screen, shown, static_cast<int>(wcslen(shown)), glyphs, GGI_MARK_NONEXISTING_GLYPHS);
    SelectObject(screen, previous);
    ReleaseDC(list, screen);
    for (std::size_t i = 0; i < wcslen(shown); ++i)
        EXPECT_NE(glyphs[i], 0xFFFF) << "no glyph for the character at " << i;

    window.ctrlKeys("List1", {'A', 'C'});

    ASSERT_TRUE(OpenClipboard(window.form->window()));
    const std::wstring expected =
        L" 1 - " + std::wstring(window.longLine.begin(), window.longLine.end()) + L"\r\n 3 - a/b^@c";
    std::wstring block;
    if (const HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        const auto *text = static_cast<const wchar_t *>(GlobalLock(data));
        block.assign(text, GlobalSize(data) / sizeof(wchar_t));
        GlobalUnlock(data);
    }
    CloseClipboard();
    ASSERT_GE(block.size(), expected.size() + 1);
    EXPECT_EQ(block.substr(0, expected.size()), expected);
    EXPECT_EQ(block.substr(expected.size()), std::wstring(block.size() - expected.size(), L'\0'));
}

// One row each: the events of the list reach what RecordText and ListMenu decide.
TEST(Win32Form1, TooltipOfACutRowShowsTheRecord)
{
    ListWindow window;
    const HWND list = window.control("List1");
    const auto tipFor = [&](int row) {
        RECT bounds{};
        bounds.left = LVIR_BOUNDS;
        SendMessageW(list, LVM_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&bounds));
        SendMessageW(list, WM_MOUSEMOVE, 0, MAKELPARAM(bounds.left + 5, (bounds.top + bounds.bottom) / 2));
        NMTTDISPINFOW info{};
        info.hdr.hwndFrom = window.form->listTooltip();
        info.hdr.code = TTN_GETDISPINFOW;
        SendMessageW(window.form->window(), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&info));
        return std::wstring(info.lpszText ? info.lpszText : L"");
    };
    const std::wstring cut = tipFor(0);
    EXPECT_EQ(cut.substr(0, 9), L" 1 - C:\\x");
    EXPECT_NE(cut.find(L'\n'), std::wstring::npos);
    EXPECT_EQ(tipFor(1), L""); // shown whole: no tooltip
}

// The menu as it opens, read when the system announces it to the window, then closed.
std::vector<std::wstring> g_menuItems;

LRESULT CALLBACK readMenu(HWND form, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR)
{
    if (message == WM_INITMENUPOPUP) {
        const auto menu = reinterpret_cast<HMENU>(wParam);
        for (int i = 0; i < GetMenuItemCount(menu); ++i) {
            wchar_t text[64] = {};
            GetMenuStringW(menu, static_cast<UINT>(i), text, 64, MF_BYPOSITION);
            const bool grey = GetMenuState(menu, static_cast<UINT>(i), MF_BYPOSITION) & MF_GRAYED;
            g_menuItems.push_back(std::wstring(text) + (grey ? L" (grey)" : L""));
        }
        EndMenu();
    }
    return DefSubclassProc(form, message, wParam, lParam);
}

TEST(Win32Form1, ListMenuOffersWhatCanBeDone)
{
    ListWindow window;
    g_menuItems.clear();
    SetWindowSubclass(window.form->window(), readMenu, 1, 0);
    // Shift+F10 and the menu key, as the list view reports them to its window.
    SendMessageW(window.form->window(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(window.control("List1")), -1);
    EXPECT_EQ(g_menuItems, (std::vector<std::wstring>{L"Copia\tCtrl+C (grey)", L"Seleziona tutto\tCtrl+A"}));
    g_menuItems.clear();
    ListView_SetItemState(window.control("List1"), -1, LVIS_SELECTED, LVIS_SELECTED);
    SendMessageW(window.form->window(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(window.control("List1")), -1);
    EXPECT_EQ(g_menuItems, (std::vector<std::wstring>{L"Copia\tCtrl+C", L"Seleziona tutto\tCtrl+A (grey)"}));
    RemoveWindowSubclass(window.form->window(), readMenu, 1);
}

TEST(Win32Form1, ScreenReadersReadTheListsNameAndWholeRecords)
{
    ListWindow window;
    CoInitialize(nullptr);
    IAccessible *list = nullptr;
    ASSERT_EQ(AccessibleObjectFromWindow(window.control("List1"), static_cast<DWORD>(OBJID_CLIENT), __uuidof(IAccessible),
                                         reinterpret_cast<void **>(&list)),
              S_OK);
    const auto name = [&](LONG child) {
        VARIANT id{};
        id.vt = VT_I4;
        id.lVal = child;
        BSTR text = nullptr;
        list->get_accName(id, &text);
        std::wstring result = text ? std::wstring(text, SysStringLen(text)) : L"(none)";
        SysFreeString(text);
        return result;
    };
    EXPECT_EQ(name(CHILDID_SELF), L"Risultati");
    EXPECT_EQ(name(1), L" 1 - " + std::wstring(window.longLine.begin(), window.longLine.end()));
    list->Release();
    CoUninitialize();
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
    bool asksBeforeReplacing = false; // a save dialog, for the report
};

using Dialog = testing::TestWithParam<DialogCase>;

TEST_P(Dialog, MapsPatternFilterAndAnswer)
{
    const auto &c = GetParam();
    Win32FileDialogComponent dialog;
    std::wstring filters;
    std::wstring startFolder;
    bool asks = false;
    dialog.show = [&](OPENFILENAMEW &shown) {
        asks = (shown.Flags & OFN_OVERWRITEPROMPT) != 0;
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
    dialog.ShowOperation(c.asksBeforeReplacing ? FileDialogComponent::ShowSave : FileDialogComponent::ShowOpen);
    EXPECT_EQ(asks, c.asksBeforeReplacing);
    EXPECT_EQ(dialog.FileNameProperty(), c.result);
    EXPECT_EQ(filters, c.filters);
    EXPECT_FALSE(startFolder.empty());
}

const DialogCase dialogCases[] = {
    {"Chosen", u"C:\\windows\\*.HTM", TRUE, L"C:\\windows\\page.htm", u"C:\\windows\\page.htm",
     L"*.HTM|*.HTM|Tutti i file (*.*)|*.*|"},
    {"Cancelled", u"*.HTM", FALSE, L"", u"", L"*.HTM|*.HTM|Tutti i file (*.*)|*.*|"},
    {"OtherPatternComesFirst", u"*.TXT", TRUE, L"a.txt", u"a.txt",
     L"*.TXT|*.TXT|*.HTM|*.HTM|Tutti i file (*.*)|*.*|"},
    {"ReportAsksBeforeReplacing", u"C:\\windows\\*.HTM", TRUE, L"C:\\windows\\r.txt", u"C:\\windows\\r.txt",
     L"*.HTM|*.HTM|Tutti i file (*.*)|*.*|", true},
};

INSTANTIATE_TEST_SUITE_P(Win32FileDialog, Dialog, testing::ValuesIn(dialogCases), CaseName());

} // namespace
