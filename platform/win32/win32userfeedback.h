#pragma once

#include "platform/userfeedback.h"

#include <windows.h>

// The beep, the message box and the hourglass through the Windows API.
class Win32UserFeedback final : public UserFeedback
{
public:
    void beep() override;
    void messageBox(std::string_view text) override;
    void setBusyPointer(bool busy) override;

    // The window messages open over and are modal to; without one, the active window.
    void setOwner(HWND owner) { m_owner = owner; }

private:
    HWND m_owner = nullptr;
};
