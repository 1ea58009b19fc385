#include "browse/qt/qtfiledialogcomponent.h"

#include "browse/shownname.h"
#include "platform/posix/posixfilelayer.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>


namespace {

QString toQString(std::u16string_view text)
{
    return QString(reinterpret_cast<const QChar *>(text.data()), static_cast<qsizetype>(text.size()));
}

std::u16string toU16(const QString &text)
{
    return {reinterpret_cast<const char16_t *>(text.utf16()), static_cast<std::size_t>(text.size())};
}

} // namespace

std::u16string QtFileDialogComponent::FileNameProperty() const
{
    return toU16(m_fileName);
}

void QtFileDialogComponent::setFileNameProperty(std::u16string_view value)
{
    m_fileName = toQString(value);
}

std::u16string QtFileDialogComponent::FilterProperty() const
{
    return toU16(m_filter);
}

void QtFileDialogComponent::setFilterProperty(std::u16string_view value)
{
    m_filter = toQString(value);
}

QString QtFileDialogComponent::caseless(const QString &pattern)
{
    QString result;
    for (const QChar c : pattern) {
        if (c.isLetter() && c.toLower() != c.toUpper())
            result += QLatin1Char('[') + c.toLower() + c.toUpper() + QLatin1Char(']');
        else
            result += c;
    }
    return result;
}

QString QtFileDialogComponent::nameFilter(const DialogRequest::Filter &filter)
{
    // "*.*" means every file on Windows; here a name need not have a dot.
    QStringList patterns;
    for (const std::u16string &pattern : filter.patterns)
        patterns << (pattern == DialogRequest::AllFilesPattern ? QStringLiteral("*") : caseless(toQString(pattern)));
    return toQString(filter.description) + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) + QLatin1Char(')');
}

void QtFileDialogComponent::ShowOperation(std::int16_t action)
{
    // Folders are written the Windows way by heritage: "\" separates them here too.
    const auto localPath = [](std::u16string_view name) {
        return toQString(name).replace(QLatin1Char('\\'), QLatin1Char('/'));
    };
    const DialogRequest request = DialogRequest::from(
        toU16(m_fileName), toU16(m_filter), action,
        [&](std::u16string_view folder) { return QFileInfo(localPath(folder)).isDir(); });

    QFileDialog dialog(m_owner ? m_owner.data() : QApplication::activeWindow());
    // A save dialog's title and its question before replacing a file are Qt's own,
    // translated with the rest of its texts.
    const bool save = request.kind == DialogRequest::Kind::Save;
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !save);
    dialog.setFileMode(QFileDialog::AnyFile); // the report may not exist yet
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    dialog.setDirectory(request.folder.empty() ? QDir::currentPath() : localPath(request.folder));
    if (!request.fileName.empty())
        dialog.selectFile(toQString(request.fileName));
    QStringList filters;
    for (const DialogRequest::Filter &filter : request.filters)
        filters << nameFilter(filter);
    dialog.setNameFilters(filters);
    dialog.selectNameFilter(filters.constFirst());

    if (aboutToShow)
        aboutToShow(dialog);
    // A cancelled dialog gives back no name, so the field keeps its text.
    m_fileName.clear();
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    // Qt shows each byte of a name that is not UTF-8 as U+FFFD: traced back to its file,
    // or refused when it cannot be, never left to reach another.
    const auto exact = ShownName::resolve(toU16(dialog.selectedFiles().constFirst()), PosixFileLayer::namesIn);
    if (!exact)
        throw Refused(Failure::of(Failure::BadFileName));
    m_fileName = toQString(*exact);
}
