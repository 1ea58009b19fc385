#include "window/qt/copiedrecords.h"

#include <utility>

namespace {

// UTF-8 text, which is what toolkits ask for (X11's UTF8_STRING is served as
// "text/plain"). Only a program that asks for X11's old Latin-1 STRING gets a text Qt
// converts itself, bounded by the copy's limit.
const QStringList Formats{QStringLiteral("text/plain;charset=utf-8"), QStringLiteral("text/plain")};

} // namespace

CopiedRecords::CopiedRecords(QByteArray utf8)
    : m_utf8(std::move(utf8))
{
}

QStringList CopiedRecords::formats() const
{
    return Formats;
}

bool CopiedRecords::hasFormat(const QString &mimeType) const
{
    return Formats.contains(mimeType);
}

QVariant CopiedRecords::retrieveData(const QString &mimeType, QMetaType) const
{
    // Shared, not copied: nothing is allocated here.
    return hasFormat(mimeType) ? QVariant(m_utf8) : QVariant();
}
