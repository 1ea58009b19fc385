#pragma once

#include "window/listmenu.h"

#include <windows.h>

#include <commctrl.h>

#include <cstddef>
#include <string>

class RecordStore;
class UserFeedback;

// List1 on Win32: a virtual list view over the window's record store, which asks for
// the rows it paints, with what Qt's list has: rows as RecordText shows them, a
// tooltip with the whole record for a row shown cut, the context menu of ListMenu
// (also from Shift+F10 and the menu key, at the focused row), Ctrl+A, Ctrl+C, and the
// whole record as each row's text for screen readers.
class Win32RecordList
{
public:
    // `list` is the list view the window created; the tooltip and the menu belong to
    // its parent, whose WM_NOTIFY and WM_CONTEXTMENU come here.
    Win32RecordList(HWND list, const RecordStore &records, UserFeedback &feedback);
    ~Win32RecordList();
    Win32RecordList(const Win32RecordList &) = delete;
    Win32RecordList &operator=(const Win32RecordList &) = delete;

    // The list now shows the store's first `count` records.
    void show(std::size_t count);
    // The list's column as wide as the list, and the tooltip's lines for the font.
    void fitColumn();

    // The parent's WM_NOTIFY from the list or its tooltip; true when handled.
    bool notify(const NMHDR &header, LRESULT &result);
    // The parent's WM_CONTEXTMENU for the list; `at` in screen coordinates, or
    // (-1, -1) from the keyboard.
    void showMenu(POINT at);

    HWND tooltip() const { return m_tip; }

private:
    static LRESULT CALLBACK listProc(HWND list, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR self);
    void run(ListMenu::Command command);
    void copySelection();
    bool rowIsCut(int row) const;

    HWND m_list;
    HWND m_tip = nullptr;
    const RecordStore &m_records;
    UserFeedback &m_feedback;
    int m_tipRow = -1;           // the row under the pointer
    std::wstring m_rowText;      // the text handed to the list last
    std::wstring m_tipText;      // and to the tooltip
};
