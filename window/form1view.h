#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// What the window's logic needs of a toolkit's window: the two name fields, the scan
// button, the result list and closing. Each front end (Qt, Win32) implements it by
// creating its controls; it decides nothing itself.
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

    // Command1. A front end whose toolkit moves the focus off a disabled button gives
    // it back when the button is enabled again.
    virtual void setScanEnabled(bool enabled) = 0;

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
