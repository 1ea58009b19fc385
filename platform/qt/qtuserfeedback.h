#pragma once

#include "platform/userfeedback.h"

#include <QPointer>
#include <QWidget>

// The desktop services through Qt.
class QtUserFeedback final : public UserFeedback
{
public:
    void beep() override;
    void messageBox(std::string_view text) override;
    void setBusyPointer(bool busy) override;

    // The window messages open over and are modal to; without one, the active window.
    void setOwner(QWidget *owner) { m_owner = owner; }

private:
    bool m_busy = false;
    QPointer<QWidget> m_owner;
};
