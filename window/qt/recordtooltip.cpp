#include "window/qt/recordtooltip.h"

#include <QApplication>
#include <QEvent>
#include <QMouseEvent>
#include <QScreen>
#include <QStyle>
#include <QStyleOption>
#include <QStylePainter>
#include <QToolTip>
#include <QWindow>

#include <algorithm>

RecordToolTip::RecordToolTip(QWidget *viewport)
    : QLabel(viewport, Qt::ToolTip | Qt::BypassGraphicsProxyWidget)
    , m_viewport(viewport)
{
    setObjectName(QStringLiteral("recordToolTip"));
    setTextFormat(Qt::PlainText);
    setWordWrap(false); // the lines come broken already
    setForegroundRole(QPalette::ToolTipText);
    setBackgroundRole(QPalette::ToolTipBase);
    setPalette(QToolTip::palette());
    setFont(QToolTip::font());
    setMargin(1 + style()->pixelMetric(QStyle::PM_ToolTipLabelFrameWidth, nullptr, this));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    m_viewport->installEventFilter(this);
    if (QWidget *view = m_viewport->parentWidget())
        view->installEventFilter(this);
    qApp->installEventFilter(this); // a click or a key anywhere, the window left
}

void RecordToolTip::showText(const QPoint &globalPos, const QString &text, const QRect &row)
{
    m_row = row;
    setText(text);
    adjustSize();
    // Below and right of the pointer, as tooltips go, but never off the screen, frame
    // included where the window system draws one.
    winId();
    const QMargins frame = windowHandle() ? windowHandle()->frameMargins() : QMargins();
    const QSize outer = size().grownBy(frame);
    const QScreen *screen = QGuiApplication::screenAt(globalPos);
    const QRect room = screen ? screen->availableGeometry() : QRect(globalPos, outer);
    QPoint at = globalPos + QPoint(2, 16);
    if (at.x() + outer.width() > room.x() + room.width())
        at.setX(room.x() + room.width() - outer.width());
    if (at.y() + outer.height() > room.y() + room.height())
        at.setY(globalPos.y() - 4 - outer.height());
    at.setX(std::max(at.x(), room.left()));
    at.setY(std::max(at.y(), room.top()));
    move(at); // the frame's top-left corner
    show();
    raise();
}

bool RecordToolTip::eventFilter(QObject *watched, QEvent *event)
{
    if (!isVisible())
        return false;
    switch (event->type()) {
    case QEvent::MouseMove:
        if (watched == m_viewport && !m_row.contains(static_cast<QMouseEvent *>(event)->position().toPoint()))
            hide();
        break;
    case QEvent::Leave:
    case QEvent::Hide:
        if (watched == m_viewport)
            hide();
        break;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::KeyPress:
    case QEvent::Wheel:
    case QEvent::ApplicationDeactivate:
    case QEvent::WindowDeactivate:
        hide();
        break;
    default:
        break;
    }
    return false;
}

void RecordToolTip::paintEvent(QPaintEvent *event)
{
    QStylePainter painter(this);
    QStyleOptionFrame frame;
    frame.initFrom(this);
    painter.drawPrimitive(QStyle::PE_PanelTipLabel, frame);
    painter.end();
    QLabel::paintEvent(event);
}
