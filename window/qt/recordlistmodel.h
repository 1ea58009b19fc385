#pragma once

#include <QAbstractListModel>

#include <optional>
#include <string_view>

class QItemSelection;
class RecordStore;

// List1's rows over the window's record store. A record is turned into text only when
// a row is shown, and as RecordText says: the row, the whole record for screen readers.
class RecordListModel final : public QAbstractListModel
{
    Q_OBJECT

public:
    RecordListModel(const RecordStore &records, QObject *parent = nullptr);

    // The list now shows the store's first `count` records; a scan announces its rows
    // in one batch instead of one layout pass per record.
    void show(std::size_t count);

    std::string_view record(int row) const;
    // The selected records whole, as ClipboardText writes them, with "\n" between
    // them (Qt turns it into the line end of a clipboard that wants another); nothing
    // when the copy would be too large to offer.
    std::optional<QString> copyText(const QItemSelection &selection) const;

    int rowCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;

private:
    const RecordStore &m_store;
    int m_shown = 0;
};
