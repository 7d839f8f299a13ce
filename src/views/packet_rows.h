// The rows of the packet console: the last packets of one port, received and
// sent, oldest first. Holds at most kMaxPacketRows; the oldest go first.
// A row's texts are made when it is first shown, not when it arrives.
#pragma once

#include <QAbstractTableModel>
#include <QByteArray>

#include <array>
#include <deque>

constexpr int kMaxPacketRows = 10000;

struct PacketRow {
    qint64 msecs = 0; // PC time of arrival or queueing (UTC ms since 1970: cheap to read per packet)
    bool sent = false;
    int id = 0;
    QByteArray data; // after the id, unstuffed
    // Each cell's text, made the first time the row is shown and kept: repainting
    // a scrolling table at every flush must not format every cell again.
    mutable std::array<QString, 6> text;
};

class PacketRows : public QAbstractTableModel {
public:
    enum Column { Time, Direction, Id, Length, Summary, Hex, ColumnCount };
    static_assert(ColumnCount == std::tuple_size_v<decltype(PacketRow::text)>);

    using QAbstractTableModel::QAbstractTableModel;

    // Adds the rows at the end (taking them out of batch), dropping the oldest
    // beyond kMaxPacketRows: one insertion and at most one removal per batch.
    void Append(std::deque<PacketRow>& batch);
    void Clear();

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    // The text of one cell, as shown and copied.
    static QString CellText(const PacketRow& row, int column);

private:
    static QString MakeCellText(const PacketRow& row, int column);

    std::deque<PacketRow> rows_;
};
