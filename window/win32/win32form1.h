#pragma once

#include "browse/filedialogcomponent.h"
#include "window/form1.h"
#include "window/form1layout.h"
#include "window/form1view.h"
#include "window/win32/win32droptarget.h"

#include <windows.h>

#include <array>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

class FileLayer;
class UserFeedback;
class Win32RecordList;

// Form1 on Win32: creates the controls from the window's layout, converted from twips
// with the window's DPI, hands every event to the window's logic and shows what it
// asks for. It decides nothing itself.
class Win32Form1 final : private Form1View
{
public:
    // Without a dialog component the window makes the system's open-file dialog;
    // without a file layer it uses the system's.
    explicit Win32Form1(HINSTANCE instance, UserFeedback &feedback,
                        std::unique_ptr<FileDialogComponent> dialog = nullptr, FileLayer *files = nullptr);
    ~Win32Form1() override;
    Win32Form1(const Win32Form1 &) = delete;
    Win32Form1 &operator=(const Win32Form1 &) = delete;

    // Null once the window is closed.
    HWND window() const { return m_window; }
    // The control of that name in the layout ("Text1", "Command1", "List1", ...), or null.
    HWND control(std::string_view name) const;
    // List1's tooltip.
    HWND listTooltip() const;
    // What the window registered to take files dragged onto it.
    IDropTarget *dropTarget() { return &m_dropTarget; }

    // The page the program was handed at start, before the window is shown.
    void openPage(std::u16string_view page) { m_form.openPage(page); }

    // Gives Tab, Shift+Tab and the arrow keys to the dialog manager; true when it took
    // the message, which must then not be dispatched again.
    bool handleDialogKey(MSG &message);

private:
    static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
    void command(int commandId, int code);
    void layOut(UINT dpi);
    bool dropFile(POINT at, const std::u16string &file);
    HWND control(Form1Layout::Id id) const { return m_controls[static_cast<std::size_t>(id)]; }
    // The control `window` is, if any.
    std::optional<Form1Layout::Id> idOf(HWND window) const;

    // Form1View
    std::u16string text(Field field) const override;
    void setText(Field field, std::u16string_view text) override;
    void setScanEnabled(bool enabled) override;
    std::optional<Form1Layout::Id> focused() const override;
    void moveFocus(Form1Layout::Id control) override;
    void paintNow() override;
    void discardInput() override;
    void showRecords(std::size_t count) override;
    void closeWindow() override;

    Form1 m_form;
    Win32DropTarget m_dropTarget;
    bool m_oleStarted = false;
    HWND m_window = nullptr;
    std::array<HWND, Form1Layout::Controls.size()> m_controls{}; // in the layout's order
    std::unique_ptr<Win32RecordList> m_list;
    HFONT m_font = nullptr;
    HWND m_lastFocus = nullptr;
};
