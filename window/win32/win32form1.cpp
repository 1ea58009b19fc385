#include "window/win32/win32form1.h"

#include "browse/win32/win32filedialogcomponent.h"
#include "platform/filelayer.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>
#include <iterator>

namespace {

enum Control { Label1, Text1, Label2, Text2, Command1, Command3, Command2, Command4, List1, ControlCount };

struct ControlSpec
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
constexpr ControlSpec Controls[ControlCount] = {
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

// The system's message font at this DPI.
HFONT messageFont(UINT dpi)
{
    static const auto parametersForDpi =
        newer<BOOL WINAPI(UINT, UINT, PVOID, UINT, UINT)>(L"user32.dll", "SystemParametersInfoForDpi");
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    if (parametersForDpi && parametersForDpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0, dpi))
        return CreateFontIndirectW(&metrics.lfMessageFont);
    if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0))
        return nullptr;
    metrics.lfMessageFont.lfHeight = MulDiv(metrics.lfMessageFont.lfHeight, static_cast<int>(dpi),
                                            static_cast<int>(screenDpi()));
    return CreateFontIndirectW(&metrics.lfMessageFont);
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

std::wstring textOf(HWND control)
{
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(control)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(control, text.data(), static_cast<int>(text.size()))));
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
        const ControlSpec &spec = Controls[i];
        m_controls[i] = CreateWindowExW(spec.exStyle, spec.windowClass, spec.text, WS_CHILD | WS_VISIBLE | spec.style,
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
    if (m_font)
        DeleteObject(m_font);
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
    std::wstring text = decode(records[row]);
    if (text.size() > ShownCharacters) {
        text.resize(ShownCharacters);
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
    return form->handle(message, wParam, lParam);
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
    case Command1:
        if (code == BN_CLICKED)
            m_form.runScan();
        return;
    case Command2:
        if (code == BN_CLICKED)
            m_form.browseInput();
        return;
    case Command4:
        if (code == BN_CLICKED)
            m_form.browseOutput();
        return;
    case Command3:
        if (code == BN_CLICKED)
            m_form.exit();
        return;
    default:
        break;
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
    const HFONT font = messageFont(dpi);
    for (int i = 0; i < ControlCount; ++i) {
        const ControlSpec &spec = Controls[i];
        SetWindowPos(m_controls[i], nullptr, pixels(spec.left, dpi), pixels(spec.top, dpi), pixels(spec.width, dpi),
                     pixels(spec.height, dpi), SWP_NOZORDER | SWP_NOACTIVATE);
        if (font)
            SendMessageW(m_controls[i], WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    }
    if (font) {
        if (m_font)
            DeleteObject(m_font);
        m_font = font;
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
    std::wstring text;
    for (int row = ListView_GetNextItem(list, -1, LVNI_SELECTED); row >= 0;
         row = ListView_GetNextItem(list, row, LVNI_SELECTED)) {
        if (static_cast<std::size_t>(row) < records.size())
            text += decode(records[static_cast<std::size_t>(row)]) + L"\r\n";
    }
    if (text.empty() || !OpenClipboard(m_window))
        return;
    EmptyClipboard();
    if (const HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t))) {
        auto *copy = static_cast<wchar_t *>(GlobalLock(memory));
        std::copy(text.c_str(), text.c_str() + text.size() + 1, copy);
        GlobalUnlock(memory);
        if (!SetClipboardData(CF_UNICODETEXT, memory))
            GlobalFree(memory);
    }
    CloseClipboard();
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
    if (count < static_cast<std::size_t>(ListView_GetItemCount(list)))
        ListView_SetItemState(list, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
    ListView_SetItemCountEx(list, static_cast<int>(count), 0);
    fitListColumn();
}

void Win32Form1::closeWindow()
{
    if (m_window)
        DestroyWindow(m_window);
}
