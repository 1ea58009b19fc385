#include "window/qt/recordlistmodel.h"

#include "window/clipboardtext.h"
#include "window/recordstore.h"
#include "window/recordtext.h"

#include <QItemSelection>

#include <algorithm>
#include <limits>
#include <vector>

namespace {

QString toQString(const std::u16string &text)
{
    return QString::fromStdU16String(text);
}

} // namespace

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

std::optional<QString> RecordListModel::copyText(const QItemSelection &selection) const
{
    // The ranges of a selection made with Ctrl and Shift can overlap and come in any
    // order: marking rows keeps each record once and in list order.
    std::vector<bool> selected(static_cast<std::size_t>(m_shown));
    for (const auto &range : selection) {
        for (int row = std::max(range.top(), 0); row <= std::min(range.bottom(), m_shown - 1); ++row)
            selected[static_cast<std::size_t>(row)] = true;
    }
    std::vector<std::string_view> records;
    for (int row = 0; row < m_shown; ++row) {
        if (selected[static_cast<std::size_t>(row)])
            records.push_back(record(row));
    }
    const auto length = ClipboardText::length(records, u"\n");
    if (!length)
        return std::nullopt;
    QString text(static_cast<qsizetype>(*length), Qt::Uninitialized);
    ClipboardText::write(records, u"\n", {reinterpret_cast<char16_t *>(text.data()), *length});
    return text;
}

QVariant RecordListModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_shown || static_cast<std::size_t>(index.row()) >= m_store.size())
        return {};
    if (role == Qt::AccessibleTextRole)
        return toQString(RecordText::whole(record(index.row())));
    if (role == Qt::DisplayRole)
        return toQString(RecordText::row(record(index.row())));
    return {};
}
