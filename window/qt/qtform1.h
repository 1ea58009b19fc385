#pragma once

#include "browse/filedialogcomponent.h"
#include "window/form1.h"
#include "window/form1layout.h"
#include "window/form1view.h"
#include "window/listmenu.h"

#include <QWidget>

#include <array>
#include <memory>
#include <memory_resource>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

class FileLayer;
class QDropEvent;
class QLabel;
class QLineEdit;
class QListView;
class RecordListModel;
class UserFeedback;

// Form1 on Qt: creates the controls from the window's layout, hands every event to the
// window's logic and shows what it asks for. It decides nothing itself.
class QtForm1 final : public QWidget, private Form1View
{
    Q_OBJECT

public:
    // Without a dialog component the window makes Qt's own; without a file layer it
    // uses the system's. The list takes its memory from `listMemory`.
    explicit QtForm1(UserFeedback &feedback, std::unique_ptr<FileDialogComponent> dialog = nullptr,
                     FileLayer *files = nullptr,
                     std::pmr::memory_resource *listMemory = std::pmr::get_default_resource(),
                     QWidget *parent = nullptr);
    ~QtForm1() override;

    // The page the program was handed at start, before the window is shown.
    void openPage(std::u16string_view page) { m_form.openPage(page); }

    const RecordListModel &records() const { return *m_records; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    // Files dragged over the labels, the buttons, the list or between the controls;
    // the logic picks the field.
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    void create(const Form1Layout::Control &control);
    QListView *createList(const QString &accessibleName);
    void centre();
    void fitFont();
    QWidget *widget(Form1Layout::Id control) const { return m_controls[static_cast<std::size_t>(control)]; }
    // The control `object` is or belongs to (the list's viewport is the list's), if any.
    std::optional<Form1Layout::Id> idOf(const QObject *object) const;
    QLineEdit *field(Field field) const;
    void showListMenu(const QPoint &globalPos);
    void run(ListMenu::Command command);
    // Takes a drag that holds addresses, whether it has a local file to drop over the
    // control `under` or not; false leaves a drag of text to the field under it.
    bool dragFiles(QDropEvent *event, std::optional<Form1Layout::Id> under);

    // Form1View
    std::u16string text(Field field) const override;
    void setText(Field field, std::u16string_view text) override;
    void setScanEnabled(bool enabled) override;
    std::optional<Form1Layout::Id> focused() const override;
    void moveFocus(Form1Layout::Id control) override;
    void paintNow() override;
    void discardInput() override;
    void showRecords(std::size_t count) override;
    void closeWindow() override;

    UserFeedback &m_feedback;
    Form1 m_form;

    std::array<QWidget *, Form1Layout::Controls.size()> m_controls{}; // in the layout's order
    QListView *List1 = nullptr;
    RecordListModel *m_records = nullptr;
    std::vector<std::pair<QLabel *, std::string_view>> m_labels; // and the control each names
};
