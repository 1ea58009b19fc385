#include "window/qt/qtform1.h"
#include "window/recordtext.h"
#include "tests/designedwindow.h"
#include "tests/recordingdialog.h"
#include "tests/recordingfeedback.h"
#include "window/qt/recordlistmodel.h"
#include "tests/scratchfolder.h"
#include "platform/qt/qtuserfeedback.h"

#include <QAccessible>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QMouseEvent>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QScopeGuard>
#include <QTimer>
#include <QTest>
#include <QToolTip>
#include <QWindow>

#include <algorithm>
#include <map>
#include <memory>
#include <utility>

using Events = std::vector<std::string>;

class TestForm1 : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void layout_data();
    void layout();
    void windowFrame();
    void noTwoControlsOverlap();
    void tabOrderFollowsTheTable();
    void noButtonAnswersEnterOrEscape();
    void controlsHaveAccessibleNames();

    void startUpState();
    void anyChangeOfInputEmptiesOutputAtOnce_data();
    void anyChangeOfInputEmptiesOutputAtOnce();
    void leavingInputProposesOutput_data();
    void leavingInputProposesOutput();
    void leavingOutputKeepsANameAndRefillsABlank_data();
    void leavingOutputKeepsANameAndRefillsABlank();
    void blankInputLeavesOutputBlank();

    void scan_data();
    void scan();
    void scanShowsBusyStateWhileRunning();
    void listRowsAreAccessibleItems();
    void longRecordsAreShownCutButReadWhole();
    void invisibleCharactersShowVisibly();

    void selectedRecordsCopyWhole_data();
    void selectedRecordsCopyWhole();
    void listMenu_data();
    void listMenu();
    void longRecordsAreCutAtTheEdgeOnAnyPage_data();
    void longRecordsAreCutAtTheEdgeOnAnyPage();
    void cutRecordsShowInATooltip_data();
    void cutRecordsShowInATooltip();

    void drop_data();
    void drop();

    void browse_data();
    void browse();
    void browseFailureIsReported();
    void messageTextCanBeCopied();

    void finishBeepsThenCloses();
    void closeBoxDoesNotBeep();

private:
    template <typename T>
    T *control(const char *name) const
    {
        auto *widget = m_form->findChild<T *>(QLatin1StringView(name));
        if (!widget)
            qFatal("no control %s", name);
        return widget;
    }
    void typeNames(const QString &input, const QString &output);
    RecordingDialog &useRecordingDialog();
    std::string scanPage(const std::string &page);
    void select(const QString &gestures);
    QPoint rowCentre(int row) const;
    QMenu *openListMenu();
    bool dragAndDrop(QWidget *target, const QMimeData &data, Qt::DropActions actions);

    std::unique_ptr<RecordingFeedback> m_feedback;
    std::unique_ptr<QtForm1> m_form;
};

void TestForm1::init()
{
    m_feedback = std::make_unique<RecordingFeedback>();
    m_form = std::make_unique<QtForm1>(*m_feedback);
    m_form->show();
    QVERIFY(QTest::qWaitForWindowActive(m_form.get()));
}

void TestForm1::cleanup()
{
    m_form.reset();
    m_feedback.reset();
}

RecordingDialog &TestForm1::useRecordingDialog()
{
    auto dialog = std::make_unique<RecordingDialog>();
    auto &recording = *dialog;
    m_form = std::make_unique<QtForm1>(*m_feedback, std::move(dialog));
    m_form->show();
    return recording;
}

void TestForm1::typeNames(const QString &input, const QString &output)
{
    auto *text1 = control<QLineEdit>("Text1");
    auto *text2 = control<QLineEdit>("Text2");
    text1->clear();
    QTest::keyClicks(text1, input);
    text2->clear();
    QTest::keyClicks(text2, output);
}

// Scans `page` through the window, into a report in a folder of its own, and gives
// back the report.
std::string TestForm1::scanPage(const std::string &page)
{
    ScratchFolder folder;
    const auto output = folder.path("out.txt");
    typeNames(QString::fromStdString(folder.write("page.htm", page)), QString::fromStdString(output));
    QTest::mouseClick(control<QPushButton>("Command1"), Qt::LeftButton);
    return ScratchFolder::read(output);
}

QPoint TestForm1::rowCentre(int row) const
{
    auto *list = control<QListView>("List1");
    return list->visualRect(list->model()->index(row, 0)).center();
}

// Selects rows as a user does, gesture by gesture: "click 1", "shift+click 3",
// "ctrl+click 0", "shift+down", "ctrl+a".
void TestForm1::select(const QString &gestures)
{
    auto *list = control<QListView>("List1");
    list->setFocus();
    for (const QString &gesture : gestures.split(QStringLiteral(", "), Qt::SkipEmptyParts)) {
        const QStringList words = gesture.split(QLatin1Char(' '));
        if (words[0] == "shift+down") {
            QTest::keyClick(list, Qt::Key_Down, Qt::ShiftModifier);
        } else if (words[0] == "ctrl+a") {
            QTest::keyClick(list, Qt::Key_A, Qt::ControlModifier);
        } else {
            const Qt::KeyboardModifiers modifiers = words[0] == "shift+click" ? Qt::ShiftModifier
                                                    : words[0] == "ctrl+click"  ? Qt::ControlModifier
                                                                                : Qt::NoModifier;
            QTest::mouseClick(list->viewport(), Qt::LeftButton, modifiers, rowCentre(words[1].toInt()));
        }
    }
}

// A right click on the list, as the window system reports it, and the menu it opens.
QMenu *TestForm1::openListMenu()
{
    auto *viewport = control<QListView>("List1")->viewport();
    const QPoint at(10, 10);
    QContextMenuEvent event(QContextMenuEvent::Mouse, at, viewport->mapToGlobal(at));
    QApplication::sendEvent(viewport, &event);
    auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
    if (!menu || !menu->isVisible())
        qFatal("no menu opened on the list");
    return menu;
}

// Drags `data` from another program over the middle of `target` and drops it there,
// through the window as the window system delivers a drag. True when it was taken.
bool TestForm1::dragAndDrop(QWidget *target, const QMimeData &data, Qt::DropActions actions)
{
    QWindow *window = m_form->windowHandle();
    const QPoint at = target->mapTo(m_form.get(), target->rect().center());
    QDragEnterEvent enter(at, actions, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(window, &enter);
    QDragMoveEvent move(at, actions, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(window, &move);
    QDropEvent drop(at, actions, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(window, &drop);
    return drop.isAccepted();
}

void TestForm1::layout_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QRect>("twips");

    const std::map<std::string_view, const char *> widgets = {
        {"label", "QLabel"}, {"text box", "QLineEdit"}, {"push button", "QPushButton"}, {"list box", "QListView"}};
    for (const auto &control : DesignedControls) {
        QTest::newRow(control.name) << widgets.at(control.kind) << QString::fromStdU16String(std::u16string(control.caption))
                                    << QRect(control.left, control.top, control.width, control.height);
    }
}

void TestForm1::layout()
{
    QFETCH(QString, kind);
    QFETCH(QString, text);
    QFETCH(QRect, twips);

    auto *widget = control<QWidget>(QTest::currentDataTag());
    QVERIFY(widget->inherits(kind.toLatin1()));
    const QRect pixels(twips.x() / 15, twips.y() / 15, twips.width() / 15, twips.height() / 15);
    QCOMPARE(widget->geometry(), pixels);
    QVERIFY(widget->isVisible());
    QVERIFY(widget->isEnabled());
    if (auto *label = qobject_cast<QLabel *>(widget)) {
        QCOMPARE(label->text(), text);
        QVERIFY2(QFontMetricsF(label->font()).horizontalAdvance(text) <= label->width(), "caption cut off");
    }
    if (auto *button = qobject_cast<QPushButton *>(widget))
        QCOMPARE(button->text(), text);
}

void TestForm1::windowFrame()
{
    QCOMPARE(m_form->windowTitle(), QString::fromStdU16String(std::u16string(DesignedTitle)));
    QCOMPARE(m_form->size(), QSize(DesignedClientWidth / 15, DesignedClientHeight / 15));
    // Centred on the primary screen's work area, as the Windows window opens.
    QVERIFY((m_form->frameGeometry().center() - m_form->screen()->availableGeometry().center()).manhattanLength() <= 1);
    QVERIFY(m_form->maximumSize().width() > m_form->width()); // resizable
    QCOMPARE(control<QListView>("List1")->model()->rowCount(), 0);
}

void TestForm1::noTwoControlsOverlap()
{
    const auto children = m_form->findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly);
    QCOMPARE(children.size(), 9);
    for (qsizetype i = 0; i < children.size(); ++i) {
        for (qsizetype j = i + 1; j < children.size(); ++j) {
            QVERIFY2(!children[i]->geometry().intersects(children[j]->geometry()),
                     qPrintable(children[i]->objectName() + " overlaps " + children[j]->objectName()));
        }
    }
}

void TestForm1::tabOrderFollowsTheTable()
{
    QStringList order;
    for (const char *name : DesignedTabOrder)
        order << QString::fromLatin1(name);
    QCOMPARE(QApplication::focusWidget()->objectName(), order.first());
    order << order.takeFirst(); // round to the start
    for (const QString &next : order) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QTRY_COMPARE(QApplication::focusWidget()->objectName(), next);
    }
}

void TestForm1::noButtonAnswersEnterOrEscape()
{
    typeNames(QStringLiteral("x"), QStringLiteral("y"));
    for (const auto key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape})
        QTest::keyClick(control<QLineEdit>("Text2"), key);
    QVERIFY(m_feedback->events.empty());
    QVERIFY(m_form->isVisible());
    for (auto *button : m_form->findChildren<QPushButton *>()) {
        QVERIFY(!button->isDefault());
        QVERIFY(!button->autoDefault());
    }
}

void TestForm1::controlsHaveAccessibleNames()
{
    const std::pair<const char *, QString> names[] = {
        {"Text1", "Nome file di input"},
        {"Text2", "Nome file di output"},
        {"Command1", "Ricerca Path e nomi files"},
        {"Command3", "F I N E"},
        {"Command2", "Sfoglia ..."},
    };
    for (const auto &[name, expected] : names) {
        auto *accessible = QAccessible::queryAccessibleInterface(control<QWidget>(name));
        QVERIFY(accessible);
        QCOMPARE(accessible->text(QAccessible::Name), expected);
    }
    QVERIFY(!QAccessible::queryAccessibleInterface(control<QWidget>("List1"))->text(QAccessible::Name).isEmpty());
}

void TestForm1::startUpState()
{
    QCOMPARE(control<QLineEdit>("Text1")->text(), QStringLiteral("C:\\VB5\\SITEDOCS\\ROZIZEVAZE.HTM"));
    QCOMPARE(control<QLineEdit>("Text2")->text(), QStringLiteral("C:\\VB5\\SITEDOCS\\ROZIZEVAZE.HT3"));
    QCOMPARE(QApplication::focusWidget(), control<QWidget>("Text1"));
    QVERIFY(m_feedback->events.empty());
}

void TestForm1::anyChangeOfInputEmptiesOutputAtOnce_data()
{
    QTest::addColumn<QString>("edit");
    QTest::newRow("typing") << "typing";
    QTest::newRow("paste") << "paste";
    QTest::newRow("cut") << "cut";
    QTest::newRow("undo") << "undo";
    QTest::newRow("set by a handler") << "set";
}

void TestForm1::anyChangeOfInputEmptiesOutputAtOnce()
{
    QFETCH(QString, edit);
    auto *text1 = control<QLineEdit>("Text1");
    auto *text2 = control<QLineEdit>("Text2");
    if (edit == "undo") { // something to undo, then a fresh output name
        QTest::keyClick(text1, Qt::Key_End);
        QTest::keyClick(text1, Qt::Key_X);
        text2->setText(QStringLiteral("mine.txt"));
    }
    QApplication::clipboard()->setText(QStringLiteral("pasted"));
    QVERIFY(!text2->text().isEmpty());

    if (edit == "typing") {
        QTest::keyClick(text1, Qt::Key_End);
        QTest::keyClick(text1, Qt::Key_X);
    } else if (edit == "paste") {
        QTest::keyClick(text1, Qt::Key_V, Qt::ControlModifier);
    } else if (edit == "cut") {
        QTest::keyClick(text1, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(text1, Qt::Key_X, Qt::ControlModifier);
    } else if (edit == "undo") {
        QTest::keyClick(text1, Qt::Key_Z, Qt::ControlModifier);
    } else {
        text1->setText(QStringLiteral("other.htm"));
    }
    QCOMPARE(text2->text(), QString());
}

void TestForm1::leavingInputProposesOutput_data()
{
    QTest::addColumn<QString>("leaveBy");
    QTest::newRow("tab") << "tab";
    QTest::newRow("click on another control") << "click";
    QTest::newRow("window loses activation") << "deactivate";
}

void TestForm1::leavingInputProposesOutput()
{
    QFETCH(QString, leaveBy);
    auto *text1 = control<QLineEdit>("Text1");
    text1->selectAll();
    QTest::keyClicks(text1, QStringLiteral(" D:\\site\\home.html "));
    QCOMPARE(control<QLineEdit>("Text2")->text(), QString());

    QWidget other;
    if (leaveBy == "tab") {
        QTest::keyClick(text1, Qt::Key_Tab);
    } else if (leaveBy == "click") {
        QTest::mouseClick(control<QListView>("List1")->viewport(), Qt::LeftButton);
    } else {
        other.show();
        other.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&other));
    }
    QTRY_COMPARE(control<QLineEdit>("Text2")->text(), QStringLiteral("D:\\site\\home.ht3"));
    QCOMPARE(text1->text(), QStringLiteral(" D:\\site\\home.html ")); // the field is not trimmed
}

void TestForm1::leavingOutputKeepsANameAndRefillsABlank_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("kept");
    QTest::newRow("typed name survives") << "mine.txt" << "mine.txt";
    QTest::newRow("blank is filled again") << "  " << "C:\\VB5\\SITEDOCS\\ROZIZEVAZE.HT3";
}

void TestForm1::leavingOutputKeepsANameAndRefillsABlank()
{
    QFETCH(QString, typed);
    QFETCH(QString, kept);
    auto *text2 = control<QLineEdit>("Text2");
    QTest::keyClick(control<QLineEdit>("Text1"), Qt::Key_Tab);
    text2->selectAll();
    QTest::keyClicks(text2, typed);
    QTest::keyClick(text2, Qt::Key_Tab);
    QCOMPARE(text2->text(), kept);
}

void TestForm1::blankInputLeavesOutputBlank()
{
    auto *text1 = control<QLineEdit>("Text1");
    text1->selectAll();
    QTest::keyClick(text1, Qt::Key_Delete);
    QTest::keyClicks(text1, QStringLiteral("   "));
    QTest::keyClick(text1, Qt::Key_Tab);
    QCOMPARE(control<QLineEdit>("Text2")->text(), QString());
}

void TestForm1::scan_data()
{
    QTest::addColumn<QByteArray>("page");
    QTest::addColumn<QString>("outputName");
    QTest::addColumn<QStringList>("records");
    QTest::addColumn<QString>("message");

    QTest::newRow("found") << QByteArray("<p>\r\n\t<img src=a.gif>\r\nC:\\x\r\n</td>")
                           << "out.txt" << QStringList{" 2 -  <img src=a.gif>", " 3 - C:\\x"} << "";
    QTest::newRow("nothing found") << QByteArray("<p>\r\n</p>") << "out.txt" << QStringList{} << "";
    QTest::newRow("blank input name") << QByteArray("a/b") << "out.txt" << QStringList{}
                                      << "Inserire il nome del file di Input !!!";
    QTest::newRow("empty page") << QByteArray() << "out.txt" << QStringList{}
                                << "Errore in lettura file di input  ERR= 62 - Input oltre la fine del file";
}

void TestForm1::scan()
{
    QFETCH(QByteArray, page);
    QFETCH(QString, outputName);
    QFETCH(QStringList, records);
    QFETCH(QString, message);

    ScratchFolder folder;
    const auto input = message.startsWith(QStringLiteral("Inserire"))
                           ? QStringLiteral("   ")
                           : QString::fromStdString(folder.write("page.htm", page.toStdString()));
    const auto output = QString::fromStdString(folder.path(outputName.toStdString()));
    typeNames(input, output);
    QTest::mouseClick(control<QPushButton>("Command1"), Qt::LeftButton);

    const auto *list = control<QListView>("List1")->model();
    QStringList shown;
    for (int row = 0; row < list->rowCount(); ++row)
        shown << list->index(row, 0).data().toString();
    QCOMPARE(shown, records);

    Events expected;
    if (message.startsWith(QStringLiteral("Inserire"))) {
        expected = {"beep", "message: " + message.toStdString()};
    } else {
        expected = {"busy"};
        if (!message.isEmpty())
            expected.insert(expected.end(), {"beep", "message: " + message.toStdString()});
        expected.insert(expected.end(), {"beep", "idle"});
        QString report;
        for (const auto &record : records)
            report += record + "\r\n";
        QCOMPARE(QString::fromStdString(ScratchFolder::read(output.toStdString())), report);
    }
    QCOMPARE(m_feedback->events, expected);
    QVERIFY(control<QPushButton>("Command1")->isEnabled());
}

void TestForm1::scanShowsBusyStateWhileRunning()
{
    ScratchFolder folder;
    typeNames(QString::fromStdString(folder.write("page.htm", "a/b")),
              QString::fromStdString(folder.path("out.txt")));
    bool buttonEnabledWhileBusy = true;
    auto *button = control<QPushButton>("Command1");
    // A click and a Space queued on the greyed button while the scan runs.
    m_feedback->onBusy = [&, first = true]() mutable {
        buttonEnabledWhileBusy = button->isEnabled();
        if (!std::exchange(first, false))
            return;
        const QPointF at(5, 5);
        QCoreApplication::postEvent(button, new QMouseEvent(QEvent::MouseButtonPress, at, at, Qt::LeftButton,
                                                            Qt::LeftButton, {}));
        QCoreApplication::postEvent(button, new QMouseEvent(QEvent::MouseButtonRelease, at, at, Qt::LeftButton, {}, {}));
        for (const auto type : {QEvent::KeyPress, QEvent::KeyRelease})
            QCoreApplication::postEvent(button, new QKeyEvent(type, Qt::Key_Space, {}, QStringLiteral(" ")));
    };
    button->setFocus();
    QTest::keyClick(button, Qt::Key_Space);
    QCoreApplication::processEvents();
    QVERIFY(!buttonEnabledWhileBusy);
    QVERIFY(button->isEnabled());
    QCOMPARE(QApplication::focusWidget(), button);
    QCOMPARE(std::count(m_feedback->events.begin(), m_feedback->events.end(), "busy"), 1); // one scan
    // Drawn greyed before the scan holds the thread: seen as a missing page is reported.
    QImage drawn(1, 1, QImage::Format_RGB32), greyed;
    m_feedback->onMessage = [&] {
        drawn = m_form->screen()->grabWindow(m_form->winId()).toImage().copy(button->geometry());
        greyed = button->grab().toImage();
    };
    typeNames(QString::fromStdString(folder.path("missing.htm")), QString::fromStdString(folder.path("out.txt")));
    QTest::mouseClick(button, Qt::LeftButton);
    QCOMPARE(drawn.convertToFormat(greyed.format()), greyed);
}

void TestForm1::listRowsAreAccessibleItems()
{
    ScratchFolder folder;
    typeNames(QString::fromStdString(folder.write("page.htm", "a/b\r\nc/d\r\n")),
              QString::fromStdString(folder.path("out.txt")));
    QTest::mouseClick(control<QPushButton>("Command1"), Qt::LeftButton);

    auto *list = QAccessible::queryAccessibleInterface(control<QListView>("List1"));
    QVERIFY(list);
    QCOMPARE(list->role(), QAccessible::List);
    QCOMPARE(list->childCount(), 2);
    QCOMPARE(list->child(1)->text(QAccessible::Name), QStringLiteral(" 2 - c/d"));
}

void TestForm1::longRecordsAreShownCutButReadWhole()
{
    ScratchFolder folder;
    const std::string line = "C:\\" + std::string(30000, 'x');
    typeNames(QString::fromStdString(folder.write("page.htm", line)), QString::fromStdString(folder.path("out.txt")));
    QTest::mouseClick(control<QPushButton>("Command1"), Qt::LeftButton);

    const auto row = control<QListView>("List1")->model()->index(0, 0);
    QCOMPARE(row.data(Qt::AccessibleTextRole).toString(), QString::fromStdString(" 1 - " + line));
    const QString shown = row.data().toString();
    QVERIFY(shown.size() < 2000);
    QVERIFY(shown.startsWith(QStringLiteral(" 1 - C:\\xxx")));
    QVERIFY(shown.endsWith(QChar(0x2026)));
}

// In the list, to a screen reader and on the clipboard, in characters the list's own
// font has, so no empty box is drawn; the report keeps the bytes.
void TestForm1::invisibleCharactersShowVisibly()
{
    const std::string line = std::string("a/\0b\nc\x7F d\xE2\x80\xAEgpj.exe", 19);
    const std::string report = scanPage(line + "\r\n");
    const QString shown = QStringLiteral(" 1 - a/^@b^Jc^? d<U+202E>gpj.exe");

    const auto row = control<QListView>("List1")->model()->index(0, 0);
    QCOMPARE(row.data().toString(), shown);
    QCOMPARE(row.data(Qt::AccessibleTextRole).toString(), shown);
    const QFontMetrics metrics(control<QListView>("List1")->font());
    for (const QChar c : shown)
        QVERIFY2(metrics.inFont(c), qPrintable(QStringLiteral("no glyph for U+%1").arg(c.unicode(), 4, 16)));
    select(QStringLiteral("ctrl+a"));
    QTest::keyClick(control<QListView>("List1"), Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QApplication::clipboard()->text(), shown);
    QCOMPARE(report, " 1 - " + line + "\r\n");
}

void TestForm1::selectedRecordsCopyWhole_data()
{
    QTest::addColumn<QString>("gestures");
    QTest::addColumn<QList<int>>("copied");

    QTest::newRow("click") << "click 0" << QList<int>{0};
    QTest::newRow("click another") << "click 0, click 2" << QList<int>{2};
    QTest::newRow("shift+click") << "click 0, shift+click 2" << QList<int>{0, 1, 2};
    QTest::newRow("shift+click upwards") << "click 3, shift+click 1" << QList<int>{1, 2, 3};
    QTest::newRow("ctrl+click adds") << "click 0, ctrl+click 2" << QList<int>{0, 2};
    QTest::newRow("ctrl+click, list order") << "click 3, ctrl+click 0, ctrl+click 2" << QList<int>{0, 2, 3};
    QTest::newRow("ctrl+click removes") << "ctrl+a, ctrl+click 1" << QList<int>{0, 2, 3};
    QTest::newRow("shift+down") << "click 1, shift+down, shift+down" << QList<int>{1, 2, 3};
    QTest::newRow("ctrl+a") << "click 2, ctrl+a" << QList<int>{0, 1, 2, 3};
    QTest::newRow("nothing selected keeps the clipboard") << "" << QList<int>{};
}

void TestForm1::selectedRecordsCopyWhole()
{
    QFETCH(QString, gestures);
    QFETCH(QList<int>, copied);
    // Two records far longer than the list shows of them.
    const std::vector<std::string> lines = {"C:\\" + std::string(10000, 'a'), "<img src=b.gif>",
                                            "D:\\" + std::string(10000, 'c') + "/fine", "e/f"};
    std::string page;
    for (const auto &line : lines)
        page += line + "\r\n";
    scanPage(page);
    QApplication::clipboard()->setText(QStringLiteral("before"));

    select(gestures);
    QTest::keyClick(control<QListView>("List1"), Qt::Key_C, Qt::ControlModifier);

    QStringList records;
    for (const int row : copied)
        records << QString::fromStdString(" " + std::to_string(row + 1) + " - " + lines[static_cast<std::size_t>(row)]);
    QCOMPARE(QApplication::clipboard()->text(), copied.isEmpty() ? QStringLiteral("before") : records.join('\n'));
}

void TestForm1::listMenu_data()
{
    QTest::addColumn<QString>("gestures");
    QTest::addColumn<QStringList>("chosen");
    QTest::addColumn<QString>("clipboard");
    QTest::addColumn<QStringList>("disabled"); // in the menu as it last opened

    QTest::newRow("Seleziona tutto, then Copia") << "" << QStringList{"Seleziona tutto", "Copia"}
                                                 << " 1 - a/b\n 2 - c/d\n 3 - e/f" << QStringList{"Seleziona tutto"};
    QTest::newRow("every row clicked: no Seleziona tutto") << "click 1, ctrl+click 0, shift+click 2" << QStringList{}
                                                            << "before" << QStringList{"Seleziona tutto"};
    QTest::newRow("Copia takes the selection") << "click 0, ctrl+click 2" << QStringList{"Copia"}
                                               << " 1 - a/b\n 3 - e/f" << QStringList{};
    QTest::newRow("one row: Copia") << "click 1" << QStringList{"Copia"} << " 2 - c/d" << QStringList{};
    QTest::newRow("nothing selected: no Copia") << "" << QStringList{} << "before" << QStringList{"Copia"};
}

void TestForm1::listMenu()
{
    QFETCH(QString, gestures);
    QFETCH(QStringList, chosen);
    QFETCH(QString, clipboard);
    QFETCH(QStringList, disabled);
    scanPage("a/b\r\nc/d\r\ne/f\r\n");
    QApplication::clipboard()->setText(QStringLiteral("before"));
    select(gestures);

    QMenu *menu = openListMenu();
    for (const QString &item : chosen) {
        const auto actions = menu->actions();
        const auto action = std::find_if(actions.begin(), actions.end(), [&](QAction *a) { return a->text() == item; });
        QVERIFY(action != actions.end());
        QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(*action).center());
        QTRY_VERIFY(!menu->isVisible());
        menu = openListMenu();
    }
    QStringList shownDisabled;
    for (const QAction *action : menu->actions())
        if (!action->isEnabled())
            shownDisabled << action->text();
    QCOMPARE(shownDisabled, disabled);
    QTest::keyClick(menu, Qt::Key_Escape);
    QTRY_VERIFY(!menu->isVisible());
    QCOMPARE(QApplication::clipboard()->text(), clipboard);

    // The shortcuts work whatever the menu showed.
    QTest::keyClick(control<QListView>("List1"), Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(control<QListView>("List1"), Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QApplication::clipboard()->text(), QStringLiteral(" 1 - a/b\n 2 - c/d\n 3 - e/f"));
}

void TestForm1::longRecordsAreCutAtTheEdgeOnAnyPage_data()
{
    QTest::addColumn<int>("records");
    QTest::addColumn<int>("length");

    QTest::newRow("10 records of 5,000 characters") << 10 << 5000;
    QTest::newRow("30,000 records of 400 characters") << 30000 << 400;
}

// Nothing to scroll to sideways: every row as wide as the list, its text drawn up to
// the right edge, where a long record is cut with "…".
void TestForm1::longRecordsAreCutAtTheEdgeOnAnyPage()
{
    QFETCH(int, records);
    QFETCH(int, length);
    std::string page;
    for (int line = 0; line < records; ++line)
        page += "a/" + std::string(static_cast<std::size_t>(length), 'W') + "\r\n";
    scanPage(page);

    auto *list = control<QListView>("List1");
    QCOMPARE(list->model()->rowCount(), records);
    for (const int row : {records - 1, 0}) {
        list->scrollTo(list->model()->index(row, 0));
        const QRect rect = list->visualRect(list->model()->index(row, 0));
        QCOMPARE(rect.left(), 0);
        QCOMPARE(rect.width(), list->viewport()->width());
    }
    QCOMPARE(list->horizontalScrollBar()->maximum(), 0);
    QVERIFY(!list->horizontalScrollBar()->isVisible());

    // The first row's ink reaches the last few characters' width before the edge.
    const QImage shown = list->viewport()->grab().toImage();
    const QRgb background = list->palette().color(QPalette::Base).rgb();
    const int width = list->viewport()->width();
    const QRect first = list->visualRect(list->model()->index(0, 0));
    const qreal scale = shown.devicePixelRatio();
    int inkRight = -1;
    for (int x = 0; x < shown.width(); ++x)
        for (int y = qRound(first.top() * scale); y < qRound((first.bottom() + 1) * scale); ++y)
            if (shown.pixel(x, y) != background)
                inkRight = qFloor(x / scale);
    QVERIFY2(inkRight > width - 4 * list->fontMetrics().horizontalAdvance(QLatin1Char('W')),
             qPrintable(QStringLiteral("ink ends at %1 of %2").arg(inkRight).arg(width)));
}

void TestForm1::cutRecordsShowInATooltip_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<bool>("shown");

    QTest::newRow("cut record") << ("a/" + QByteArray(150, 'W')) << true;
    QTest::newRow("whole record shown") << QByteArray("a/b") << false;
    QTest::newRow("tags stay text") << ("<a href=\"a/b\"><p>" + QByteArray(150, 'x')) << true;
    QByteArray page;
    while (page.size() < 32000)
        page += "<p><img src=\"a/b.gif\">\n";
    QTest::newRow("LF-only page of 32,000 characters") << page << true;
}

// Plain text, on the screen, the record's beginning in lines as RecordText lays it out.
void TestForm1::cutRecordsShowInATooltip()
{
    QFETCH(QByteArray, line);
    QFETCH(bool, shown);
    scanPage(line.toStdString());
    auto *viewport = control<QListView>("List1")->viewport();
    const QPoint at = rowCentre(0);
    QHelpEvent event(QEvent::ToolTip, at, viewport->mapToGlobal(at));
    QApplication::sendEvent(viewport, &event);
    auto *tip = viewport->findChild<QLabel *>(QStringLiteral("recordToolTip"));
    if (!shown) {
        QVERIFY(!tip || !tip->isVisible());
        return;
    }
    QVERIFY(tip);
    QTRY_VERIFY(tip->isVisible());
    QCOMPARE(tip->textFormat(), Qt::PlainText);
    const QString whole = QString::fromStdU16String(RecordText::whole(" 1 - " + line.toStdString()));
    const QString text = tip->text();
    QVERIFY(whole.startsWith(QString(text).remove(QLatin1Char('\n')).remove(QChar(RecordText::Ellipsis))));
    QVERIFY(tip->screen()->availableGeometry().contains(tip->frameGeometry()));
    QTest::mouseMove(viewport, at); // the pointer leaves the row
    QTest::mouseMove(viewport, QPoint(at.x(), viewport->height() - 1));
    QTRY_VERIFY(!tip->isVisible());
}

void TestForm1::drop_data()
{
    QTest::addColumn<QString>("target");
    QTest::addColumn<QStringList>("urls");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("actions");
    QTest::addColumn<bool>("taken");
    QTest::addColumn<QString>("text1");
    QTest::addColumn<QString>("text2");

    const int any = Qt::CopyAction | Qt::MoveAction | Qt::LinkAction;
    const QString file = QStringLiteral("file:///tmp/pagine/home.htm");
    const QString before1 = QStringLiteral("C:\\VB5\\SITEDOCS\\ROZIZEVAZE.HTM");
    const QString before2 = QStringLiteral("mine.txt");
    QTest::newRow("file on Text1 derives the output name")
        << "Text1" << QStringList{file} << "" << any << true << "/tmp/pagine/home.htm" << "/tmp/pagine/home.ht3";
    QTest::newRow("file on Text2") << "Text2" << QStringList{file} << "" << any << true << before1
                                   << "/tmp/pagine/home.htm";
    QTest::newRow("file on a button counts for Text1")
        << "Command1" << QStringList{file} << "" << any << true << "/tmp/pagine/home.htm" << "/tmp/pagine/home.ht3";
    QTest::newRow("file on the list counts for Text1")
        << "List1" << QStringList{file} << "" << any << true << "/tmp/pagine/home.htm" << "/tmp/pagine/home.ht3";
    QTest::newRow("file on a label counts for Text1")
        << "Label2" << QStringList{file} << "" << any << true << "/tmp/pagine/home.htm" << "/tmp/pagine/home.ht3";
    QTest::newRow("the first local file counts")
        << "Text2" << QStringList{"https://example.com/a.htm", "file:///tmp/b%20c.htm", "file:///tmp/d.htm"} << ""
        << any << true << before1 << "/tmp/b c.htm";
    QTest::newRow("no local file changes nothing")
        << "Text1" << QStringList{"https://example.com/a.htm"} << "" << any << false << before1 << before2;
    QTest::newRow("no local file on the window changes nothing")
        << "Command1" << QStringList{"https://example.com/a.htm"} << "" << any << false << before1 << before2;
    QTest::newRow("a file offered only to move is refused")
        << "Text1" << QStringList{file} << "" << int(Qt::MoveAction) << false << before1 << before2;
    QTest::newRow("text drops into Text2 as text")
        << "Text2" << QStringList{} << "altro" << any << true << before1 << before2 + "altro";
    QTest::newRow("text on the window changes nothing")
        << "Command1" << QStringList{} << "altro" << any << false << before1 << before2;
    QTest::newRow("a NUL is refused with a beep, the drop ignored")
        << "Text1" << QStringList{"file:///tmp/a%00b.htm"} << "" << any << false << before1 << before2;
    QTest::newRow("a name that is not UTF-8 comes whole") << "Text2" << QStringList{"file:///tmp/r%E9.txt"} << ""
        << any << true << before1 << QString::fromStdU16String(u"/tmp/r\xDCE9.txt");
}

void TestForm1::drop()
{
    QFETCH(QString, target);
    QFETCH(QStringList, urls);
    QFETCH(QString, text);
    QFETCH(int, actions);
    QFETCH(bool, taken);
    QFETCH(QString, text1);
    QFETCH(QString, text2);
    control<QLineEdit>("Text2")->setText(QStringLiteral("mine.txt"));

    // File managers offer the addresses as text too, which a field would take.
    QMimeData data;
    if (!urls.isEmpty())
        data.setUrls(QList<QUrl>(urls.begin(), urls.end()));
    data.setText(urls.isEmpty() ? text : urls.join('\n'));
    QCOMPARE(dragAndDrop(control<QWidget>(target.toLatin1()), data, Qt::DropActions(actions)), taken);
    QCOMPARE(control<QLineEdit>("Text1")->text(), text1);
    QCOMPARE(control<QLineEdit>("Text2")->text(), text2);
    QCOMPARE(m_feedback->events, QByteArray(QTest::currentDataTag()).contains("beep") ? Events{"beep"} : Events{});
}

void TestForm1::browse_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<QString>("text1");
    QTest::addColumn<QString>("text2");
    QTest::addColumn<QString>("pattern");

    const QString typed1 = QStringLiteral("C:\\VB5\\SITEDOCS\\ROZIZEVAZE.HTM");
    QTest::newRow("input replaces a typed output name")
        << "Command2" << "D:\\site\\home.htm" << "D:\\site\\home.htm" << "D:\\site\\home.ht3"
        << "C:\\VB5\\SITEDOCS\\*.HTM";
    QTest::newRow("input cancelled") << "Command2" << "" << typed1 << "mine.txt" << "C:\\VB5\\SITEDOCS\\*.HTM";
    QTest::newRow("input same name") << "Command2" << typed1 << typed1 << "mine.txt" << "C:\\VB5\\SITEDOCS\\*.HTM";
    QTest::newRow("output") << "Command4" << "/tmp/report.txt" << typed1 << "/tmp/report.txt" << "*.HTM";
    QTest::newRow("output cancelled") << "Command4" << "  " << typed1 << "mine.txt" << "*.HTM";
}

void TestForm1::browse()
{
    QFETCH(QString, button);
    QFETCH(QString, chosen);
    QFETCH(QString, text1);
    QFETCH(QString, text2);
    QFETCH(QString, pattern);

    auto &dialog = useRecordingDialog();
    dialog.chosen = chosen.toStdU16String();
    control<QLineEdit>("Text2")->setText(QStringLiteral("mine.txt"));
    QTest::mouseClick(control<QPushButton>(button.toLatin1()), Qt::LeftButton);

    QCOMPARE(QString::fromStdU16String(dialog.calls.at(0)), "write FileName: " + pattern);
    QCOMPARE(QString::fromStdU16String(dialog.calls.at(3)), button == "Command2" ? "show 1" : "show 2");
    QCOMPARE(control<QLineEdit>("Text1")->text(), text1);
    QCOMPARE(control<QLineEdit>("Text2")->text(), text2);
    QCOMPARE(m_feedback->events, QByteArray(QTest::currentDataTag()).contains("beep") ? Events{"beep"} : Events{});
}

void TestForm1::browseFailureIsReported()
{
    auto &dialog = useRecordingDialog();
    dialog.failOnShow = true;
    QTest::mouseClick(control<QPushButton>("Command2"), Qt::LeftButton);
    QCOMPARE(m_feedback->events,
             (Events{"beep", "message: Errore nella scelta del file  ERR= 440 - Finestra non disponibile"}));
    QCOMPARE(control<QLineEdit>("Text1")->text(), QStringLiteral("C:\\VB5\\SITEDOCS\\ROZIZEVAZE.HTM"));
    QCOMPARE(control<QLineEdit>("Text2")->text(), QStringLiteral("C:\\VB5\\SITEDOCS\\ROZIZEVAZE.HT3"));
}

// The real box, its text taken with the mouse and Ctrl+C, under a style that by itself
// lets a box's text be neither selected nor focused.
void TestForm1::messageTextCanBeCopied()
{
    const QString before = QApplication::style()->name(), text = QStringLiteral("ERR= 53 - File non trovato");
    QApplication::setStyle(QStringLiteral("Windows"));
    const auto restore = qScopeGuard([&] { QApplication::setStyle(before); });
    QTimer::singleShot(0, this, [&] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        auto *label = box ? box->findChild<QLabel *>(QStringLiteral("qt_msgbox_label")) : nullptr;
        if (label && QTest::qWaitFor([&] { return QApplication::activeWindow() == box; })) {
            const int y = label->height() / 2;
            QTest::mousePress(label, Qt::LeftButton, {}, QPoint(1, y));
            QTest::mouseMove(label, QPoint(label->width() - 1, y));
            QTest::mouseRelease(label, Qt::LeftButton, {}, QPoint(label->width() - 1, y));
            // Where the keyboard focus is, as a real key press goes.
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_C, Qt::ControlModifier);
        }
        if (box)
            box->accept();
    });
    QtUserFeedback().messageBox(text.toStdString());
    QCOMPARE(QApplication::clipboard()->text(), text);
}

void TestForm1::finishBeepsThenCloses()
{
    QTest::mouseClick(control<QPushButton>("Command3"), Qt::LeftButton);
    QCOMPARE(m_feedback->events, Events{"beep"});
    QVERIFY(!m_form->isVisible());
}

void TestForm1::closeBoxDoesNotBeep()
{
    QVERIFY(m_form->close());
    QVERIFY(m_feedback->events.empty());
}

QTEST_MAIN(TestForm1)
#include "tst_form1.moc"
