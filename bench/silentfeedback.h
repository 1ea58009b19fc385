#pragma once

#include "platform/userfeedback.h"

#include <string>

// No sound, no box, no pointer: the window measured on its own. The last message is
// kept so a benchmark can tell a failed scan from a fast one.
class SilentFeedback final : public UserFeedback
{
public:
    std::string lastMessage;

    void beep() override {}
    void messageBox(std::string_view text) override { lastMessage.assign(text); }
    void setBusyPointer(bool) override {}
};
