#include "views/form_ports.h"

#include <QFont>
#include <QFontMetricsF>
#include <QtMath>
#include <QHeaderView>
#include <QStyle>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

#include "link/packets.h"
#include "link/port_table.h"
#include "model/gps_time.h"
#include "model/port_reports.h"
#include "notify/receiver_notifier.h"
#include "platform/device_openers.h"
#include "platform/port_enumeration.h"
#include "views/cell_text_delegate.h"
#include "views/view_support.h"

TForm_Ports* Form_Ports = nullptr;

namespace {

constexpr int kRefreshMs = 1000;
constexpr int32_t kQuietMs = 5000;
const QString kNone = "-";

const QStringList kColumns = {"COM",      "Device",    "State",    "Last (s)", "Fix",     "Latitude",
                              "Longitude", "Altitude", "GPS Time", "Packets",  "Bytes"};

QString StateText(const PortRecord& port, int com)
{
    if (port.lost)
        return "lost";
    if (port.traffic.quietMs >= kQuietMs)
        return "quiet";
    if (com == DisplayPort)
        return "display";
    return port.monitored ? "monitored" : "open";
}

QString FixText(const PortReportRecord& r)
{
    // The fix report as kept (a 0x6C's own count put in its mode byte).
    const Report6D& fix = r.fix;
    if (fix.fixModeBits == 0)
        return kNone;
    return QString::asprintf("%d-D (%d SV)", fix.DimensionCode() - 1, fix.SatelliteCount());
}

// Latitude, longitude and altitude of the last geodetic fix; an ECEF fix is shown in metres.
QStringList PositionTexts(const PortReportRecord& r)
{
    switch (r.positionId) {
    case 0x4A:
    case 0x84:
    case kPositionFrom8F20:
    case kPositionFrom8F23:
    case kPositionFrom8FAC:
        return {QString::asprintf("%.6f", r.latDeg), QString::asprintf("%.6f", r.lonDeg),
                QString::asprintf("%.1f m", r.altM)};
    case 0x42:
    case 0x83:
        return {QString::asprintf("X %.1f m", r.ecefX), QString::asprintf("Y %.1f m", r.ecefY),
                QString::asprintf("Z %.1f m", r.ecefZ)};
    default: return {kNone, kNone, kNone};
    }
}

// A device text past this many characters is elided in the middle, so that
// a long path or host name cannot push the other columns off the window.
constexpr int kDeviceChars = 48;

// The device's path, or for a replayed recording "replay: name.zlk".
QString DeviceText(int com)
{
    const std::string path = ComDevicePath(com);
    if (IsReplayPath(path))
        for (const ComMapping& m : CurrentComMapping())
            if (m.com == com)
                return QString::fromStdString(m.description);
    const QString text = QString::fromStdString(PrintableText(path));
    if (text.size() <= kDeviceChars)
        return text;
    const int head = kDeviceChars / 2 - 1;
    return text.left(head) + QChar(0x2026) + text.right(kDeviceChars - head - 1);
}

QStringList RowTexts(int slot)
{
    const PortRecord& port = PortTable[static_cast<size_t>(slot)];
    const PortReportRecord& r = PortReports[static_cast<size_t>(slot)];
    const int com = slot + 1;
    QStringList row = {QString("COM%1").arg(com), DeviceText(com), StateText(port, com),
                       port.traffic.packets ? QString::number(port.traffic.quietMs / 1000) : kNone, FixText(r)};
    row += PositionTexts(r);
    row << (r.positionId ? QString::fromStdString(FormatTimeOfWeek(r.fixTime, 1)).trimmed() : kNone)
        << QString::number(port.traffic.packets) << QString::number(port.traffic.bytes);
    return row;
}

} // namespace

TForm_Ports::TForm_Ports() : Form("Form_Ports", "All Receivers", 760, 220)
{
    MakeResizable(this, QSize(Scaled(400), Scaled(120)));
    Table_Ports = new QTableWidget(0, static_cast<int>(kColumns.size()), this);
    Table_Ports->setObjectName("Table_Ports");
    Table_Ports->setHorizontalHeaderLabels(kColumns);
    Table_Ports->setItemDelegate(new CellTextDelegate(Table_Ports));
    widest_.assign(static_cast<size_t>(kColumns.size()), 0);
    Table_Ports->verticalHeader()->hide();
    Table_Ports->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Table_Ports->setSelectionBehavior(QAbstractItemView::SelectRows);
    Table_Ports->setSelectionMode(QAbstractItemView::SingleSelection);
    Table_Ports->horizontalHeader()->setStretchLastSection(true);
    Table_Ports->setWordWrap(false);
    Table_Ports->verticalHeader()->setDefaultSectionSize(Table_Ports->fontMetrics().height() + 6);
    SetHint(Table_Ports, "Double-click a receiver to show it in the main window.");
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(Table_Ports);

    Timer_Refresh = new QTimer(this);
    Timer_Refresh->setInterval(kRefreshMs);
    connect(Timer_Refresh, &QTimer::timeout, this, &TForm_Ports::Refresh);
    connect(Table_Ports, &QTableWidget::cellDoubleClicked, this, [this](int row, int) { RowDoubleClicked(row); });
    // A port lost or back shows at once unless the rows are less than a second old.
    connect(&Receivers(), &ReceiverNotifier::portStateChanged, this, [this] {
        if (isVisible() && lastRefresh_.hasExpired(kRefreshMs))
            Refresh();
    });
}

std::vector<QStringList> TForm_Ports::Rows() const
{
    std::vector<QStringList> rows;
    for (int row = 0; row < Table_Ports->rowCount(); ++row) {
        QStringList cells;
        for (int column = 0; column < Table_Ports->columnCount(); ++column)
            cells << Table_Ports->item(row, column)->text();
        rows.push_back(cells);
    }
    return rows;
}

void TForm_Ports::Refresh()
{
    lastRefresh_.start();
    if (isVisible())
        Timer_Refresh->start(); // the next refresh a whole second from this one
    rowComs_.clear();
    for (int slot = 0; slot < kPortSlots; ++slot) {
        const PortRecord& port = PortTable[static_cast<size_t>(slot)];
        if (port.open || port.lost)
            rowComs_.push_back(slot + 1);
    }
    Table_Ports->setRowCount(static_cast<int>(rowComs_.size()));
    bool grew = false;
    for (int row = 0; row < static_cast<int>(rowComs_.size()); ++row) {
        const int com = rowComs_[static_cast<size_t>(row)];
        const QStringList texts = RowTexts(com - 1);
        for (int column = 0; column < texts.size(); ++column)
            grew |= ShowCell(row, column, texts[column], com == DisplayPort);
    }
    if (grew)
        FitColumns();
}

// Each column as wide as its widest text so far or its title. Set from the
// widths already measured: Qt's own fitting measures every cell again, and
// only the rows it has laid out (none before the window's first layout).
void TForm_Ports::FitColumns()
{
    // A cell's text keeps the style's margin on each side, and the grid line.
    const int padding = 2 * (Table_Ports->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, Table_Ports) + 1) + 1;
    const QHeaderView* header = Table_Ports->horizontalHeader();
    for (int column = 0; column < Table_Ports->columnCount(); ++column)
        Table_Ports->setColumnWidth(column, std::max(widest_[static_cast<size_t>(column)] + padding,
                                                     header->sectionSizeHint(column)));
}

// Sets what changed only: each set text or font repaints and re-measures the
// cell. True when the text is wider than any its column has shown: only then
// may the column have to grow (a count that keeps its digits never re-measures).
bool TForm_Ports::ShowCell(int row, int column, const QString& text, bool bold)
{
    QTableWidgetItem* item = Table_Ports->item(row, column);
    if (!item) {
        item = new QTableWidgetItem;
        Table_Ports->setItem(row, column, item);
    }
    bool changed = false;
    // The display port's row stands out whatever its state: the table's font in
    // bold; the other rows have no font of their own and follow the table's.
    if (item->data(Qt::FontRole).isValid() != bold) {
        QFont font = Table_Ports->font();
        font.setBold(true);
        item->setData(Qt::FontRole, bold ? QVariant(font) : QVariant());
        changed = true;
    }
    if (item->text() != text) {
        item->setText(text);
        changed = true;
    }
    if (!changed)
        return false;
    int& widest = widest_[static_cast<size_t>(column)];
    // An item without a font of its own is drawn in the table's.
    const QFont font = item->data(Qt::FontRole).isValid() ? item->font() : Table_Ports->font();
    // Rounded up: a cell elides a text whose exact width passes its room by a fraction.
    const int advance = qCeil(QFontMetricsF(font).horizontalAdvance(text));
    if (advance <= widest)
        return false;
    widest = advance;
    return true;
}

void TForm_Ports::showEvent(QShowEvent* event)
{
    Form::showEvent(event);
    Refresh();
}

void TForm_Ports::hideEvent(QHideEvent* event)
{
    Timer_Refresh->stop();
    Form::hideEvent(event);
}

void TForm_Ports::RowDoubleClicked(int row)
{
    if (row < 0 || row >= static_cast<int>(rowComs_.size()))
        return;
    emit displayPortChosen(rowComs_[static_cast<size_t>(row)]);
    Refresh(); // the new display port at once, not a second later

}
