#pragma once

#include <QLabel>

// The tooltip of a cut row. Qt's own tooltip guesses whether its text is rich text,
// and a record is HTML: "<a href=...>" would become a link and "<p>" vanish. This one
// always shows plain text, as given, in the look of the style's tooltips, kept on the
// screen. It hides when the pointer leaves the row, on a click, a key or the wheel,
// and when the window is left.
class RecordToolTip final : public QLabel
{
    Q_OBJECT

public:
    // Owned by the list's viewport, whose pointer moves hide it.
    explicit RecordToolTip(QWidget *viewport);

    // Shows `text` next to `globalPos` while the pointer stays within `row` (in the
    // viewport's coordinates).
    void showText(const QPoint &globalPos, const QString &text, const QRect &row);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    QWidget *m_viewport;
    QRect m_row;
};
