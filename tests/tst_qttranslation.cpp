#include "window/qt/qttranslation.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QLibraryInfo>
#include <QPushButton>
#include <QTest>

// Qt's own texts (the file dialog, the fields' menus, the buttons) come out in Italian
// once the translation is installed, on a system left in English.
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
}

QTEST_MAIN(TestQtTranslation)
#include "tst_qttranslation.moc"
