#pragma once

#include <QStyledItemDelegate>

// Draws List1's rows. A row is as wide as the list, and a record too long for it is cut
// with "…" at the right edge, so the list never scrolls sideways, whatever the page;
// the whole record is there for Copia and for screen readers. While the pointer rests
// on a row that is cut, a tooltip shows its record in lines of 100 characters, up to
// 3,000 of them: a record can be far longer than a screen holds.
class RecordDelegate final : public QStyledItemDelegate
{
    Q_OBJECT

public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    bool helpEvent(QHelpEvent *event, QAbstractItemView *view, const QStyleOptionViewItem &option,
                   const QModelIndex &index) override;
};
