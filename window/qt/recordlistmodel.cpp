#include "window/qt/recordlistmodel.h"

#include "window/clipboardtext.h"
#include "window/controlpictures.h"
#include "window/recordstore.h"

#include <QItemSelection>
#include <QStringDecoder>

#include <algorithm>
#include <limits>
#include <vector>

namespace {

// Windows-1252 differs from Latin-1 only in 0x80..0x9F; its five unused codes map to
// the C1 controls, as Windows itself decodes them.
constexpr char16_t Cp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

void showControlPictures(QString &text)
{
    ControlPictures::apply({reinterpret_cast<char16_t *>(text.data()), static_cast<std::size_t>(text.size())});
}

} // namespace

QString RecordListModel::decode(std::string_view bytes)
{
    QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    QString text = utf8(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())));
    if (!utf8.hasError())
        return text;

    text.resize(static_cast<qsizetype>(bytes.size()));
    QChar *out = text.data();
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        *out++ = byte >= 0x80 && byte < 0xA0 ? QChar(Cp1252High[byte - 0x80]) : QChar(byte);
    }
    return text;
}

RecordListModel::RecordListModel(const RecordStore &records, QObject *parent)
    : QAbstractListModel(parent)
    , m_store(records)
{
}

void RecordListModel::show(std::size_t count)
{
    // At most 32,767 records: the line numbers stop there.
    const int total = static_cast<int>(std::min<std::size_t>(count, std::numeric_limits<int>::max()));
    if (total == m_shown)
        return;
    if (total < m_shown) {
        beginResetModel();
        m_shown = total;
        endResetModel();
        return;
    }
    beginInsertRows({}, m_shown, total - 1);
    m_shown = total;
    endInsertRows();
}

std::string_view RecordListModel::record(int row) const
{
    return m_store[static_cast<std::size_t>(row)];
}

int RecordListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_shown;
}

QString RecordListModel::wholeText(int row) const
{
    QString text = decode(record(row));
    showControlPictures(text);
    return text;
}

QString RecordListModel::copyText(const QItemSelection &selection) const
{
    // The ranges of a selection made with Ctrl and Shift can overlap and come in any
    // order: marking rows keeps each record once and in list order.
    std::vector<bool> selected(static_cast<std::size_t>(m_shown));
    std::size_t room = 0;
    for (const auto &range : selection) {
        for (int row = std::max(range.top(), 0); row <= std::min(range.bottom(), m_shown - 1); ++row) {
            if (!selected[static_cast<std::size_t>(row)]) {
                selected[static_cast<std::size_t>(row)] = true;
                room += record(row).size() + 1; // the record and a line feed
            }
        }
    }
    QString text(static_cast<qsizetype>(room), Qt::Uninitialized);
    ClipboardText clipboard({reinterpret_cast<char16_t *>(text.data()), room}, u"\n");
    for (int row = 0; row < m_shown; ++row) {
        if (selected[static_cast<std::size_t>(row)]) {
            const QString decoded = decode(record(row));
            clipboard.add({reinterpret_cast<const char16_t *>(decoded.constData()),
                           static_cast<std::size_t>(decoded.size())});
        }
    }
    text.truncate(static_cast<qsizetype>(clipboard.size()));
    return text;
}

QVariant RecordListModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_shown || static_cast<std::size_t>(index.row()) >= m_store.size())
        return {};
    if (role == Qt::AccessibleTextRole)
        return wholeText(index.row());
    if (role == Qt::DisplayRole) {
        // Painting lays out the whole text even where it is cut off; beyond this many
        // characters nothing more can be seen, so a long record costs no more to show.
        constexpr qsizetype ShownCharacters = 1000;
        QString text = decode(record(index.row()));
        if (text.size() > ShownCharacters) {
            text.truncate(text[ShownCharacters].isLowSurrogate() ? ShownCharacters - 1 : ShownCharacters);
            text += QChar(0x2026); // …
        }
        showControlPictures(text);
        return text;
    }
    return {};
}
