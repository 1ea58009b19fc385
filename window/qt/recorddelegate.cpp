#include "window/qt/recorddelegate.h"

#include "window/qt/recordlistmodel.h"
#include "window/qt/recordtooltip.h"
#include "window/recordtext.h"

#include <QAbstractItemView>
#include <QHelpEvent>
#include <QScreen>

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
    const auto *model = qobject_cast<const RecordListModel *>(index.model());
    if (!event || event->type() != QEvent::ToolTip || !model)
        return QStyledItemDelegate::helpEvent(event, view, option, index);
    if (!m_tip)
        m_tip = new RecordToolTip(view->viewport());

    // Cut when the row holds less than the record, or more than the room the style
    // gives its text, less the margins it keeps inside it.
    QStyleOptionViewItem item = option;
    initStyleOption(&item, index);
    QStyle *const style = view->style();
    const int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, &item, view) + 1;
    const int room = style->subElementRect(QStyle::SE_ItemViewItemText, &item, view).width() - 2 * margin;
    const std::string_view record = model->record(index.row());
    const bool cut = RecordText::rowIsCut(record) || item.fontMetrics.horizontalAdvance(item.text) > room;
    if (!cut) {
        m_tip->hide();
        return true;
    }
    const QScreen *screen = view->screen();
    const auto lineLength = RecordText::tipLineLength(screen ? screen->availableGeometry().width() : 0,
                                                      m_tip->fontMetrics().horizontalAdvance(QLatin1Char('W')));
    m_tip->showText(event->globalPos(), QString::fromStdU16String(RecordText::tooltip(record, lineLength)),
                    option.rect);
    return true;
}
