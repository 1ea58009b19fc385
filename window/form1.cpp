#include "form1.h"

#include "browseoperation.h"
#include "outputnamerule.h"
#include "qtfiledialogcomponent.h"
#include "recordlistmodel.h"
#include "referencescanner.h"
#include "userfeedback.h"

#include <QFile>
#include <QFocusEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>

#include <algorithm>

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

std::u16string_view utf16(const QString &text)
{
    return {reinterpret_cast<const char16_t *>(text.utf16()), static_cast<std::size_t>(text.size())};
}

QPushButton *button(QWidget *form, const char *name, const QString &caption, QRect geometry)
{
    auto *control = place<QPushButton>(form, name, caption, geometry);
    // No button answers Enter or Esc on its own.
    control->setAutoDefault(false);
    control->setDefault(false);
    return control;
}

} // namespace

Form1::Form1(UserFeedback &feedback, std::unique_ptr<FileDialogComponent> dialog, QWidget *parent)
    : QWidget(parent)
    , m_feedback(feedback)
    , CommonDialog1(dialog ? std::move(dialog) : std::make_unique<QtFileDialogComponent>())
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("PAGESIFT (path e nomi files) dentro una pagina HTML"));
    resize(fromTwips(0, 0, 11880, 8190).size());

    // Every control in one place: name, text, rectangle in twips. Tab order follows below.
    Label1 = place<QLabel>(this, "Label1", QStringLiteral("Nome file di input"), fromTwips(135, 90, 1395, 255));
    Text1 = place<QLineEdit>(this, "Text1", QString(), fromTwips(1575, 90, 4725, 285));
    // textChanged, unlike textEdited, also fires when a handler sets the text.
    connect(Text1, &QLineEdit::textChanged, this, &Form1::clearOutputName);
    Text1->installEventFilter(this);
    Command2 = button(this, "Command2", QStringLiteral("Sfoglia ..."), fromTwips(6405, 90, 1125, 330));
    connect(Command2, &QPushButton::clicked, this, &Form1::browseInput);
    Label2 = place<QLabel>(this, "Label2", QStringLiteral("Nome file di output"), fromTwips(135, 510, 1395, 255));
    Text2 = place<QLineEdit>(this, "Text2", QString(), fromTwips(1575, 525, 4725, 285));
    Text2->installEventFilter(this);
    Command4 = button(this, "Command4", QStringLiteral("Sfoglia ..."), fromTwips(6405, 510, 1125, 330));
    connect(Command4, &QPushButton::clicked, this, &Form1::browseOutput);
    Command1 = button(this, "Command1", QStringLiteral("Ricerca Path e nomi files"), fromTwips(3615, 930, 2460, 375));
    connect(Command1, &QPushButton::clicked, this, &Form1::runScan);
    Command3 = button(this, "Command3", QStringLiteral("F I N E"), fromTwips(6405, 930, 1125, 375));
    connect(Command3, &QPushButton::clicked, this, &Form1::exit);

    List1 = new QListView(this);
    List1->setObjectName(QStringLiteral("List1"));
    List1->setGeometry(fromTwips(105, 1380, 11670, 6690));
    List1->setAccessibleName(QStringLiteral("Risultati"));
    // Records can be many and long: one row height for all keeps layout instant.
    List1->setUniformItemSizes(true);
    List1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_records = new RecordListModel(List1);
    List1->setModel(m_records);

    // The labels name their fields for screen readers; they carry no access key.
    Label1->setBuddy(Text1);
    Label2->setBuddy(Text2);
    fitCaptions({Label1, Label2});

    QWidget *const tabOrder[] = {Text1, Text2, Command1, Command3, Command2, Command4, List1};
    for (std::size_t i = 1; i < std::size(tabOrder); ++i)
        setTabOrder(tabOrder[i - 1], tabOrder[i]);
    Text1->setFocus();

    load();
}

Form1::~Form1() = default;

void Form1::load()
{
    // Setting the input name empties the output name through the change handler; the
    // rule then derives it afresh.
    Text1->setText(QStringLiteral("C:\\VB5\\SITEDOCS\\ROZIZEVAZE.HTM"));
    applyOutputNameRule();
}

void Form1::clearOutputName()
{
    Text2->clear();
}

void Form1::applyOutputNameRule()
{
    const QString input = Text1->text();
    const QString output = Text2->text();
    if (const auto proposal = OutputNameRule::propose(utf16(input), utf16(output)))
        Text2->setText(QString::fromStdU16String(*proposal));
}

bool Form1::eventFilter(QObject *watched, QEvent *event)
{
    // Losing the focus by Tab, by a click elsewhere or because the window is no longer
    // active all count; opening the field's own context menu does not. The rule only
    // ever fills a blank output field, so running it again changes nothing.
    if ((watched == Text1 || watched == Text2) && event->type() == QEvent::FocusOut &&
        static_cast<QFocusEvent *>(event)->reason() != Qt::PopupFocusReason)
        applyOutputNameRule();
    return QWidget::eventFilter(watched, event);
}

void Form1::runScan()
{
    ReferenceScanner(*this, m_counters).run();
}

void Form1::exit()
{
    m_feedback.beep();
    close();
}

void Form1::browseInput()
{
    // Setting a new input name has already emptied the output name, so the rule
    // derives it from the chosen page.
    if (browse(Text1))
        applyOutputNameRule();
}

void Form1::browseOutput()
{
    browse(Text2);
}

bool Form1::browse(QLineEdit *field)
{
    const QString text = field->text();
    const auto outcome = BrowseOperation::run(*CommonDialog1, utf16(text));
    if (outcome.failure) {
        showMessage(BrowseOperation::BrowseErrorMessage(*outcome.failure));
        return false;
    }
    if (!outcome.fieldText)
        return false;
    field->setText(QString::fromStdU16String(*outcome.fieldText));
    return true;
}

std::string Form1::inputName() const
{
    return QFile::encodeName(Text1->text()).toStdString();
}

std::string Form1::outputName() const
{
    return QFile::encodeName(Text2->text()).toStdString();
}

void Form1::showMessage(std::string_view text)
{
    m_records->publish(); // the list shows what was found before the message
    m_feedback.beep();
    m_feedback.messageBox(text);
}

void Form1::enterBusy()
{
    // Disabling the focused button moves the focus on; give it back when idle again.
    m_scanHadFocus = Command1->hasFocus();
    Command1->setEnabled(false);
    m_feedback.setBusyPointer(true);
    m_records->clear();
}

void Form1::appendRecord(std::string_view record)
{
    m_records->append(record);
}

void Form1::leaveBusy()
{
    m_records->publish();
    m_feedback.beep();
    Command1->setEnabled(true);
    if (m_scanHadFocus)
        Command1->setFocus();
    m_feedback.setBusyPointer(false);
}
