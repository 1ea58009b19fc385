#include "window/qt/qtform1.h"

#include "browse/qt/qtfiledialogcomponent.h"
#include "platform/filelayer.h"
#include "platform/userfeedback.h"
#include "window/fileaddress.h"
#include "window/form1layout.h"
#include "window/listmenu.h"
#include "window/qt/copiedrecords.h"
#include "window/qt/recorddelegate.h"
#include "window/qt/recordlistmodel.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDropEvent>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QScreen>
#include <QUrl>
#include <QWindow>

#include <algorithm>
#include <new>
#include <optional>

namespace {

using Layout = Form1Layout;
using Id = Form1Layout::Id;

QString toQString(std::u16string_view text)
{
    return QString(reinterpret_cast<const QChar *>(text.data()), static_cast<qsizetype>(text.size()));
}

// Logical pixels: Qt's high-DPI scaling does the rest.
QRect pixels(const Layout::Twips &twips)
{
    return {Layout::pixels(twips.left, Layout::LogicalDpi), Layout::pixels(twips.top, Layout::LogicalDpi),
            Layout::pixels(twips.width, Layout::LogicalDpi), Layout::pixels(twips.height, Layout::LogicalDpi)};
}

// The first file of a drag that names one on this machine; nothing when there is none.
std::optional<std::u16string> firstLocalFile(const QMimeData &data)
{
    for (const QUrl &url : data.urls()) {
        const QByteArray address = url.toEncoded();
        if (auto name = FileAddress::localName({address.constData(), static_cast<std::size_t>(address.size())}))
            return name;
    }
    return std::nullopt;
}

// Swallows every click, key and wheel turn delivered while it is installed.
class InputSink final : public QObject
{
public:
    bool eventFilter(QObject *, QEvent *event) override
    {
        switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::ShortcutOverride:
        case QEvent::Shortcut:
        case QEvent::Wheel:
            return true;
        default:
            return false;
        }
    }
};

} // namespace

QtForm1::QtForm1(UserFeedback &feedback, std::unique_ptr<FileDialogComponent> dialog, FileLayer *files,
                 std::pmr::memory_resource *listMemory, QWidget *parent)
    : QWidget(parent)
    , m_feedback(feedback)
    , m_form(*this, feedback, dialog ? std::move(dialog) : std::make_unique<QtFileDialogComponent>(this),
             files ? *files : FileLayer::system(), listMemory)
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(toQString(Layout::Title));
    resize(Layout::pixels(Layout::ClientWidth, Layout::LogicalDpi),
           Layout::pixels(Layout::ClientHeight, Layout::LogicalDpi));

    // Created in the table's order, which is the order the focus moves in with Tab.
    for (const Layout::Control *control : Layout::creationOrder())
        create(*control);
    fitFont();
    setAcceptDrops(true);
    centre();

    m_form.load();
}

void QtForm1::centre()
{
    // Where the Windows window opens too, frame included where the window system tells
    // it before the window is shown.
    const QScreen *screen = QGuiApplication::primaryScreen();
    if (!screen || !isWindow())
        return;
    winId();
    const QSize outer = size().grownBy(windowHandle() ? windowHandle()->frameMargins() : QMargins());
    const QRect work = screen->availableGeometry();
    const Layout::Point at =
        Layout::centred({work.x(), work.y(), work.width(), work.height()}, outer.width(), outer.height());
    move(at.x, at.y); // the frame's top-left corner
}

QtForm1::~QtForm1()
{
    // The logic goes before the controls do: no late event of theirs may reach it.
    for (const Id id : {Id::Text1, Id::Text2}) {
        widget(id)->removeEventFilter(this);
        widget(id)->disconnect(this);
    }
}

void QtForm1::create(const Form1Layout::Control &control)
{
    const QString caption = toQString(control.caption);
    const QString name = QString::fromLatin1(control.name.data(), static_cast<qsizetype>(control.name.size()));
    const Id id = Layout::idOf(control);
    QWidget *widget = nullptr;
    switch (control.kind) {
    case Layout::Kind::Label: {
        // Labels take no focus and carry no access key; they name their fields for
        // screen readers once those exist (set below, when the field is made).
        auto *label = new QLabel(caption, this);
        label->setTextFormat(Qt::PlainText);
        m_labels.push_back({label, control.names});
        widget = label;
        break;
    }
    case Layout::Kind::TextBox: {
        auto *field = new QLineEdit(this);
        field->setMaxLength(static_cast<int>(Form1::FieldLength));
        // textChanged, unlike textEdited, also fires when a handler sets the text.
        connect(field, &QLineEdit::textChanged, this, [this, id] { m_form.textChanged(id); });
        field->installEventFilter(this);
        widget = field;
        break;
    }
    case Layout::Kind::Button: {
        auto *button = new QPushButton(caption, this);
        // No button answers Enter or Esc on its own.
        button->setAutoDefault(false);
        button->setDefault(false);
        connect(button, &QPushButton::clicked, this, [this, id] { m_form.click(id); });
        widget = button;
        break;
    }
    case Layout::Kind::List:
        widget = createList(toQString(control.accessibleName));
        break;
    }
    widget->setObjectName(name);
    widget->setGeometry(pixels(control.twips));
    m_controls[static_cast<std::size_t>(id)] = widget;
    for (const auto &[label, names] : m_labels) {
        if (names == control.name)
            label->setBuddy(widget);
    }
}

QListView *QtForm1::createList(const QString &accessibleName)
{
    List1 = new QListView(this);
    List1->setAccessibleName(accessibleName);
    // Records can be many and long: one row height for all keeps layout instant.
    List1->setUniformItemSizes(true);
    List1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    List1->setSelectionMode(QAbstractItemView::ExtendedSelection);
    // Rows as wide as the list, long records cut with "…" at its edge: nothing to
    // scroll to sideways, on any page.
    List1->setItemDelegate(new RecordDelegate(List1));
    List1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_records = new RecordListModel(m_form.records(), List1);
    List1->setModel(m_records);

    // The list's own Ctrl+C would copy the current row's display cut; these actions,
    // active while the list has the focus, come first.
    for (const ListMenu::Item &item : ListMenu::items(0, 0)) {
        auto *action = new QAction(toQString(item.caption), List1);
        action->setShortcut(QKeySequence(toQString(item.shortcut)));
        action->setShortcutContext(Qt::WidgetShortcut);
        connect(action, &QAction::triggered, this, [this, command = item.command] { run(command); });
        List1->addAction(action);
    }
    List1->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(List1, &QWidget::customContextMenuRequested, this,
            [this](QPoint at) { showListMenu(List1->viewport()->mapToGlobal(at)); });
    List1->installEventFilter(this);
    return List1;
}

void QtForm1::fitFont()
{
    // One font for the whole window, as small as the labels' fixed boxes need.
    QFont font = this->font();
    if (font.pointSizeF() <= 0)
        return;
    const double size = Layout::fontPointSize(font.pointSizeF(), [&](double points) {
        QFont trial = font;
        trial.setPointSizeF(points);
        const QFontMetricsF metrics(trial);
        return std::all_of(m_labels.begin(), m_labels.end(), [&](const auto &label) {
            return metrics.horizontalAdvance(label.first->text()) <= label.first->width();
        });
    });
    font.setPointSizeF(size);
    setFont(font);
}

bool QtForm1::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == List1 && event->type() == QEvent::KeyPress) {
        // The menu key and Shift+F10 open the menu at the focused row.
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Menu || (key->key() == Qt::Key_F10 && key->modifiers() == Qt::ShiftModifier)) {
            const QRect row = List1->visualRect(List1->currentIndex());
            const QRect shown = List1->viewport()->rect();
            showListMenu(List1->viewport()->mapToGlobal(row.intersects(shown) ? row.bottomLeft() : shown.topLeft()));
            return true;
        }
    }
    const std::optional<Id> id = idOf(watched);
    if (!id || Layout::control(*id).kind != Layout::Kind::TextBox)
        return QWidget::eventFilter(watched, event);
    // A drag of files is the window's to take; a drag of text is the field's own.
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop:
        return dragFiles(static_cast<QDropEvent *>(event), id);
    case QEvent::FocusOut:
        // Losing the focus by Tab, by a click elsewhere or because the window is no
        // longer active all count; opening the field's own context menu does not.
        if (static_cast<QFocusEvent *>(event)->reason() != Qt::PopupFocusReason)
            m_form.focusLost(*id);
        break;
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}

void QtForm1::showListMenu(const QPoint &globalPos)
{
    // A child of the list, not of the window, whose direct children are the controls.
    auto *menu = new QMenu(List1);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    // Counted from the selection's ranges, not its rows: every row of a large page
    // selected is one range.
    std::size_t selected = 0;
    for (const QItemSelectionRange &range : List1->selectionModel()->selection())
        selected += static_cast<std::size_t>(range.height());
    for (const ListMenu::Item &item : ListMenu::items(selected, static_cast<std::size_t>(m_records->rowCount()))) {
        QAction *action = menu->addAction(toQString(item.caption));
        action->setShortcut(QKeySequence(toQString(item.shortcut)));
        action->setEnabled(item.enabled);
        connect(action, &QAction::triggered, this, [this, command = item.command] { run(command); });
    }
    menu->popup(globalPos);
}

void QtForm1::run(ListMenu::Command command)
{
    if (command == ListMenu::Command::SelectAll) {
        List1->selectAll();
        return;
    }
    if (!List1->selectionModel()->hasSelection())
        return;
    // A copy too large to offer, or one the memory cannot hold: a beep, and the
    // clipboard keeps what it held.
    try {
        if (auto text = m_records->copyText(List1->selectionModel()->selection())) {
            QByteArray utf8 = text->toUtf8();
            text.reset(); // half the memory before the clipboard takes it
            QApplication::clipboard()->setMimeData(new CopiedRecords(std::move(utf8)));
        } else {
            m_feedback.beep();
        }
    } catch (const std::bad_alloc &) {
        m_feedback.beep();
    }
}

bool QtForm1::dragFiles(QDropEvent *event, std::optional<Id> under)
{
    if (!event->mimeData()->hasUrls())
        return false;
    const auto path = firstLocalFile(*event->mimeData());
    const Qt::DropActions possible = event->possibleActions();
    const Form1::DropEffect effect =
        Form1::dropEffect(possible.testFlag(Qt::CopyAction), possible.testFlag(Qt::LinkAction));
    if (!path || effect == Form1::DropEffect::None) {
        event->ignore();
        return true;
    }
    event->setDropAction(effect == Form1::DropEffect::Copy ? Qt::CopyAction : Qt::LinkAction);
    event->accept();
    // A name the window refuses is no drop: the file manager is told it was ignored.
    if (event->type() == QEvent::Drop && !m_form.dropFile(under, *path)) {
        event->setDropAction(Qt::IgnoreAction);
        event->ignore();
    }
    return true;
}

void QtForm1::dragEnterEvent(QDragEnterEvent *event)
{
    if (!dragFiles(event, idOf(childAt(event->position().toPoint()))))
        event->ignore();
}

void QtForm1::dragMoveEvent(QDragMoveEvent *event)
{
    if (!dragFiles(event, idOf(childAt(event->position().toPoint()))))
        event->ignore();
}

void QtForm1::dropEvent(QDropEvent *event)
{
    if (!dragFiles(event, idOf(childAt(event->position().toPoint()))))
        event->ignore();
}

std::optional<Id> QtForm1::idOf(const QObject *object) const
{
    for (; object && object != this; object = object->parent()) {
        const auto found = std::find(m_controls.begin(), m_controls.end(), object);
        if (found != m_controls.end())
            return Id(static_cast<std::size_t>(found - m_controls.begin()));
    }
    return std::nullopt;
}

QLineEdit *QtForm1::field(Field field) const
{
    return static_cast<QLineEdit *>(widget(Form1::controlOf(field)));
}

std::u16string QtForm1::text(Field field) const
{
    return this->field(field)->text().toStdU16String();
}

void QtForm1::setText(Field field, std::u16string_view text)
{
    // QLineEdit emits textChanged before setText returns, which empties Text2.
    this->field(field)->setText(toQString(text));
}

void QtForm1::setScanEnabled(bool enabled)
{
    widget(Id::Command1)->setEnabled(enabled);
}

std::optional<Id> QtForm1::focused() const
{
    return idOf(QApplication::focusWidget());
}

void QtForm1::moveFocus(Id control)
{
    widget(control)->setFocus();
}

void QtForm1::paintNow()
{
    // Painted and handed to the window system before this returns; running the event
    // loop instead could deliver a click in the middle of the scan.
    repaint();
}

void QtForm1::discardInput()
{
    // What the window system queued while the scan ran is delivered now, with nothing
    // enabled yet to act on it, and goes no further.
    InputSink sink;
    QCoreApplication::instance()->installEventFilter(&sink);
    QCoreApplication::processEvents();
    QCoreApplication::instance()->removeEventFilter(&sink);
}

void QtForm1::showRecords(std::size_t count)
{
    m_records->show(count);
}

void QtForm1::closeWindow()
{
    close();
}
