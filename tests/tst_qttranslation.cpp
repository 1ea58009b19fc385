#include "browse/qt/qtfiledialogcomponent.h"
#include "tests/scratchfolder.h"
#include "window/qt/qttranslation.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QKeySequence>
#include <QLabel>
#include <QLibraryInfo>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <memory>

// Qt's own texts, as the user meets them in PAGESIFT's window and file dialog, come out
// in Italian once the translation is installed, on a system left in English.
class TestQtTranslation : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void qtTextsAreItalian_data();
    void qtTextsAreItalian();
};

void TestQtTranslation::initTestCase()
{
    QVERIFY2(installQtItalian(*qApp),
             qPrintable("qtbase_it.qm not loaded from " + QLibraryInfo::path(QLibraryInfo::TranslationsPath) +
                        " (Debian package qt6-translations-l10n)"));
}

void TestQtTranslation::qtTextsAreItalian_data()
{
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("italian");

    QLineEdit field;
    const std::unique_ptr<QMenu> menu(field.createStandardContextMenu());
    // The menu's entries have no names; each is found by its shortcut, shown after a tab.
    const auto menuText = [&](QKeySequence::StandardKey key) {
        const QString shortcut = QLatin1Char('\t') + QKeySequence(key).toString(QKeySequence::NativeText);
        for (const QAction *action : menu->actions())
            if (action->text().endsWith(shortcut))
                return action->text().chopped(shortcut.size());
        return QStringLiteral("(no entry for%1)").arg(shortcut);
    };
    QTest::newRow("menu Undo") << menuText(QKeySequence::Undo) << "Ann&ulla";
    QTest::newRow("menu Copy") << menuText(QKeySequence::Copy) << "&Copia";
    QTest::newRow("menu Paste") << menuText(QKeySequence::Paste) << "&Incolla";

    const QDialogButtonBox buttons(QDialogButtonBox::Cancel);
    QTest::newRow("button Cancel") << buttons.button(QDialogButtonBox::Cancel)->text() << "Annulla";

    QFileDialog dialog;
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    const auto *box = dialog.findChild<QDialogButtonBox *>(QStringLiteral("buttonBox"));
    const auto *types = dialog.findChild<QLabel *>(QStringLiteral("fileTypeLabel"));
    QTest::newRow("file dialog Open") << (box ? box->button(QDialogButtonBox::Open)->text() : QString()) << "&Apri";
    QTest::newRow("file dialog Files of type") << (types ? types->text() : QString()) << "File di tipo:";

    // The report's browse asks before it names a file that exists.
    ScratchFolder folder;
    QtFileDialogComponent save;
    save.setFileNameProperty(QString::fromStdString(folder.write("r.txt", "x")).toStdU16String());
    QString title;
    QString question;
    save.aboutToShow = [&](QFileDialog &shown) {
        title = shown.windowTitle();
        QTimer::singleShot(0, &shown, [&] { static_cast<QDialog &>(shown).accept(); });
        QTimer::singleShot(0, &shown, [&] { // in the question's own loop, when it asks
            if (auto *asked = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
                question = asked->text();
                asked->button(QMessageBox::No)->click();
            }
            shown.reject();
        });
    };
    save.ShowOperation(FileDialogComponent::ShowSave);
    QTest::newRow("save dialog title") << title << "Salva come";
    QTest::newRow("save dialog asks before replacing") << question << "r.txt esiste già.\nVuoi sostituirlo?";
}

void TestQtTranslation::qtTextsAreItalian()
{
    QFETCH(QString, shown);
    QFETCH(QString, italian);
    QCOMPARE(shown, italian);
}

QTEST_MAIN(TestQtTranslation)
#include "tst_qttranslation.moc"
