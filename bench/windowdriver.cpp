#include "bench/windowdriver.h"

#include "window/qt/qtform1.h"
#include "window/qt/recordlistmodel.h"

#include <QApplication>
#include <QClipboard>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEvent>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QTest>

#include <chrono>
#include <stdexcept>

WindowDriver::WindowDriver(QtForm1 &form)
    : m_form(form)
    , m_scanButton(form.findChild<QPushButton *>(QStringLiteral("Command1")))
    , m_list(form.findChild<QListView *>(QStringLiteral("List1")))
{
    if (!m_scanButton || !m_list)
        throw std::runtime_error("Form1 has no Command1 or no List1");
    m_listArea = m_list->viewport();
    m_listArea->installEventFilter(this);
}

void WindowDriver::setNames(const std::string &input, const std::string &output)
{
    // Text1 first: changing it empties Text2.
    m_form.findChild<QLineEdit *>(QStringLiteral("Text1"))->setText(QString::fromStdString(input));
    m_form.findChild<QLineEdit *>(QStringLiteral("Text2"))->setText(QString::fromStdString(output));
}

void WindowDriver::clickAndWaitForPaint()
{
    m_painted = false;
    QTest::mouseClick(m_scanButton, Qt::LeftButton);
    // A window that can no longer paint (no memory left for it, say) ends the
    // measurement instead of hanging it.
    const QDeadlineTimer deadline(std::chrono::minutes(1));
    while (!m_painted) {
        if (deadline.hasExpired())
            throw std::runtime_error("the list was not painted within a minute of the click");
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    }
}

int WindowDriver::rows() const
{
    return m_form.records().rowCount();
}

void WindowDriver::selectAllAndCopy()
{
    m_list->setFocus();
    m_list->clearSelection();
    QTest::keyClick(m_list, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(m_list, Qt::Key_C, Qt::ControlModifier);
}

int WindowDriver::copiedLines() const
{
    const QString text = QApplication::clipboard()->text();
    return text.isEmpty() ? 0 : static_cast<int>(text.count(QLatin1Char('\n'))) + 1;
}

bool WindowDriver::showFirstRowsTooltip()
{
    const QPoint at = m_list->visualRect(m_list->model()->index(0, 0)).center();
    QHelpEvent event(QEvent::ToolTip, at, m_listArea->mapToGlobal(at));
    QApplication::sendEvent(m_listArea, &event);
    auto *tip = m_listArea->findChild<QWidget *>(QStringLiteral("recordToolTip"));
    if (!tip || !tip->isVisible())
        return false;
    tip->repaint(); // painted before the time is taken
    tip->hide();
    return true;
}

bool WindowDriver::eventFilter(QObject *watched, QEvent *event)
{
    // The paint is delivered inside processEvents(), which returns once it is done, so
    // the time taken includes the painting itself.
    if (watched == m_listArea && event->type() == QEvent::Paint)
        m_painted = true;
    return QObject::eventFilter(watched, event);
}
