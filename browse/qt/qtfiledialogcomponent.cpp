#include "browse/qt/qtfiledialogcomponent.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

#include <algorithm>

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

QStringList QtFileDialogComponent::nameFilters(const QString &filter)
{
    QStringList filters;
    const QStringList parts = filter.split(QLatin1Char('|'));
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QStringList patterns = parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts);
        for (QString &pattern : patterns)
            pattern = caseless(pattern.trimmed());
        filters << parts[i].trimmed() + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) + QLatin1Char(')');
    }
    return filters;
}

QString QtFileDialogComponent::allFilesFilter()
{
    // Shown as "Tutti i file (*.*)"; the pattern in the last parentheses is "*" so that
    // names without an extension show too, as "*.*" shows them on Windows.
    return QStringLiteral("Tutti i file (*.*) (*)");
}

void QtFileDialogComponent::ShowOperation(std::int16_t /*action: one kind of dialog*/)
{
    // The name's folder is where the dialog starts; its last part, usually a wildcard
    // pattern, filters the names shown first. Names are Windows names by heritage
    // ("C:\VB5\SITEDOCS\*.HTM"), so a backslash ends the folder on every platform.
    const qsizetype slash =
        std::max(m_fileName.lastIndexOf(QLatin1Char('/')), m_fileName.lastIndexOf(QLatin1Char('\\')));
    const QString folder = m_fileName.left(slash + 1).replace(QLatin1Char('\\'), QLatin1Char('/'));
    const QString last = m_fileName.mid(slash + 1);

    QFileDialog dialog(QApplication::activeWindow());
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::AnyFile); // the report may not exist yet
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    // A name without a folder is relative to the current folder; so is the start-up
    // name's folder, which exists only on the machine it was written for.
    dialog.setDirectory(!folder.isEmpty() && QFileInfo(folder).isDir() ? folder : QDir::currentPath());

    QStringList filters;
    if (last.contains(QLatin1Char('*')) || last.contains(QLatin1Char('?')))
        filters << last + QStringLiteral(" (") + caseless(last) + QLatin1Char(')');
    else if (!last.isEmpty())
        dialog.selectFile(last);
    filters << nameFilters(m_filter) << allFilesFilter();
    filters.removeDuplicates();
    dialog.setNameFilters(filters);
    dialog.selectNameFilter(filters.constFirst());

    if (aboutToShow)
        aboutToShow(dialog);
    // A cancelled dialog gives back no name, so the field keeps its text.
    m_fileName.clear();
    if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty())
        m_fileName = QDir::toNativeSeparators(dialog.selectedFiles().constFirst());
}
