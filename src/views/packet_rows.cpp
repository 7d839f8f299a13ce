#include "views/packet_rows.h"

#include <QDateTime>

#include <algorithm>
#include <iterator>

#include "describe/field_text.h"
#include "describe/packet_fields.h"

namespace {

const uint8_t* Bytes(const QByteArray& data) { return reinterpret_cast<const uint8_t*>(data.constData()); }

} // namespace

void PacketRows::Append(std::deque<PacketRow>& batch)
{
    while (batch.size() > static_cast<size_t>(kMaxPacketRows))
        batch.pop_front();
    if (batch.empty())
        return;
    const size_t overflow = rows_.size() + batch.size() - std::min(rows_.size() + batch.size(), size_t{kMaxPacketRows});
    if (overflow > 0) {
        beginRemoveRows({}, 0, static_cast<int>(overflow) - 1);
        rows_.erase(rows_.begin(), rows_.begin() + static_cast<std::ptrdiff_t>(overflow));
        endRemoveRows();
    }
    const int at = static_cast<int>(rows_.size());
    beginInsertRows({}, at, at + static_cast<int>(batch.size()) - 1);
    std::move(batch.begin(), batch.end(), std::back_inserter(rows_));
    endInsertRows();
    batch.clear();
}

void PacketRows::Clear()
{
    beginResetModel();
    rows_.clear();
    endResetModel();
}

int PacketRows::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int PacketRows::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : ColumnCount; }

QString PacketRows::CellText(const PacketRow& row, int column)
{
    if (column < 0 || column >= ColumnCount)
        return {};
    QString& text = row.text[static_cast<size_t>(column)];
    if (text.isNull())
        text = MakeCellText(row, column);
    return text;
}

QString PacketRows::MakeCellText(const PacketRow& row, int column)
{
    const auto length = static_cast<size_t>(row.data.size());
    switch (column) {
    case Time: return QDateTime::fromMSecsSinceEpoch(row.msecs).toString("HH:mm:ss.zzz");
    case Direction: return row.sent ? "out" : "in";
    case Id: {
        char key[8];
        PacketKey(row.id, Bytes(row.data), length, key);
        return QString::fromLatin1(key);
    }
    case Length: return QString::number(length);
    case Summary: return QString::fromStdString(PacketSummary(row.id, Bytes(row.data), length));
    case Hex: return QString::fromLatin1(row.data.toHex(' ').toUpper());
    default: return {};
    }
}

QVariant PacketRows::data(const QModelIndex& index, int role) const
{
    // The tool tip shows a summary or hex too long for its column in full.
    const bool tip = role == Qt::ToolTipRole && (index.column() == Summary || index.column() == Hex);
    if ((role != Qt::DisplayRole && !tip) || !index.isValid() || index.row() >= static_cast<int>(rows_.size()))
        return {};
    return CellText(rows_[static_cast<size_t>(index.row())], index.column());
}

QVariant PacketRows::headerData(int section, Qt::Orientation orientation, int role) const
{
    static const char* const kTitles[ColumnCount] = {"Time", "Dir", "ID", "Len", "Summary", "Hex"};
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal || section < 0 || section >= ColumnCount)
        return {};
    return QString(kTitles[section]);
}
