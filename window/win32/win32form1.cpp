#include "window/win32/win32form1.h"

#include "browse/win32/win32filedialogcomponent.h"
#include "platform/filelayer.h"
#include "window/clipboardtext.h"
#include "window/controlpictures.h"

#include <commctrl.h>
#include <shellapi.h>
#include <windowsx.h>

#include <algorithm>
#include <exception>
#include <initializer_list>
#include <iterator>
#include <utility>
#include <new>
#include <vector>

namespace {

enum Control { Label1, Text1, Label2, Text2, Command1, Command3, Command2, Command4, List1, ControlCount };

struct ControlPlace
{
    const wchar_t *name;
    const wchar_t *windowClass;
    const wchar_t *text;
    DWORD style;
    DWORD exStyle;
    int left, top, width, height; // twips
};

constexpr DWORD EditStyle = ES_AUTOHSCROLL | WS_TABSTOP;
constexpr DWORD ButtonStyle = BS_PUSHBUTTON | WS_TABSTOP; // none is the default button

// Every control in one place: name, class, text, style, rectangle in twips. They are
// created in this order, which is the order the focus moves in with Tab; each label
// comes just before the field it names, so screen readers name the field by it.
constexpr ControlPlace Controls[ControlCount] = {
    {L"Label1", L"STATIC", L"Nome file di input", SS_LEFT | SS_NOPREFIX, 0, 135, 90, 1395, 255},
    {L"Text1", L"EDIT", L"", EditStyle, WS_EX_CLIENTEDGE, 1575, 90, 4725, 285},
    {L"Label2", L"STATIC", L"Nome file di output", SS_LEFT | SS_NOPREFIX, 0, 135, 510, 1395, 255},
    {L"Text2", L"EDIT", L"", EditStyle, WS_EX_CLIENTEDGE, 1575, 525, 4725, 285},
    {L"Command1", L"BUTTON", L"Ricerca Path e nomi files", ButtonStyle, 0, 3615, 930, 2460, 375},
    {L"Command3", L"BUTTON", L"F I N E", ButtonStyle, 0, 6405, 930, 1125, 375},
    {L"Command2", L"BUTTON", L"Sfoglia ...", ButtonStyle, 0, 6405, 90, 1125, 330},
    {L"Command4", L"BUTTON", L"Sfoglia ...", ButtonStyle, 0, 6405, 510, 1125, 330},
    {L"List1", WC_LISTVIEWW, L"", LVS_REPORT | LVS_OWNERDATA | LVS_NOCOLUMNHEADER | LVS_SHOWSELALWAYS | WS_TABSTOP,
     WS_EX_CLIENTEDGE, 105, 1380, 11670, 6690},
};

constexpr int FirstControlId = 101;
constexpr int CopyCommand = 201;
constexpr int SelectAllCommand = 202;
constexpr int ClientWidth = 11880; // twips
constexpr int ClientHeight = 8190;
constexpr DWORD FrameStyle = WS_OVERLAPPEDWINDOW;
constexpr wchar_t WindowClass[] = L"PAGESIFT.Form1";

// Functions that newer Windows versions have and Windows 7 lacks, looked up once.
template <typename Function>
Function *newer(const wchar_t *module, const char *name)
{
    const FARPROC found = GetProcAddress(GetModuleHandleW(module), name);
    return found ? reinterpret_cast<Function *>(reinterpret_cast<void (*)()>(found)) : nullptr;
}

UINT screenDpi()
{
    const HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi > 0 ? static_cast<UINT>(dpi) : 96;
}

UINT windowDpi(HWND window)
{
    static const auto getDpiForWindow = newer<UINT WINAPI(HWND)>(L"user32.dll", "GetDpiForWindow");
    if (getDpiForWindow) {
        if (const UINT dpi = getDpiForWindow(window))
            return dpi;
    }
    return screenDpi();
}

int pixels(int twips, UINT dpi)
{
    return MulDiv(twips, static_cast<int>(dpi), 1440);
}

std::wstring textOf(HWND control)
{
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(control)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(control, text.data(), static_cast<int>(text.size()))));
    return text;
}

// The system's message font at this DPI.
bool messageFont(UINT dpi, LOGFONTW &font)
{
    static const auto parametersForDpi =
        newer<BOOL WINAPI(UINT, UINT, PVOID, UINT, UINT)>(L"user32.dll", "SystemParametersInfoForDpi");
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    if (parametersForDpi && parametersForDpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0, dpi)) {
        font = metrics.lfMessageFont;
        return true;
    }
    if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0))
        return false;
    font = metrics.lfMessageFont;
    font.lfHeight = MulDiv(font.lfHeight, static_cast<int>(dpi), static_cast<int>(screenDpi()));
    return true;
}

bool fitsItsBox(HWND label, HFONT font)
{
    const std::wstring caption = textOf(label);
    RECT box{};
    GetClientRect(label, &box);
    const HDC screen = GetDC(label);
    const HGDIOBJ previous = SelectObject(screen, font);
    SIZE extent{};
    GetTextExtentPoint32W(screen, caption.c_str(), static_cast<int>(caption.size()), &extent);
    SelectObject(screen, previous);
    ReleaseDC(label, screen);
    return extent.cx <= box.right - box.left;
}

// The fixed label boxes were drawn for a narrow system font. Rather than wrap or cut a
// caption with a wider one, the labels' font shrinks, the same for both so they match,
// until every caption fits its box.
HFONT captionFont(LOGFONTW font, UINT dpi, std::initializer_list<HWND> labels)
{
    const LONG smallest = MulDiv(6, static_cast<int>(dpi), 72); // 6 points
    for (;;) {
        const HFONT candidate = CreateFontIndirectW(&font);
        const LONG height = font.lfHeight < 0 ? -font.lfHeight : font.lfHeight;
        if (!candidate || height <= smallest ||
            std::all_of(labels.begin(), labels.end(), [&](HWND label) { return fitsItsBox(label, candidate); }))
            return candidate;
        DeleteObject(candidate);
        font.lfHeight += font.lfHeight < 0 ? 1 : -1;
        font.lfWidth = 0;
    }
}

SIZE frameFor(UINT dpi)
{
    static const auto adjustForDpi =
        newer<BOOL WINAPI(LPRECT, DWORD, BOOL, DWORD, UINT)>(L"user32.dll", "AdjustWindowRectExForDpi");
    RECT frame{0, 0, pixels(ClientWidth, dpi), pixels(ClientHeight, dpi)};
    if (!adjustForDpi || !adjustForDpi(&frame, FrameStyle, FALSE, 0, dpi))
        AdjustWindowRectEx(&frame, FrameStyle, FALSE, 0);
    return {frame.right - frame.left, frame.bottom - frame.top};
}

// A record as the list shows it: UTF-8 where the bytes are valid UTF-8, otherwise the
// Windows-1252 code page such pages were written in.
std::wstring decode(std::string_view bytes)
{
    if (bytes.empty())
        return {};
    const int length = static_cast<int>(bytes.size());
    UINT codePage = CP_UTF8;
    int size = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bytes.data(), length, nullptr, 0);
    if (size == 0) {
        codePage = 1252;
        size = MultiByteToWideChar(codePage, 0, bytes.data(), length, nullptr, 0);
    }
    std::wstring text(static_cast<std::size_t>(size), L'\0');
    MultiByteToWideChar(codePage, codePage == CP_UTF8 ? MB_ERR_INVALID_CHARS : 0, bytes.data(), length, text.data(), size);
    return text;
}

// A record as it leaves the window, on screen or on the clipboard: its control
// characters as pictures, so a NUL cuts nothing short and a line feed splits nothing.
std::wstring pictured(std::string_view bytes)
{
    std::wstring text = decode(bytes);
    ControlPictures::apply({reinterpret_cast<char16_t *>(text.data()), text.size()});
    return text;
}

} // namespace

Win32Form1::Win32Form1(HINSTANCE instance, UserFeedback &feedback, std::unique_ptr<FileDialogComponent> dialog,
                       FileLayer *files)
    : m_form(*this, feedback, dialog ? std::move(dialog) : std::make_unique<Win32FileDialogComponent>(),
             files ? *files : FileLayer::system())
{
    static const ATOM registered = [instance] {
        // The list view, and the visual styles the manifest asks for.
        INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES | ICC_STANDARD_CLASSES};
        InitCommonControlsEx(&controls);
        WNDCLASSEXW windowClass{};
        windowClass.cbSize = sizeof windowClass;
        windowClass.lpfnWndProc = windowProc;
        windowClass.hInstance = instance;
        windowClass.hIcon = static_cast<HICON>(LoadImageW(instance, L"IDI_ICON1", IMAGE_ICON, GetSystemMetrics(SM_CXICON),
                                                          GetSystemMetrics(SM_CYICON), LR_DEFAULTCOLOR));
        windowClass.hIconSm = static_cast<HICON>(LoadImageW(instance, L"IDI_ICON1", IMAGE_ICON,
                                                            GetSystemMetrics(SM_CXSMICON),
                                                            GetSystemMetrics(SM_CYSMICON), LR_DEFAULTCOLOR));
        windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        windowClass.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
        windowClass.lpszClassName = WindowClass;
        return RegisterClassExW(&windowClass);
    }();
    (void)registered;

    m_window = CreateWindowExW(0, WindowClass, L"PAGESIFT (path e nomi files) dentro una pagina HTML", FrameStyle,
                               CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, instance,
                               this);
    const UINT dpi = windowDpi(m_window);
    const SIZE frame = frameFor(dpi);
    SetWindowPos(m_window, nullptr, 0, 0, frame.cx, frame.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);

    for (int i = 0; i < ControlCount; ++i) {
        const ControlPlace &place = Controls[i];
        m_controls[i] = CreateWindowExW(place.exStyle, place.windowClass, place.text, WS_CHILD | WS_VISIBLE | place.style,
                                        0, 0, 0, 0, m_window,
                                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(FirstControlId + i)), instance,
                                        nullptr);
    }
    for (const int field : {Text1, Text2})
        SendMessageW(m_controls[field], EM_SETLIMITTEXT, 0, 0); // as long as a path can be
    ListView_SetExtendedListViewStyle(m_controls[List1], LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER);
    LVCOLUMNW column{};
    column.mask = LVCF_WIDTH;
    ListView_InsertColumn(m_controls[List1], 0, &column);
    DragAcceptFiles(m_window, TRUE);
    layOut(dpi);
    m_lastFocus = m_controls[Text1];

    m_form.load();
}

Win32Form1::~Win32Form1()
{
    if (m_window)
        DestroyWindow(m_window);
    for (const HFONT font : m_fonts) {
        if (font)
            DeleteObject(font);
    }
}

HWND Win32Form1::control(std::wstring_view name) const
{
    for (int i = 0; i < ControlCount; ++i) {
        if (name == Controls[i].name)
            return m_controls[i];
    }
    return nullptr;
}

std::wstring Win32Form1::rowText(std::size_t row) const
{
    // Painting lays out the whole text even where it is cut off; beyond this many
    // characters nothing more can be seen, so a long record costs no more to show.
    constexpr std::size_t ShownCharacters = 1000;
    const auto &records = m_form.records();
    if (row >= records.size())
        return {};
    std::wstring text = pictured(records[row]);
    if (text.size() > ShownCharacters) {
        // Never half of a character written as a surrogate pair.
        const bool pairSplit = text[ShownCharacters] >= 0xDC00 && text[ShownCharacters] <= 0xDFFF;
        text.resize(pairSplit ? ShownCharacters - 1 : ShownCharacters);
        text += L'\x2026'; // …
    }
    return text;
}

bool Win32Form1::handleDialogKey(MSG &message)
{
    return m_window && IsDialogMessageW(m_window, &message);
}

LRESULT CALLBACK Win32Form1::windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        auto *form = static_cast<Win32Form1 *>(reinterpret_cast<CREATESTRUCTW *>(lParam)->lpCreateParams);
        form->m_window = window;
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(form));
    }
    auto *form = reinterpret_cast<Win32Form1 *>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!form)
        return DefWindowProcW(window, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        form->m_window = nullptr;
        return DefWindowProcW(window, message, wParam, lParam);
    }
    // No exception may cross the system's code that called this procedure: whatever
    // could not be done is given up with a beep, and the window stays usable.
    try {
        return form->handle(message, wParam, lParam);
    } catch (const std::exception &) {
        MessageBeep(MB_OK);
        return 0;
    }
}

LRESULT Win32Form1::handle(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_COMMAND:
        // A control that loses the focus while the window is being destroyed must not
        // reach the logic any more.
        if (m_controls[List1])
            command(LOWORD(wParam), HIWORD(wParam));
        return 0;
    case WM_NOTIFY:
        return notify(*reinterpret_cast<const NMHDR *>(lParam));
    case WM_CONTEXTMENU:
        if (reinterpret_cast<HWND>(wParam) == m_controls[List1]) {
            showListMenu({GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
            return 0;
        }
        break;
    case WM_SETCURSOR:
        // The hourglass stays for as long as a scan runs, whatever the pointer is over.
        if (m_controls[Command1] && !IsWindowEnabled(m_controls[Command1])) {
            SetCursor(LoadCursorW(nullptr, IDC_WAIT));
            return TRUE;
        }
        break;
    case WM_ACTIVATE:
        // A plain window forgets its focused control when it is deactivated; keep it.
        if (LOWORD(wParam) == WA_INACTIVE) {
            if (const HWND focus = GetFocus(); focus && IsChild(m_window, focus))
                m_lastFocus = focus;
        } else if (m_lastFocus) {
            SetFocus(m_lastFocus);
        }
        return 0;
    case WM_SETFOCUS:
        if (m_lastFocus)
            SetFocus(m_lastFocus);
        return 0;
    case WM_DPICHANGED: {
        const auto *suggested = reinterpret_cast<const RECT *>(lParam);
        SetWindowPos(m_window, nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
                     suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
        layOut(HIWORD(wParam));
        return 0;
    }
    case WM_DROPFILES:
        dropFiles(reinterpret_cast<HDROP>(wParam));
        return 0;
    case WM_DESTROY:
        m_controls[List1] = nullptr;
        break;
    default:
        break;
    }
    return DefWindowProcW(m_window, message, wParam, lParam);
}

void Win32Form1::command(int id, int code)
{
    switch (id - FirstControlId) {
    case Text1:
        // EN_CHANGE comes for typing, pasting and for a text set by a handler alike.
        if (code == EN_CHANGE)
            m_form.clearOutputName();
        else if (code == EN_KILLFOCUS)
            m_form.applyOutputNameRule();
        return;
    case Text2:
        if (code == EN_KILLFOCUS)
            m_form.applyOutputNameRule();
        return;
    default:
        break;
    }
    // Each button's click and the handler it runs.
    constexpr std::pair<int, void (Form1::*)()> Clicks[] = {
        {Command1, &Form1::runScan},
        {Command2, &Form1::browseInput},
        {Command4, &Form1::browseOutput},
        {Command3, &Form1::exit},
    };
    for (const auto &[button, handler] : Clicks) {
        if (id - FirstControlId == button) {
            if (code == BN_CLICKED)
                (m_form.*handler)();
            return;
        }
    }
    if (id == CopyCommand)
        copySelection();
    else if (id == SelectAllCommand)
        selectAll();
}

LRESULT Win32Form1::notify(const NMHDR &header)
{
    if (header.hwndFrom != m_controls[List1])
        return 0;
    switch (header.code) {
    case LVN_GETDISPINFOW: {
        auto &item = const_cast<NMLVDISPINFOW &>(reinterpret_cast<const NMLVDISPINFOW &>(header)).item;
        if (item.mask & LVIF_TEXT) {
            // The list reads the text before it asks for the next row, so one buffer serves.
            m_shownText = rowText(static_cast<std::size_t>(item.iItem));
            item.pszText = m_shownText.data();
        }
        return 0;
    }
    case LVN_KEYDOWN: {
        const auto &key = reinterpret_cast<const NMLVKEYDOWN &>(header);
        if (GetKeyState(VK_CONTROL) < 0 && key.wVKey == 'A')
            selectAll();
        else if (GetKeyState(VK_CONTROL) < 0 && (key.wVKey == 'C' || key.wVKey == VK_INSERT))
            copySelection();
        return 0;
    }
    case LVN_ODFINDITEMW:
        return -1; // no search by typing: every record starts with its number
    default:
        return 0;
    }
}

void Win32Form1::layOut(UINT dpi)
{
    for (int i = 0; i < ControlCount; ++i) {
        const ControlPlace &place = Controls[i];
        SetWindowPos(m_controls[i], nullptr, pixels(place.left, dpi), pixels(place.top, dpi), pixels(place.width, dpi),
                     pixels(place.height, dpi), SWP_NOZORDER | SWP_NOACTIVATE);
    }
    LOGFONTW message{};
    if (messageFont(dpi, message)) {
        const HFONT font = CreateFontIndirectW(&message);
        const HFONT captions = captionFont(message, dpi, {m_controls[Label1], m_controls[Label2]});
        for (int i = 0; i < ControlCount; ++i) {
            const HFONT own = i == Label1 || i == Label2 ? captions : font;
            SendMessageW(m_controls[i], WM_SETFONT, reinterpret_cast<WPARAM>(own), TRUE);
        }
        for (HFONT &old : m_fonts) {
            if (old)
                DeleteObject(old);
        }
        m_fonts[0] = font;
        m_fonts[1] = captions;
    }
    fitListColumn();
}

void Win32Form1::fitListColumn()
{
    // One column as wide as the list: a long record is cut with "…" at the edge and
    // the list never scrolls sideways, whatever the page.
    RECT client{};
    GetClientRect(m_controls[List1], &client);
    ListView_SetColumnWidth(m_controls[List1], 0, client.right - client.left);
}

void Win32Form1::copySelection()
{
    const HWND list = m_controls[List1];
    const auto &records = m_form.records();
    std::vector<std::size_t> rows;
    std::size_t room = 1; // the clipboard's text ends in a NUL
    for (int row = ListView_GetNextItem(list, -1, LVNI_SELECTED); row >= 0;
         row = ListView_GetNextItem(list, row, LVNI_SELECTED)) {
        if (static_cast<std::size_t>(row) < records.size()) {
            rows.push_back(static_cast<std::size_t>(row));
            room += records[static_cast<std::size_t>(row)].size() + 2; // the record and CR LF
        }
    }
    if (rows.empty())
        return;
    // Written straight into the clipboard's own memory, so a copy of a whole page is
    // never held twice. Without the memory, nothing changes and the user hears why.
    const HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, room * sizeof(wchar_t));
    auto *out = memory ? static_cast<char16_t *>(GlobalLock(memory)) : nullptr;
    if (!out) {
        if (memory)
            GlobalFree(memory);
        MessageBeep(MB_OK);
        return;
    }
    ClipboardText text({out, room - 1}, u"\r\n");
    try {
        for (const std::size_t row : rows) {
            const std::wstring record = decode(records[row]);
            text.add({reinterpret_cast<const char16_t *>(record.data()), record.size()});
        }
    } catch (const std::bad_alloc &) {
        GlobalUnlock(memory);
        GlobalFree(memory);
        MessageBeep(MB_OK);
        return;
    }
    out[text.size()] = u'\0';
    GlobalUnlock(memory);
    if (OpenClipboard(m_window)) {
        EmptyClipboard();
        if (SetClipboardData(CF_UNICODETEXT, memory)) {
            CloseClipboard();
            return;
        }
        CloseClipboard();
    }
    GlobalFree(memory);
}

void Win32Form1::dropFiles(HDROP drop)
{
    // Of several files the first counts. Dropped on Text2 it is the report; anywhere
    // else on the window, the page.
    POINT at{};
    DragQueryPoint(drop, &at);
    const HWND target = ChildWindowFromPointEx(m_window, at, CWP_SKIPINVISIBLE);
    const Field field = target == m_controls[Text2] ? Field::Text2 : Field::Text1;
    std::wstring path(static_cast<std::size_t>(DragQueryFileW(drop, 0, nullptr, 0)) + 1, L'\0');
    path.resize(DragQueryFileW(drop, 0, path.data(), static_cast<UINT>(path.size())));
    DragFinish(drop);
    if (!path.empty())
        m_form.dropFile(field, {reinterpret_cast<const char16_t *>(path.data()), path.size()});
}

void Win32Form1::selectAll()
{
    ListView_SetItemState(m_controls[List1], -1, LVIS_SELECTED, LVIS_SELECTED);
}

void Win32Form1::showListMenu(POINT at)
{
    if (at.x == -1 && at.y == -1) { // from the keyboard: at the list's corner
        at = {0, 0};
        ClientToScreen(m_controls[List1], &at);
    }
    const HMENU menu = CreatePopupMenu();
    AppendMenuW(menu, MF_STRING, CopyCommand, L"Copia");
    AppendMenuW(menu, MF_STRING, SelectAllCommand, L"Seleziona tutto");
    const int chosen = static_cast<int>(
        TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON, at.x, at.y, 0, m_window, nullptr));
    DestroyMenu(menu);
    if (chosen != 0)
        command(chosen, 0);
}

std::u16string Win32Form1::text(Field field) const
{
    const std::wstring text = textOf(m_controls[field == Field::Text1 ? Text1 : Text2]);
    return {text.begin(), text.end()};
}

void Win32Form1::setText(Field field, std::u16string_view text)
{
    const HWND control = m_controls[field == Field::Text1 ? Text1 : Text2];
    const std::wstring wide(text.begin(), text.end());
    // An edit control reports a change even for the text it already holds; the window's
    // logic counts only a real change, as on every other toolkit.
    if (textOf(control) == wide)
        return;
    SetWindowTextW(control, wide.c_str());
}

void Win32Form1::setScanEnabled(bool enabled)
{
    const HWND button = m_controls[Command1];
    // Windows leaves the focus on a disabled button, where no key reaches anything; it
    // goes back there when the button is enabled again.
    if (!enabled)
        m_scanHadFocus = GetFocus() == button;
    EnableWindow(button, enabled);
    if (enabled && m_scanHadFocus)
        SetFocus(button);
}

void Win32Form1::showRecords(std::size_t count)
{
    const HWND list = m_controls[List1];
    // A selection of rows that are going does not outlive them. Asked first: some list
    // views walk every row to clear it.
    if (count < static_cast<std::size_t>(ListView_GetItemCount(list)) && ListView_GetSelectedCount(list) > 0)
        ListView_SetItemState(list, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
    ListView_SetItemCountEx(list, static_cast<int>(count), 0);
    fitListColumn();
}

void Win32Form1::closeWindow()
{
    if (m_window)
        DestroyWindow(m_window);
}
