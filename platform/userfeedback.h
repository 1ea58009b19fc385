#pragma once

#include <string_view>

// The desktop services every message and every scan uses: the beep, a modal message
// box and the screen-wide pointer. Behind one interface so tests can watch them.
class UserFeedback
{
public:
    virtual ~UserFeedback() = default;

    virtual void beep() = 0;
    // A modal box with the text (UTF-8), an OK button and no icon; returns when closed.
    virtual void messageBox(std::string_view text) = 0;
    // The hourglass over the whole screen while true, the default pointer otherwise.
    virtual void setBusyPointer(bool busy) = 0;
};
