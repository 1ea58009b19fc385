#pragma once

#include "window/form1layout.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

// What the window's logic needs of a toolkit's window: the two name fields, the scan
// button, the focus, the result list and closing. Each front end (Qt, Win32) implements
// it by creating its controls; it decides nothing itself.
class Form1View
{
public:
    enum class Field { Text1, Text2 };

    virtual ~Form1View() = default;

    virtual std::u16string text(Field field) const = 0;
    // Setting Text1 raises its change event at once, before this returns, as the
    // toolkits do: the front end calls Form1::textChanged(), which ignores a notice
    // that leaves the text as it was.
    virtual void setText(Field field, std::u16string_view text) = 0;

    // Command1.
    virtual void setScanEnabled(bool enabled) = 0;

    // The control that has the keyboard focus, if the window has it; and moving it.
    virtual std::optional<Form1Layout::Id> focused() const = 0;
    virtual void moveFocus(Form1Layout::Id control) = 0;

    // Paints what has changed at once, before this returns, without handling any
    // input: the scan that follows holds the window's only thread until it ends.
    virtual void paintNow() = 0;

    // Throws away the clicks and keys the window has received and not yet handled.
    virtual void discardInput() = 0;

    // List1 now shows the first `count` records of Form1::records(); fewer than it
    // showed before means the list was cleared first.
    virtual void showRecords(std::size_t count) = 0;

    // Unloads the window, which ends the program.
    virtual void closeWindow() = 0;
};
