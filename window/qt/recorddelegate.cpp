#include "window/qt/recorddelegate.h"

#include <QAbstractItemView>
#include <QHelpEvent>
#include <QToolTip>

#include <algorithm>

namespace {

QString tooltipText(const QString &record)
{
    // A tooltip does not wrap plain text, and a path has no spaces to wrap at.
    constexpr qsizetype LineLength = 100;
    constexpr qsizetype Lines = 30;
    QString text;
    qsizetype at = 0;
    for (qsizetype line = 0; line < Lines && at < record.size(); ++line) {
        qsizetype length = std::min(LineLength, record.size() - at);
        if (at + length < record.size() && record[at + length].isLowSurrogate())
            --length; // never split a character
        if (line > 0)
            text += QLatin1Char('\n');
        text += QStringView(record).mid(at, length);
        at += length;
    }
    if (at < record.size())
        text += QChar(0x2026);
    return text;
}

} // namespace

QSize RecordDelegate::sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    // The list makes each row as wide as its viewport but no narrower than this hint;
    // a hint as wide as the text would give it a width to scroll, taken from whichever
    // row it happened to measure.
    QSize hint = QStyledItemDelegate::sizeHint(option, index);
    hint.setWidth(0);
    return hint;
}

bool RecordDelegate::helpEvent(QHelpEvent *event, QAbstractItemView *view, const QStyleOptionViewItem &option,
                               const QModelIndex &index)
{
    if (!event || event->type() != QEvent::ToolTip || !index.isValid())
        return QStyledItemDelegate::helpEvent(event, view, option, index);
    QStyleOptionViewItem item = option;
    initStyleOption(&item, index);
    // The room the style gives the text, less the margins it keeps inside it.
    QStyle *const style = view->style();
    const int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, &item, view) + 1;
    const int room = style->subElementRect(QStyle::SE_ItemViewItemText, &item, view).width() - 2 * margin;
    const QString record = index.data(Qt::AccessibleTextRole).toString();
    if (item.text == record && item.fontMetrics.horizontalAdvance(item.text) <= room) {
        QToolTip::hideText();
        return true; // the row shows the whole record already
    }
    QToolTip::showText(event->globalPos(), tooltipText(record), view->viewport(), option.rect);
    return true;
}

