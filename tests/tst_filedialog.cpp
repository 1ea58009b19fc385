#include "browse/qt/qtfiledialogcomponent.h"
#include "tests/scratchfolder.h"

#include <QFileDialog>
#include <QFileSystemModel>
#include <QLineEdit>
#include <QListView>
#include <QTest>
#include <QTimer>

// Qt's real file dialog on the offscreen platform, answered from inside its own loop.
class TestFileDialog : public QObject
{
    Q_OBJECT

private slots:
    void filtersIgnoreCase_data();
    void filtersIgnoreCase();
    void choosingGivesTheFullName();
    void cancellingGivesNoName();
    void typingANewNameIsAccepted();
    void showsTheFolderOfThePatternAndMatchesAnyCase();

private:
    QString show(QtFileDialogComponent &component, const std::function<void(QFileDialog &)> &answer);
};

QString TestFileDialog::show(QtFileDialogComponent &component, const std::function<void(QFileDialog &)> &answer)
{
    component.aboutToShow = [&](QFileDialog &dialog) {
        QTimer::singleShot(0, &dialog, [&] { answer(dialog); });
    };
    component.ShowOperation(1);
    return QString::fromStdU16String(component.FileNameProperty());
}

void TestFileDialog::filtersIgnoreCase_data()
{
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QStringList>("nameFilters");
    QTest::newRow("page") << "*.HTM |*.HTM" << QStringList{"*.HTM (*.[hH][tT][mM])"};
    QTest::newRow("two pairs") << "Pagine|*.htm;*.html|Tutti|*.*"
                               << QStringList{"Pagine (*.[hH][tT][mM] *.[hH][tT][mM][lL])", "Tutti (*.*)"};
    QTest::newRow("no pattern") << "solo descrizione" << QStringList{};
}

void TestFileDialog::filtersIgnoreCase()
{
    QFETCH(QString, filter);
    QFETCH(QStringList, nameFilters);
    QCOMPARE(QtFileDialogComponent::nameFilters(filter), nameFilters);
}

void TestFileDialog::choosingGivesTheFullName()
{
    ScratchFolder folder;
    const auto page = QString::fromStdString(folder.write("page.htm", "x"));
    QtFileDialogComponent component;
    component.setFileNameProperty((QString::fromStdString(folder.path("")) + "*.HTM").toStdU16String());
    component.setFilterProperty(u"*.HTM |*.HTM");
    const auto chosen = show(component, [&](QFileDialog &dialog) {
        dialog.selectFile(page);
        static_cast<QDialog &>(dialog).accept(); // QFileDialog hides it; QDialog's is public
    });
    QCOMPARE(chosen, page);
}

void TestFileDialog::cancellingGivesNoName()
{
    QtFileDialogComponent component;
    component.setFileNameProperty(u"*.HTM");
    QCOMPARE(show(component, [](QFileDialog &dialog) { dialog.reject(); }), QString());
}

void TestFileDialog::typingANewNameIsAccepted()
{
    ScratchFolder folder;
    QtFileDialogComponent component;
    component.setFileNameProperty((QString::fromStdString(folder.path("")) + "*.HTM").toStdU16String());
    const auto chosen = show(component, [&](QFileDialog &dialog) {
        auto *name = dialog.findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
        QVERIFY(name);
        name->setText(QStringLiteral("report.ht3"));
        static_cast<QDialog &>(dialog).accept(); // QFileDialog hides it; QDialog's is public
    });
    QCOMPARE(chosen, QString::fromStdString(folder.path("report.ht3")));
}

void TestFileDialog::showsTheFolderOfThePatternAndMatchesAnyCase()
{
    ScratchFolder folder;
    for (const char *name : {"page.htm", "PAGE2.HTM", "other.txt"})
        folder.write(name, "x");
    QtFileDialogComponent component;
    component.setFileNameProperty((QString::fromStdString(folder.path("")) + "*.HTM").toStdU16String());
    component.setFilterProperty(u"*.HTM |*.HTM");
    QStringList shown;
    QString directory;
    show(component, [&](QFileDialog &dialog) {
        directory = dialog.directory().absolutePath();
        auto *list = dialog.findChild<QListView *>(QStringLiteral("listView"));
        QVERIFY(list);
        const auto visible = [&] {
            shown.clear();
            const auto root = list->rootIndex();
            for (int row = 0; row < list->model()->rowCount(root); ++row) {
                const auto index = list->model()->index(row, 0, root);
                if (!list->isRowHidden(row) && (list->model()->flags(index) & Qt::ItemIsEnabled))
                    shown << index.data().toString();
            }
            shown.sort();
            return shown.size() >= 2;
        };
        QVERIFY(QTest::qWaitFor(visible, 5000));
        dialog.reject();
    });
    QCOMPARE(directory, QString::fromStdString(folder.path("")).chopped(1));
    QCOMPARE(shown, (QStringList{"PAGE2.HTM", "page.htm"}));
}

QTEST_MAIN(TestFileDialog)
#include "tst_filedialog.moc"
