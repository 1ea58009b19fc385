#include "browse/qt/qtfiledialogcomponent.h"

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

void QtFileDialogComponent::ShowOperation(std::int16_t /*action: one kind of dialog*/)
{
    // The name's folder is where the dialog starts; its last part, usually a wildcard
    // pattern, filters the names shown first.
    const QString name = QDir::fromNativeSeparators(m_fileName);
    const qsizetype slash = name.lastIndexOf(QLatin1Char('/'));
    const QString folder = slash >= 0 ? name.left(slash + 1) : QString();
    const QString last = name.mid(slash + 1);

    QFileDialog dialog(QApplication::activeWindow());
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::AnyFile); // the report may not exist yet
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    if (!folder.isEmpty() && QFileInfo(folder).isDir())
        dialog.setDirectory(folder);

    QStringList filters;
    if (last.contains(QLatin1Char('*')) || last.contains(QLatin1Char('?')))
        filters << last + QStringLiteral(" (") + caseless(last) + QLatin1Char(')');
    else if (!last.isEmpty())
        dialog.selectFile(last);
    filters << nameFilters(m_filter);
    filters.removeDuplicates();
    if (!filters.isEmpty())
        dialog.setNameFilters(filters);

    if (aboutToShow)
        aboutToShow(dialog);
    // A cancelled dialog gives back no name, so the field keeps its text.
    m_fileName.clear();
    if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty())
        m_fileName = QDir::toNativeSeparators(dialog.selectedFiles().constFirst());
}
