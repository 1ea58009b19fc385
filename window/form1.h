#pragma once

#include "filedialogcomponent.h"
#include "scancounters.h"
#include "scanview.h"

#include <QWidget>

#include <memory>

class QLabel;
class QLineEdit;
class QListView;
class QPushButton;
class RecordListModel;
class UserFeedback;

// The program's only window. It owns the controls and the scan counters and routes
// each user event to the logic; it never reads or writes a file itself.
class Form1 final : public QWidget, private ScanView
{
    Q_OBJECT

public:
    // Without a dialog component the window makes Qt's own.
    explicit Form1(UserFeedback &feedback, std::unique_ptr<FileDialogComponent> dialog = nullptr,
                   QWidget *parent = nullptr);
    ~Form1() override;

    const RecordListModel &records() const { return *m_records; }

    // Proposes the output name from the input name when the output field is blank.
    void applyOutputNameRule();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void load();
    void clearOutputName();
    void runScan();
    void exit();
    void browseInput();
    void browseOutput();
    bool browse(QLineEdit *field);

    // ScanView
    std::string inputName() const override;
    std::string outputName() const override;
    void showMessage(std::string_view text) override;
    void enterBusy() override;
    void appendRecord(std::string_view record) override;
    void leaveBusy() override;

    UserFeedback &m_feedback;
    ScanCounters m_counters;
    bool m_scanHadFocus = false;

    QLabel *Label1 = nullptr;
    QLineEdit *Text1 = nullptr;
    QPushButton *Command2 = nullptr;
    QLabel *Label2 = nullptr;
    QLineEdit *Text2 = nullptr;
    QPushButton *Command4 = nullptr;
    QPushButton *Command1 = nullptr;
    QPushButton *Command3 = nullptr;
    QListView *List1 = nullptr;
    RecordListModel *m_records = nullptr;
    std::unique_ptr<FileDialogComponent> CommonDialog1;
};
