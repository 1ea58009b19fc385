#pragma once

#include <QObject>

#include <string>

class QtForm1;
class QListView;
class QPushButton;
class QWidget;

// Drives Form1 the way a user does: names in the two fields, a click on "Ricerca Path
// e nomi files", then waits until the result list has painted.
class WindowDriver final : public QObject
{
public:
    explicit WindowDriver(QtForm1 &form);

    void setNames(const std::string &input, const std::string &output);
    // Clicks the scan button and returns once the list has painted since the click.
    // The scan itself runs inside the click.
    void clickAndWaitForPaint();
    int rows() const;
    // Ctrl+A, then Ctrl+C in the result list, as keys; the copy is done on return.
    void selectAllAndCopy();
    // The lines the clipboard holds.
    int copiedLines() const;
    // The pointer rests on the first row; true once its tooltip is shown, which it
    // then hides again.
    bool showFirstRowsTooltip();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QtForm1 &m_form;
    QPushButton *m_scanButton = nullptr;
    QListView *m_list = nullptr;
    QWidget *m_listArea = nullptr;
    bool m_painted = false;
};
