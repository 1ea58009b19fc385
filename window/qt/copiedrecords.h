#pragma once

#include <QMimeData>

// What Copia leaves on the clipboard: the text, already in UTF-8. Qt would otherwise
// convert a plain text again for every program that pastes it, where no failure can be
// caught; this answers each request with the bytes it holds, so a paste takes no
// memory, whatever another program asks how often.
class CopiedRecords final : public QMimeData
{
    Q_OBJECT

public:
    explicit CopiedRecords(QByteArray utf8);

    QStringList formats() const override;
    bool hasFormat(const QString &mimeType) const override;

protected:
    QVariant retrieveData(const QString &mimeType, QMetaType type) const override;

private:
    QByteArray m_utf8;
};
