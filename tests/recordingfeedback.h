#pragma once

#include "platform/userfeedback.h"

#include <functional>
#include <string>
#include <vector>

// Records beeps, messages and pointer changes in order instead of showing them; a
// message box "closes" at once.
class RecordingFeedback final : public UserFeedback
{
public:
    std::vector<std::string> events;
    std::function<void()> onBusy;    // runs when the busy pointer goes on
    std::function<void()> onMessage; // runs while a message box would be up

    void beep() override { events.emplace_back("beep"); }
    void messageBox(std::string_view text) override
    {
        events.push_back("message: " + std::string(text));
        if (onMessage)
            onMessage();
    }
    void setBusyPointer(bool busy) override
    {
        events.emplace_back(busy ? "busy" : "idle");
        if (busy && onBusy)
            onBusy();
    }
};
