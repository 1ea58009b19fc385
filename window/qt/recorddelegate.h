#pragma once

#include <QPointer>
#include <QStyledItemDelegate>

class RecordToolTip;

// Draws List1's rows. A row is as wide as the list, and a record too long for it is cut
// with "…" at the right edge, so the list never scrolls sideways, whatever the page;
// the whole record is there for Copia and for screen readers. While the pointer rests
// on a row that is cut, a tooltip shows the record as RecordText lays it out.
class RecordDelegate final : public QStyledItemDelegate
{
    Q_OBJECT

public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    bool helpEvent(QHelpEvent *event, QAbstractItemView *view, const QStyleOptionViewItem &option,
                   const QModelIndex &index) override;

private:
    QPointer<RecordToolTip> m_tip;
};
