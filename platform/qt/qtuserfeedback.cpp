#include "platform/qt/qtuserfeedback.h"

#include <QApplication>
#include <QCursor>
#include <QMessageBox>

void QtUserFeedback::beep()
{
    QApplication::beep();
}

void QtUserFeedback::messageBox(std::string_view text)
{
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("PAGESIFT"),
                    QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())),
                    QMessageBox::Ok, m_owner ? m_owner.data() : QApplication::activeWindow());
    // The text can be taken with the mouse or the keyboard and Ctrl+C, as from a
    // message on Windows, to paste the error into a search or a report.
    box.setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    box.exec();
}

void QtUserFeedback::setBusyPointer(bool busy)
{
    // The override cursor is a stack: push and pop exactly once per busy period.
    if (busy == m_busy)
        return;
    m_busy = busy;
    if (busy)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}
