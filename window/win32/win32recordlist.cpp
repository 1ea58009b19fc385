#include "window/win32/win32recordlist.h"

#include "platform/userfeedback.h"
#include "window/clipboardtext.h"
#include "window/recordstore.h"
#include "window/recordtext.h"
#include "window/win32/win32listaccessible.h"

#include <windowsx.h>

#include <algorithm>
#include <string_view>
#include <utility>
#include <vector>

namespace {

constexpr UINT_PTR SubclassId = 1;
constexpr int FirstMenuCommand = 1;

std::wstring wide(const std::u16string &text)
{
    return {text.begin(), text.end()};
}

} // namespace

Win32RecordList::Win32RecordList(HWND list, const RecordStore &records, UserFeedback &feedback)
    : m_list(list)
    , m_records(records)
    , m_feedback(feedback)
{
    // Painted straight into the window, not double-buffered: a double buffer takes a
    // bitmap the size of the list at every paint, which cannot be had once memory has
    // run out, and the list then stays blank after the message.
    ListView_SetExtendedListViewStyle(m_list, LVS_EX_FULLROWSELECT);
    LVCOLUMNW column{};
    column.mask = LVCF_WIDTH;
    ListView_InsertColumn(m_list, 0, &column);

    // The list view's own tooltips show only what the row shows; this one shows the
    // record, and asks for its text each time it appears.
    m_tip = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP,
                            CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, GetParent(m_list), nullptr,
                            reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(m_list, GWLP_HINSTANCE)), nullptr);
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = GetParent(m_list);
    tool.uId = reinterpret_cast<UINT_PTR>(m_list);
    tool.lpszText = LPSTR_TEXTCALLBACKW;
    SendMessageW(m_tip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    SendMessageW(m_tip, TTM_SETDELAYTIME, TTDT_AUTOPOP, MAKELPARAM(SHRT_MAX, 0));
    SetWindowSubclass(m_list, listProc, SubclassId, reinterpret_cast<DWORD_PTR>(this));
}

Win32RecordList::~Win32RecordList()
{
    RemoveWindowSubclass(m_list, listProc, SubclassId);
    if (m_tip)
        DestroyWindow(m_tip);
}

void Win32RecordList::show(std::size_t count)
{
    // A selection of rows that are going does not outlive them. Asked first: some list
    // views walk every row to clear it.
    if (count < static_cast<std::size_t>(ListView_GetItemCount(m_list)) && ListView_GetSelectedCount(m_list) > 0)
        ListView_SetItemState(m_list, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
    ListView_SetItemCountEx(m_list, static_cast<int>(count), 0);
    fitColumn();
}

void Win32RecordList::fitColumn()
{
    // One column as wide as the list: a long record is cut with "…" at the edge and
    // the list never scrolls sideways, whatever the page.
    RECT client{};
    GetClientRect(m_list, &client);
    ListView_SetColumnWidth(m_list, 0, client.right - client.left);
    // Multi-line tooltips, as wide as the screen allows.
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromWindow(m_list, MONITOR_DEFAULTTONEAREST), &monitor);
    SendMessageW(m_tip, TTM_SETMAXTIPWIDTH, 0, monitor.rcWork.right - monitor.rcWork.left);
}

bool Win32RecordList::rowIsCut(int row) const
{
    const std::string_view record = m_records[static_cast<std::size_t>(row)];
    if (RecordText::rowIsCut(record))
        return true;
    RECT label{};
    label.left = LVIR_LABEL;
    if (!SendMessageW(m_list, LVM_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&label)))
        return false;
    const std::wstring text = wide(RecordText::row(record));
    // The list keeps a margin on each side of the text.
    const int margins = 4 * GetSystemMetrics(SM_CXEDGE);
    return ListView_GetStringWidth(m_list, text.c_str()) + margins > label.right - label.left;
}

bool Win32RecordList::notify(const NMHDR &header, LRESULT &result)
{
    result = 0;
    if (header.hwndFrom == m_tip && header.code == TTN_GETDISPINFOW) {
        auto &info = const_cast<NMTTDISPINFOW &>(reinterpret_cast<const NMTTDISPINFOW &>(header));
        // An empty text shows no tooltip: the row shows the whole record.
        std::wstring text;
        if (m_tipRow >= 0 && static_cast<std::size_t>(m_tipRow) < m_records.size() && rowIsCut(m_tipRow)) {
            MONITORINFO monitor{};
            monitor.cbSize = sizeof monitor;
            GetMonitorInfoW(MonitorFromWindow(m_list, MONITOR_DEFAULTTONEAREST), &monitor);
            const HDC screen = GetDC(m_tip);
            const HGDIOBJ previous =
                SelectObject(screen, reinterpret_cast<HGDIOBJ>(SendMessageW(m_tip, WM_GETFONT, 0, 0)));
            SIZE letter{};
            GetTextExtentPoint32W(screen, L"W", 1, &letter);
            SelectObject(screen, previous);
            ReleaseDC(m_tip, screen);
            text = wide(RecordText::tooltip(m_records[static_cast<std::size_t>(m_tipRow)],
                                            RecordText::tipLineLength(monitor.rcWork.right - monitor.rcWork.left,
                                                                      letter.cx)));
        }
        // Measuring the row above may have asked the list for its text: the tooltip
        // has a buffer of its own.
        m_tipText = std::move(text);
        info.lpszText = m_tipText.data();
        info.hinst = nullptr;
        return true;
    }
    if (header.hwndFrom != m_list)
        return false;
    switch (header.code) {
    case LVN_GETDISPINFOW: {
        auto &item = const_cast<NMLVDISPINFOW &>(reinterpret_cast<const NMLVDISPINFOW &>(header)).item;
        if ((item.mask & LVIF_TEXT) && item.iItem >= 0 && static_cast<std::size_t>(item.iItem) < m_records.size()) {
            // The list reads the text before it asks for the next row, so one buffer serves.
            m_rowText = wide(RecordText::row(m_records[static_cast<std::size_t>(item.iItem)]));
            item.pszText = m_rowText.data();
        }
        return true;
    }
    case LVN_KEYDOWN: {
        const auto &key = reinterpret_cast<const NMLVKEYDOWN &>(header);
        if (GetKeyState(VK_CONTROL) < 0 && key.wVKey == 'A')
            run(ListMenu::Command::SelectAll);
        else if (GetKeyState(VK_CONTROL) < 0 && (key.wVKey == 'C' || key.wVKey == VK_INSERT))
            run(ListMenu::Command::Copy);
        return true;
    }
    case LVN_ODFINDITEMW:
        result = -1; // no search by typing: every record starts with its number
        return true;
    default:
        return false;
    }
}

void Win32RecordList::showMenu(POINT at)
{
    if (at.x == -1 && at.y == -1) {
        // From the keyboard: at the focused row when it is in sight, else the corner.
        RECT client{};
        GetClientRect(m_list, &client);
        RECT row{};
        row.left = LVIR_BOUNDS;
        const int focused = ListView_GetNextItem(m_list, -1, LVNI_FOCUSED);
        RECT shown{};
        if (focused >= 0 &&
            SendMessageW(m_list, LVM_GETITEMRECT, static_cast<WPARAM>(focused), reinterpret_cast<LPARAM>(&row)) &&
            IntersectRect(&shown, &row, &client))
            at = {row.left, row.bottom};
        else
            at = {client.left, client.top};
        ClientToScreen(m_list, &at);
    }
    const HMENU menu = CreatePopupMenu();
    const auto items = ListMenu::items(ListView_GetSelectedCount(m_list),
                                       static_cast<std::size_t>(ListView_GetItemCount(m_list)));
    for (std::size_t i = 0; i < items.size(); ++i) {
        std::wstring text(items[i].caption.begin(), items[i].caption.end());
        text += L'\t';
        text.append(items[i].shortcut.begin(), items[i].shortcut.end());
        AppendMenuW(menu, static_cast<UINT>(MF_STRING | (items[i].enabled ? MF_ENABLED : MF_GRAYED)),
                    FirstMenuCommand + static_cast<UINT_PTR>(i), text.c_str());
    }
    const int chosen = static_cast<int>(
        TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON, at.x, at.y, 0, GetParent(m_list), nullptr));
    DestroyMenu(menu);
    if (chosen >= FirstMenuCommand && static_cast<std::size_t>(chosen - FirstMenuCommand) < items.size())
        run(items[static_cast<std::size_t>(chosen - FirstMenuCommand)].command);
}

void Win32RecordList::run(ListMenu::Command command)
{
    if (command == ListMenu::Command::SelectAll) {
        // Painted once when done: some list views redraw every row as it is selected.
        SendMessageW(m_list, WM_SETREDRAW, FALSE, 0);
        ListView_SetItemState(m_list, -1, LVIS_SELECTED, LVIS_SELECTED);
        SendMessageW(m_list, WM_SETREDRAW, TRUE, 0);
        InvalidateRect(m_list, nullptr, FALSE);
    } else {
        copySelection();
    }
}

void Win32RecordList::copySelection()
{
    // Row by row rather than from one selected row to the next, which some list views
    // find by walking the list from its start; a selection of every row needs no asking.
    const int rows = std::min(ListView_GetItemCount(m_list), static_cast<int>(m_records.size()));
    const int selected = static_cast<int>(ListView_GetSelectedCount(m_list));
    std::vector<std::string_view> records;
    records.reserve(static_cast<std::size_t>(std::max(selected, 0)));
    for (int row = 0; row < rows && static_cast<int>(records.size()) < selected; ++row) {
        if (selected == rows || ListView_GetItemState(m_list, row, LVIS_SELECTED))
            records.push_back(m_records[static_cast<std::size_t>(row)]);
    }
    if (records.empty())
        return;
    // Written straight into the clipboard's own memory, of exactly the text's size
    // and zeroed, so nothing but the text and its NUL leaves the program. A copy too
    // large to offer, or without the memory: nothing changes and the user hears it.
    const auto length = ClipboardText::length(records, u"\r\n");
    const HGLOBAL memory =
        length ? GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, (*length + 1) * sizeof(char16_t)) : nullptr;
    auto *out = memory ? static_cast<char16_t *>(GlobalLock(memory)) : nullptr;
    if (!out) {
        if (memory)
            GlobalFree(memory);
        m_feedback.beep();
        return;
    }
    ClipboardText::write(records, u"\r\n", {out, *length});
    GlobalUnlock(memory);
    if (OpenClipboard(GetParent(m_list))) {
        EmptyClipboard();
        const bool taken = SetClipboardData(CF_UNICODETEXT, memory) != nullptr;
        CloseClipboard();
        if (taken)
            return;
    }
    GlobalFree(memory);
    m_feedback.beep();
}

LRESULT CALLBACK Win32RecordList::listProc(HWND list, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                           DWORD_PTR self)
{
    auto &records = *reinterpret_cast<Win32RecordList *>(self);
    switch (message) {
    case WM_MOUSEMOVE: {
        // A tooltip belongs to one row: moving to another hides it, and the next one
        // asks for that row's text.
        LVHITTESTINFO hit{};
        hit.pt = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        const int row = ListView_HitTest(list, &hit);
        if (row != records.m_tipRow) {
            records.m_tipRow = row;
            SendMessageW(records.m_tip, TTM_POP, 0, 0);
        }
        break;
    }
    case WM_GETOBJECT:
        if (static_cast<LONG>(lParam) == static_cast<LONG>(OBJID_CLIENT)) {
            if (const LRESULT object = Win32ListAccessible::answer(list, records.m_records, wParam))
                return object;
        }
        break;
    default:
        break;
    }
    return DefSubclassProc(list, message, wParam, lParam);
}
