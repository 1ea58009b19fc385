#pragma once

#include "platform/userfeedback.h"

// The desktop services through Qt.
class QtUserFeedback final : public UserFeedback
{
public:
    void beep() override;
    void messageBox(std::string_view text) override;
    void setBusyPointer(bool busy) override;

private:
    bool m_busy = false;
};
