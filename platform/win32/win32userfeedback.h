#pragma once

#include "platform/userfeedback.h"

// The beep, the message box and the hourglass through the Windows API.
class Win32UserFeedback final : public UserFeedback
{
public:
    void beep() override;
    void messageBox(std::string_view text) override;
    void setBusyPointer(bool busy) override;
};
