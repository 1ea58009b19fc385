#pragma once

#include <QAbstractListModel>

#include <memory>
#include <string_view>
#include <vector>

// The records shown in the result list. A scan can add 32,767 records of up to 32 KiB
// each, so they are kept once, as the report's own bytes, in large chunks, and decoded
// only when a row is shown: as UTF-8 where the bytes are valid UTF-8, otherwise as
// Windows-1252, the code page such pages were written in.
class RecordListModel final : public QAbstractListModel
{
    Q_OBJECT

public:
    using QAbstractListModel::QAbstractListModel;

    void clear();
    // Stores a record; it becomes a row at the next publish(), so a scan announces its
    // rows in one batch instead of one layout pass per record.
    void append(std::string_view record);
    void publish();

    std::string_view record(int row) const { return m_records[static_cast<std::size_t>(row)]; }

    int rowCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;

    static QString decode(std::string_view bytes);

private:
    static constexpr std::size_t ChunkSize = 1 << 20;

    std::vector<std::unique_ptr<char[]>> m_chunks;
    char *m_current = nullptr; // the chunk that takes the next records
    std::size_t m_currentUsed = 0;
    std::vector<std::string_view> m_records;
    int m_published = 0;
};
