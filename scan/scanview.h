#pragma once

#include <string>
#include <string_view>

// What the scan needs of the window: the two names in, messages, the busy state and
// the records out. The window implements it; tests fake it.
class ScanView
{
public:
    virtual ~ScanView() = default;

    // The texts of the two name fields as they stand, in the file system's encoding.
    virtual std::string inputName() const = 0;
    virtual std::string outputName() const = 0;

    // Beep, then a modal message box; returns when the user has closed it.
    virtual void showMessage(std::string_view text) = 0;

    // Disable the scan button, show the busy pointer, then clear the list.
    virtual void enterBusy() = 0;
    virtual void appendRecord(std::string_view record) = 0;
    // Beep, enable the scan button, restore the pointer.
    virtual void leaveBusy() = 0;
};
