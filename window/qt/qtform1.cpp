#include "window/qt/qtform1.h"

#include "browse/qt/qtfiledialogcomponent.h"
#include "platform/filelayer.h"
#include "platform/userfeedback.h"
#include "window/qt/recorddelegate.h"
#include "window/qt/recordlistmodel.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDropEvent>
#include <QFocusEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QUrl>

#include <algorithm>
#include <new>

namespace {

// The layout is fixed in twips, 15 to a logical pixel; Qt's high-DPI scaling does the rest.
constexpr int TwipsPerPixel = 15;

constexpr QRect fromTwips(int left, int top, int width, int height)
{
    return {left / TwipsPerPixel, top / TwipsPerPixel, width / TwipsPerPixel, height / TwipsPerPixel};
}

template <typename Control>
Control *place(QWidget *form, const char *name, const QString &text, QRect geometry)
{
    auto *control = new Control(text, form);
    control->setObjectName(QLatin1StringView(name));
    control->setGeometry(geometry);
    return control;
}

// The fixed boxes were drawn for a narrow system font; rather than cut a caption off
// with a wider one, shrink the labels' font (the same for all, so they match) until
// every caption fits its box.
void fitCaptions(std::initializer_list<QLabel *> labels)
{
    constexpr qreal SmallestReadable = 6.0;
    QFont font = (*labels.begin())->font();
    const auto fits = [&] {
        return std::all_of(labels.begin(), labels.end(), [&](QLabel *label) {
            return QFontMetricsF(font).horizontalAdvance(label->text()) <= label->width();
        });
    };
    while (font.pointSizeF() > SmallestReadable && !fits())
        font.setPointSizeF(font.pointSizeF() - 0.5);
    for (QLabel *label : labels)
        label->setFont(font);
}

QPushButton *button(QWidget *form, const char *name, const QString &caption, QRect geometry)
{
    auto *control = place<QPushButton>(form, name, caption, geometry);
    // No button answers Enter or Esc on its own.
    control->setAutoDefault(false);
    control->setDefault(false);
    return control;
}

// The first file of a drag that names one on this machine; empty when there is none.
QString firstLocalFile(const QMimeData &data)
{
    for (const QUrl &url : data.urls()) {
        if (url.isLocalFile() && !url.toLocalFile().isEmpty())
            return url.toLocalFile();
    }
    return {};
}

} // namespace

QtForm1::QtForm1(UserFeedback &feedback, std::unique_ptr<FileDialogComponent> dialog, FileLayer *files,
                 QWidget *parent)
    : QWidget(parent)
    , m_feedback(feedback)
    , m_form(*this, feedback, dialog ? std::move(dialog) : std::make_unique<QtFileDialogComponent>(),
             files ? *files : FileLayer::system())
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("PAGESIFT (path e nomi files) dentro una pagina HTML"));
    resize(fromTwips(0, 0, 11880, 8190).size());

    // Every control in one place: name, text, rectangle in twips. Tab order follows below.
    Label1 = place<QLabel>(this, "Label1", QStringLiteral("Nome file di input"), fromTwips(135, 90, 1395, 255));
    Text1 = place<QLineEdit>(this, "Text1", QString(), fromTwips(1575, 90, 4725, 285));
    // textChanged, unlike textEdited, also fires when a handler sets the text.
    connect(Text1, &QLineEdit::textChanged, this, [this] { m_form.clearOutputName(); });
    Text1->installEventFilter(this);
    Command2 = button(this, "Command2", QStringLiteral("Sfoglia ..."), fromTwips(6405, 90, 1125, 330));
    connect(Command2, &QPushButton::clicked, this, [this] { m_form.browseInput(); });
    Label2 = place<QLabel>(this, "Label2", QStringLiteral("Nome file di output"), fromTwips(135, 510, 1395, 255));
    Text2 = place<QLineEdit>(this, "Text2", QString(), fromTwips(1575, 525, 4725, 285));
    Text2->installEventFilter(this);
    Command4 = button(this, "Command4", QStringLiteral("Sfoglia ..."), fromTwips(6405, 510, 1125, 330));
    connect(Command4, &QPushButton::clicked, this, [this] { m_form.browseOutput(); });
    Command1 = button(this, "Command1", QStringLiteral("Ricerca Path e nomi files"), fromTwips(3615, 930, 2460, 375));
    connect(Command1, &QPushButton::clicked, this, [this] { m_form.runScan(); });
    Command3 = button(this, "Command3", QStringLiteral("F I N E"), fromTwips(6405, 930, 1125, 375));
    connect(Command3, &QPushButton::clicked, this, [this] { m_form.exit(); });

    List1 = new QListView(this);
    List1->setObjectName(QStringLiteral("List1"));
    List1->setGeometry(fromTwips(105, 1380, 11670, 6690));
    List1->setAccessibleName(QStringLiteral("Risultati"));
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
    createListActions();
    setAcceptDrops(true);

    // The labels name their fields for screen readers; they carry no access key.
    Label1->setBuddy(Text1);
    Label2->setBuddy(Text2);
    fitCaptions({Label1, Label2});

    QWidget *const tabOrder[] = {Text1, Text2, Command1, Command3, Command2, Command4, List1};
    for (std::size_t i = 1; i < std::size(tabOrder); ++i)
        setTabOrder(tabOrder[i - 1], tabOrder[i]);
    Text1->setFocus();

    m_form.load();
}

QtForm1::~QtForm1()
{
    // The logic goes before the controls do: no late event of theirs may reach it.
    Text1->removeEventFilter(this);
    Text2->removeEventFilter(this);
    Text1->disconnect(this);
}

bool QtForm1::eventFilter(QObject *watched, QEvent *event)
{
    // A drag of files is the window's to take; a drag of text is the field's own.
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop:
        if (watched == Text1 || watched == Text2)
            return dragFiles(static_cast<QDropEvent *>(event), watched == Text1 ? Field::Text1 : Field::Text2);
        break;
    default:
        break;
    }
    // Losing the focus by Tab, by a click elsewhere or because the window is no longer
    // active all count; opening the field's own context menu does not. The rule only
    // ever fills a blank output field, so running it again changes nothing.
    if ((watched == Text1 || watched == Text2) && event->type() == QEvent::FocusOut &&
        static_cast<QFocusEvent *>(event)->reason() != Qt::PopupFocusReason)
        m_form.applyOutputNameRule();
    return QWidget::eventFilter(watched, event);
}

void QtForm1::createListActions()
{
    // The list's own Ctrl+C would copy the current row's display cut; these shortcuts,
    // active while the list has the focus, come first.
    auto *copy = new QAction(QStringLiteral("Copia"), List1);
    copy->setShortcut(QKeySequence::Copy);
    copy->setShortcutContext(Qt::WidgetShortcut);
    connect(copy, &QAction::triggered, this, [this] { copySelectedRecords(); });
    auto *selectAll = new QAction(QStringLiteral("Seleziona tutto"), List1);
    selectAll->setShortcut(QKeySequence::SelectAll);
    selectAll->setShortcutContext(Qt::WidgetShortcut);
    connect(selectAll, &QAction::triggered, List1, &QListView::selectAll);
    List1->addActions({copy, selectAll});

    // A child of the list, not of the window, whose direct children are the controls.
    m_listMenu = new QMenu(List1);
    m_listMenu->addActions({copy, selectAll});
    connect(m_listMenu, &QMenu::aboutToShow, this, [this, copy, selectAll] {
        copy->setEnabled(List1->selectionModel()->hasSelection());
        selectAll->setEnabled(m_records->rowCount() > 0);
    });
    // The shortcuts work whatever the menu last showed.
    connect(m_listMenu, &QMenu::aboutToHide, this, [copy, selectAll] {
        copy->setEnabled(true);
        selectAll->setEnabled(true);
    });
    List1->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(List1, &QWidget::customContextMenuRequested, this,
            [this](QPoint at) { m_listMenu->popup(List1->viewport()->mapToGlobal(at)); });
}

void QtForm1::copySelectedRecords()
{
    if (!List1->selectionModel()->hasSelection())
        return;
    // The worst legal page's records take 2 GiB as text: when that much memory is not
    // there, a beep and the clipboard keeps what it held.
    try {
        QApplication::clipboard()->setText(m_records->copyText(List1->selectionModel()->selection()));
    } catch (const std::bad_alloc &) {
        m_feedback.beep();
    }
}

bool QtForm1::dragFiles(QDropEvent *event, Field target)
{
    if (!event->mimeData()->hasUrls())
        return false;
    const QString path = firstLocalFile(*event->mimeData());
    // Only the name is taken: a drop accepted as a move could make the file manager
    // delete the file.
    const Qt::DropActions possible = event->possibleActions();
    const Qt::DropAction action = possible & Qt::CopyAction   ? Qt::CopyAction
                                  : possible & Qt::LinkAction ? Qt::LinkAction
                                                              : Qt::IgnoreAction;
    if (path.isEmpty() || action == Qt::IgnoreAction) {
        event->ignore();
        return true;
    }
    event->setDropAction(action);
    event->accept();
    if (event->type() == QEvent::Drop)
        m_form.dropFile(target, path.toStdU16String());
    return true;
}

void QtForm1::dragEnterEvent(QDragEnterEvent *event)
{
    if (!dragFiles(event, Field::Text1))
        event->ignore();
}

void QtForm1::dragMoveEvent(QDragMoveEvent *event)
{
    if (!dragFiles(event, Field::Text1))
        event->ignore();
}

void QtForm1::dropEvent(QDropEvent *event)
{
    if (!dragFiles(event, Field::Text1))
        event->ignore();
}

QLineEdit *QtForm1::field(Field field) const
{
    return field == Field::Text1 ? Text1 : Text2;
}

std::u16string QtForm1::text(Field field) const
{
    return this->field(field)->text().toStdU16String();
}

void QtForm1::setText(Field field, std::u16string_view text)
{
    // QLineEdit emits textChanged before setText returns, which empties Text2.
    this->field(field)->setText(QString(reinterpret_cast<const QChar *>(text.data()), static_cast<qsizetype>(text.size())));
}

void QtForm1::setScanEnabled(bool enabled)
{
    // Disabling the focused button moves the focus on; give it back when idle again.
    if (!enabled)
        m_scanHadFocus = Command1->hasFocus();
    Command1->setEnabled(enabled);
    if (enabled && m_scanHadFocus)
        Command1->setFocus();
}

void QtForm1::showRecords(std::size_t count)
{
    m_records->show(count);
}

void QtForm1::closeWindow()
{
    close();
}
