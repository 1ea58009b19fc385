#include "window/win32/win32form1.h"

#include "browse/win32/win32filedialogcomponent.h"
#include "platform/filelayer.h"
#include "window/win32/win32recordlist.h"

#include <commctrl.h>
#include <ole2.h>
#include <windowsx.h>

#include <algorithm>
#include <cmath>
#include <exception>
#include <utility>

namespace {

using Layout = Form1Layout;
using Id = Form1Layout::Id;

constexpr int FirstControlId = 101;
constexpr DWORD FrameStyle = WS_OVERLAPPEDWINDOW;
constexpr wchar_t WindowClass[] = L"PAGESIFT.Form1";

const wchar_t *wide(std::u16string_view text)
{
    return text.empty() ? L"" : reinterpret_cast<const wchar_t *>(text.data());
}

// The window class, style and extended style of each kind of control.
struct ControlClass
{
    const wchar_t *name;
    DWORD style;
    DWORD exStyle;
};

ControlClass classOf(Layout::Kind kind)
{
    switch (kind) {
    case Layout::Kind::Label:
        return {L"STATIC", SS_LEFT | SS_NOPREFIX, 0};
    case Layout::Kind::TextBox:
        return {L"EDIT", ES_AUTOHSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE};
    case Layout::Kind::Button:
        return {L"BUTTON", BS_PUSHBUTTON | WS_TABSTOP, 0}; // none is the default button
    case Layout::Kind::List:
        break;
    }
    return {WC_LISTVIEWW, LVS_REPORT | LVS_OWNERDATA | LVS_NOCOLUMNHEADER | LVS_SHOWSELALWAYS | WS_TABSTOP,
            WS_EX_CLIENTEDGE};
}

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
    return dpi > 0 ? static_cast<UINT>(dpi) : Layout::LogicalDpi;
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
    return Layout::pixels(twips, static_cast<int>(dpi));
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

LONG heightFor(double points, UINT dpi)
{
    return -std::lround(points * dpi / 72.0);
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

SIZE frameFor(UINT dpi)
{
    static const auto adjustForDpi =
        newer<BOOL WINAPI(LPRECT, DWORD, BOOL, DWORD, UINT)>(L"user32.dll", "AdjustWindowRectExForDpi");
    RECT frame{0, 0, pixels(Layout::ClientWidth, dpi), pixels(Layout::ClientHeight, dpi)};
    if (!adjustForDpi || !adjustForDpi(&frame, FrameStyle, FALSE, 0, dpi))
        AdjustWindowRectEx(&frame, FrameStyle, FALSE, 0);
    return {frame.right - frame.left, frame.bottom - frame.top};
}

// The primary screen less its task bar.
RECT primaryWorkArea()
{
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    if (GetMonitorInfoW(MonitorFromPoint({0, 0}, MONITOR_DEFAULTTOPRIMARY), &monitor))
        return monitor.rcWork;
    RECT work{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    return work;
}

} // namespace

Win32Form1::Win32Form1(HINSTANCE instance, UserFeedback &feedback, std::unique_ptr<FileDialogComponent> dialog,
                       FileLayer *files)
    : m_form(*this, feedback,
             dialog ? std::move(dialog) : std::make_unique<Win32FileDialogComponent>([this] { return m_window; }),
             files ? *files : FileLayer::system())
    , m_dropTarget({[](DWORD offered) {
                        switch (Form1::dropEffect(offered & DROPEFFECT_COPY, offered & DROPEFFECT_LINK)) {
                        case Form1::DropEffect::Copy:
                            return DWORD{DROPEFFECT_COPY};
                        case Form1::DropEffect::Link:
                            return DWORD{DROPEFFECT_LINK};
                        case Form1::DropEffect::None:
                            break;
                        }
                        return DWORD{DROPEFFECT_NONE};
                    },
                    [this](POINT at, const std::u16string &file) { return dropFile(at, file); }})
{
    // Drops through OLE, which tells what the drag offers (WM_DROPFILES does not).
    m_oleStarted = SUCCEEDED(OleInitialize(nullptr));
    static const ATOM registered = [instance] {
        // The list view, the tooltips, and the visual styles the manifest asks for.
        INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES | ICC_STANDARD_CLASSES | ICC_BAR_CLASSES};
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

    // On the primary screen from the start, so that its DPI is the one measured here.
    const RECT work = primaryWorkArea();
    m_window = CreateWindowExW(0, WindowClass, wide(Layout::Title), FrameStyle, work.left, work.top, CW_USEDEFAULT,
                               CW_USEDEFAULT, nullptr, nullptr, instance, this);
    const UINT dpi = windowDpi(m_window);
    const SIZE frame = frameFor(dpi);
    const Layout::Point at =
        Layout::centred({work.left, work.top, work.right - work.left, work.bottom - work.top}, frame.cx, frame.cy);
    SetWindowPos(m_window, nullptr, at.x, at.y, frame.cx, frame.cy, SWP_NOZORDER | SWP_NOACTIVATE);

    // Created in the table's order, which is the order the focus moves in with Tab;
    // each label comes just before the field it names, so screen readers name the
    // field by it.
    for (const Layout::Control *control : Layout::creationOrder()) {
        const auto index = static_cast<std::size_t>(Layout::idOf(*control));
        const ControlClass kind = classOf(control->kind);
        const std::u16string_view text = control->kind == Layout::Kind::List ? control->accessibleName : control->caption;
        m_controls[index] = CreateWindowExW(kind.exStyle, kind.name, wide(text), WS_CHILD | WS_VISIBLE | kind.style,
                                            0, 0, 0, 0, m_window,
                                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(FirstControlId + index)),
                                            instance, nullptr);
        if (control->kind == Layout::Kind::TextBox)
            SendMessageW(m_controls[index], EM_SETLIMITTEXT, Form1::FieldLength, 0);
    }
    m_list = std::make_unique<Win32RecordList>(control(Id::List1), m_form.records(), feedback);
    if (m_oleStarted)
        RegisterDragDrop(m_window, &m_dropTarget);
    layOut(dpi);

    m_form.load();
}

Win32Form1::~Win32Form1()
{
    m_list.reset();
    if (m_window)
        DestroyWindow(m_window);
    if (m_font)
        DeleteObject(m_font);
    if (m_oleStarted)
        OleUninitialize();
}

HWND Win32Form1::control(std::string_view name) const
{
    const Layout::Control *control = Layout::find(name);
    return control ? this->control(Layout::idOf(*control)) : nullptr;
}

std::optional<Id> Win32Form1::idOf(HWND window) const
{
    const auto found = std::find(m_controls.begin(), m_controls.end(), window);
    if (!window || found == m_controls.end())
        return std::nullopt;
    return Id(static_cast<std::size_t>(found - m_controls.begin()));
}

HWND Win32Form1::listTooltip() const
{
    return m_list ? m_list->tooltip() : nullptr;
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
        if (m_list)
            command(LOWORD(wParam), HIWORD(wParam));
        return 0;
    case WM_NOTIFY:
        if (LRESULT result = 0; m_list && m_list->notify(*reinterpret_cast<const NMHDR *>(lParam), result))
            return result;
        break;
    case WM_CONTEXTMENU:
        if (m_list && reinterpret_cast<HWND>(wParam) == control(Id::List1)) {
            m_list->showMenu({GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
            return 0;
        }
        break;
    case WM_SETCURSOR:
        // The hourglass stays for as long as a scan runs, whatever the pointer is over.
        if (control(Id::Command1) && !IsWindowEnabled(control(Id::Command1))) {
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
        RevokeDragDrop(m_window);
        m_list.reset();
        break;
    default:
        break;
    }
    return DefWindowProcW(m_window, message, wParam, lParam);
}

void Win32Form1::command(int commandId, int code)
{
    const auto index = static_cast<std::size_t>(commandId - FirstControlId);
    if (commandId < FirstControlId || index >= Layout::Controls.size())
        return;
    const auto which = Id(index);
    const Layout::Kind kind = Layout::control(which).kind;
    if (kind == Layout::Kind::Button) {
        if (code == BN_CLICKED)
            m_form.click(which);
    } else if (kind == Layout::Kind::TextBox) {
        // EN_CHANGE comes for typing, pasting and for a text set by a handler alike, and
        // also where the text stays as it was; the logic tells.
        if (code == EN_CHANGE)
            m_form.textChanged(which);
        else if (code == EN_KILLFOCUS)
            m_form.focusLost(which);
    }
}

void Win32Form1::layOut(UINT dpi)
{
    for (std::size_t i = 0; i < Layout::Controls.size(); ++i) {
        const auto &[left, top, width, height] = Layout::Controls[i].twips;
        SetWindowPos(m_controls[i], nullptr, pixels(left, dpi), pixels(top, dpi), pixels(width, dpi),
                     pixels(height, dpi), SWP_NOZORDER | SWP_NOACTIVATE);
    }
    // One font for the whole window, as small as the labels' fixed boxes need.
    LOGFONTW font{};
    if (messageFont(dpi, font)) {
        const double systemPoints = std::abs(font.lfHeight) * 72.0 / dpi;
        const double points = Layout::fontPointSize(systemPoints, [&](double size) {
            LOGFONTW trial = font;
            trial.lfHeight = heightFor(size, dpi);
            trial.lfWidth = 0;
            const HFONT candidate = CreateFontIndirectW(&trial);
            bool fits = candidate != nullptr;
            for (std::size_t i = 0; fits && i < Layout::Controls.size(); ++i) {
                if (Layout::Controls[i].kind == Layout::Kind::Label)
                    fits = fitsItsBox(m_controls[i], candidate);
            }
            if (candidate)
                DeleteObject(candidate);
            return fits;
        });
        if (points != systemPoints) {
            font.lfHeight = heightFor(points, dpi);
            font.lfWidth = 0;
        }
        if (const HFONT chosen = CreateFontIndirectW(&font)) {
            for (const HWND control : m_controls)
                SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(chosen), TRUE);
            if (m_font)
                DeleteObject(m_font);
            m_font = chosen;
        }
    }
    if (m_list)
        m_list->fitColumn();
}

bool Win32Form1::dropFile(POINT at, const std::u16string &file)
{
    // By the control under the pointer; the logic picks the field.
    ScreenToClient(m_window, &at);
    return m_form.dropFile(idOf(ChildWindowFromPointEx(m_window, at, CWP_SKIPINVISIBLE)), file);
}

std::u16string Win32Form1::text(Field field) const
{
    const std::wstring text = textOf(control(Form1::controlOf(field)));
    return {text.begin(), text.end()};
}

void Win32Form1::setText(Field field, std::u16string_view text)
{
    const HWND control = this->control(Form1::controlOf(field));
    const std::wstring wide(text.begin(), text.end());
    SetWindowTextW(control, wide.c_str());
}

void Win32Form1::setScanEnabled(bool enabled)
{
    EnableWindow(control(Id::Command1), enabled);
}

std::optional<Id> Win32Form1::focused() const
{
    return idOf(GetFocus());
}

void Win32Form1::moveFocus(Id control)
{
    // Kept for when the window is next activated, and set now if it is active.
    m_lastFocus = this->control(control);
    if (GetActiveWindow() == m_window)
        SetFocus(m_lastFocus);
}

void Win32Form1::paintNow()
{
    // The paint messages alone, the window's and its controls': the input stays queued
    // until the scan has ended and discardInput() drops it.
    if (m_window)
        RedrawWindow(m_window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
}

void Win32Form1::discardInput()
{
    // The queue keeps a click on a disabled button until it is enabled, and then
    // clicks it.
    MSG message;
    while (PeekMessageW(&message, nullptr, WM_KEYFIRST, WM_KEYLAST, PM_REMOVE)) {
    }
    while (PeekMessageW(&message, nullptr, WM_MOUSEFIRST, WM_MOUSELAST, PM_REMOVE)) {
    }
}

void Win32Form1::showRecords(std::size_t count)
{
    if (m_list)
        m_list->show(count);
}

void Win32Form1::closeWindow()
{
    if (m_window)
        DestroyWindow(m_window);
}
