#include "browse/qt/qtfiledialogcomponent.h"
#include "platform/filenamecodec.h"
#include "tests/scratchfolder.h"

#include <QComboBox>
#include <QDir>
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
    void namesQtCannotDecodeLeadToTheirFile();
    void opensInItsFolderWithTheFilterApplied_data();
    void opensInItsFolderWithTheFilterApplied();
    void allFilesIsOfferedAfterTheGivenFilter();

private:
    QString show(QtFileDialogComponent &component, const std::function<void(QFileDialog &)> &answer);
    // The names the list shows, sorted, once it shows at least `atLeast` of them (the
    // folder is read in the background).
    static QStringList shownNames(QFileDialog &dialog, qsizetype atLeast);
    static QStringList filtersShown(QFileDialog &dialog);
};

QStringList TestFileDialog::shownNames(QFileDialog &dialog, qsizetype atLeast)
{
    QStringList shown;
    auto *list = dialog.findChild<QListView *>(QStringLiteral("listView"));
    if (!list)
        return {QStringLiteral("(no list)")};
    // Too few names after the wait fails the caller's comparison, which shows them.
    static_cast<void>(QTest::qWaitFor(
        [&] {
            shown.clear();
            const auto root = list->rootIndex();
            for (int row = 0; row < list->model()->rowCount(root); ++row) {
                const auto index = list->model()->index(row, 0, root);
                if (!list->isRowHidden(row) && (list->model()->flags(index) & Qt::ItemIsEnabled))
                    shown << index.data().toString();
            }
            shown.sort();
            return shown.size() >= atLeast;
        },
        5000));
    return shown;
}

// The filters as the "Files of type" box lists them, the selected one first.
QStringList TestFileDialog::filtersShown(QFileDialog &dialog)
{
    auto *types = dialog.findChild<QComboBox *>(QStringLiteral("fileTypeCombo"));
    if (!types)
        return {QStringLiteral("(no box)")};
    QStringList shown{types->currentText()};
    for (int i = 0; i < types->count(); ++i)
        shown << types->itemText(i);
    return shown;
}

// Restores the process's current folder when the test ends.
class CurrentFolder
{
public:
    explicit CurrentFolder(const QString &path) : m_saved(QDir::currentPath()) { QDir::setCurrent(path); }
    ~CurrentFolder() { QDir::setCurrent(m_saved); }
    CurrentFolder(const CurrentFolder &) = delete;
    CurrentFolder &operator=(const CurrentFolder &) = delete;

private:
    QString m_saved;
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
    QTest::addColumn<QString>("description");
    QTest::addColumn<QStringList>("patterns");
    QTest::addColumn<QString>("nameFilter");
    QTest::newRow("page") << "*.HTM" << QStringList{"*.HTM"} << "*.HTM (*.[hH][tT][mM])";
    QTest::newRow("two patterns") << "Pagine" << QStringList{"*.htm", "*.html"}
                                  << "Pagine (*.[hH][tT][mM] *.[hH][tT][mM][lL])";
    QTest::newRow("every file, with or without a dot") << "Tutti i file (*.*)" << QStringList{"*.*"}
                                                       << "Tutti i file (*.*) (*)";
}

void TestFileDialog::filtersIgnoreCase()
{
    QFETCH(QString, description);
    QFETCH(QStringList, patterns);
    QFETCH(QString, nameFilter);
    DialogRequest::Filter filter{description.toStdU16String(), {}};
    for (const QString &pattern : patterns)
        filter.patterns.push_back(pattern.toStdU16String());
    QCOMPARE(QtFileDialogComponent::nameFilter(filter), nameFilter);
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

// Qt shows a byte that is not UTF-8 as U+FFFD: the dialog gives back the very file, or
// refuses the name once two files show alike.
void TestFileDialog::namesQtCannotDecodeLeadToTheirFile()
{
    ScratchFolder folder;
    const std::string page = folder.write("r\xE9.htm", "x");
    QtFileDialogComponent component;
    const auto choose = [&] {
        component.setFileNameProperty((QString::fromStdString(folder.path("")) + "*.HTM").toStdU16String());
        return show(component, [&](QFileDialog &dialog) {
            dialog.selectFile(QFile::decodeName(QByteArray::fromStdString(page)));
            static_cast<QDialog &>(dialog).accept(); // QFileDialog hides it; QDialog's is public
        });
    };
    QCOMPARE(choose(), QString::fromStdU16String(FileNameCodec::decode(page)));
    folder.write("r\xFF.htm", "x");
    QVERIFY_THROWS_EXCEPTION(FileDialogComponent::Refused, choose());
}

void TestFileDialog::opensInItsFolderWithTheFilterApplied_data()
{
    // "%1" stands for a scratch folder holding page.htm, PAGE2.HTM and other.txt.
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("currentFolder");
    QTest::newRow("folder of the pattern") << "%1*.HTM" << QDir::rootPath();
    // The start-up name's folder exists on no machine but the one it was written for.
    QTest::newRow("start-up name, its folder not here: current folder") << "C:\\VB5\\SITEDOCS\\*.HTM" << "%1";
}

// The first filter is selected, shown in "Files of type" and applied, whatever the case
// of the names.
void TestFileDialog::opensInItsFolderWithTheFilterApplied()
{
    QFETCH(QString, name);
    QFETCH(QString, currentFolder);
    ScratchFolder folder;
    for (const char *file : {"page.htm", "PAGE2.HTM", "other.txt"})
        folder.write(file, "x");
    const QString scratch = QString::fromStdString(folder.path(""));
    const CurrentFolder here(currentFolder.arg(scratch));
    QtFileDialogComponent component;
    component.setFileNameProperty(name.arg(scratch).toStdU16String());
    component.setFilterProperty(u"*.HTM |*.HTM");
    QString directory;
    QStringList filters;
    QStringList shown;
    show(component, [&](QFileDialog &dialog) {
        directory = dialog.directory().absolutePath();
        filters = filtersShown(dialog);
        shown = shownNames(dialog, 2);
        dialog.reject();
    });
    QCOMPARE(directory, scratch.chopped(1));
    QCOMPARE(filters, (QStringList{"*.HTM", "*.HTM", "Tutti i file (*.*)"}));
    QCOMPARE(shown, (QStringList{"PAGE2.HTM", "page.htm"}));
}

void TestFileDialog::allFilesIsOfferedAfterTheGivenFilter()
{
    ScratchFolder folder;
    for (const char *name : {"page.html", "page.ht3", "LEGGIMI"})
        folder.write(name, "x");
    QtFileDialogComponent component;
    component.setFileNameProperty((QString::fromStdString(folder.path("")) + "*.HTM").toStdU16String());
    component.setFilterProperty(u"*.HTM |*.HTM");
    QStringList shown;
    show(component, [&](QFileDialog &dialog) {
        dialog.selectNameFilter(dialog.nameFilters().constLast());
        shown = shownNames(dialog, 3);
        dialog.reject();
    });
    QCOMPARE(shown, (QStringList{"LEGGIMI", "page.ht3", "page.html"}));
}

QTEST_MAIN(TestFileDialog)
#include "tst_filedialog.moc"
