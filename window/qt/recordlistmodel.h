#pragma once

#include <QAbstractListModel>

#include <string_view>

class QItemSelection;
class RecordStore;

// List1's rows over the window's record store. Records are decoded only when a row is
// shown: as UTF-8 where the bytes are valid UTF-8, otherwise as Windows-1252, the code
// page such pages were written in. Control characters show as their pictures
// (ControlPictures); the store keeps the report's bytes.
class RecordListModel final : public QAbstractListModel
{
    Q_OBJECT

public:
    RecordListModel(const RecordStore &records, QObject *parent = nullptr);

    // The list now shows the store's first `count` records; a scan announces its rows
    // in one batch instead of one layout pass per record.
    void show(std::size_t count);

    std::string_view record(int row) const;
    // The record's whole text as the list shows it, without the display cut: what a
    // screen reader reads and a copy takes.
    QString wholeText(int row) const;
    // The selected records whole, as ClipboardText writes them, with "\n" between
    // them: Qt turns it into the line end of a clipboard that wants another.
    QString copyText(const QItemSelection &selection) const;

    int rowCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;

    static QString decode(std::string_view bytes);

private:
    const RecordStore &m_store;
    int m_shown = 0;
};
