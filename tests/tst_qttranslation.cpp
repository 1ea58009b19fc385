#include "browse/qt/qtfiledialogcomponent.h"
#include "tests/scratchfolder.h"
#include "window/qt/qttranslation.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLibraryInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

// Qt's own texts (the file dialog, the fields' menus, the buttons) come out in Italian
// once the translation is installed, on a system left in English; so does the question
// the report's browse asks before it names a file that exists.
class TestQtTranslation : public QObject
{
    Q_OBJECT

private slots:
    void qtTextsAreItalian();
};

void TestQtTranslation::qtTextsAreItalian()
{
    QVERIFY2(installQtItalian(*qApp),
             qPrintable("qtbase_it.qm not loaded from " + QLibraryInfo::path(QLibraryInfo::TranslationsPath) +
                        " (Debian package qt6-translations-l10n)"));
    const QDialogButtonBox buttons(QDialogButtonBox::Cancel);
    QCOMPARE(buttons.button(QDialogButtonBox::Cancel)->text(), QStringLiteral("Annulla"));

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
    QCOMPARE(title, QStringLiteral("Salva come"));
    QCOMPARE(question, QStringLiteral("r.txt esiste già.\nVuoi sostituirlo?"));
}

QTEST_MAIN(TestQtTranslation)
#include "tst_qttranslation.moc"
