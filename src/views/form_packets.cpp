#include "views/form_packets.h"

#include <QClipboard>
#include <QComboBox>
#include <QDateTime>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QShortcut>
#include <QSortFilterProxyModel>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <optional>

#include "link/commands.h"
#include "link/framing.h"
#include "link/port_table.h"
#include "notify/receiver_notifier.h"
#include "platform/ui.h"
#include "views/cell_text_delegate.h"
#include "views/packet_table.h"
#include "views/view_support.h"

TForm_Packets* Form_Packets = nullptr;

namespace {

constexpr int kPortListMs = 1000;
// New rows reach the table once a second: each move repaints the whole scrolled view.
constexpr int kFlushMs = 1000;
const QString kTitle = "Packet Console";

// "8E 15" or "8E15" (id first): the message bytes, or why there are none.
std::optional<QByteArray> ParseHexMessage(const QString& text, QString* error)
{
    static const QRegularExpression kSpace("\\s+");
    static const QRegularExpression kHex("^[0-9A-Fa-f]*$");
    const QStringList groups = text.split(kSpace, Qt::SkipEmptyParts);
    QByteArray bytes;
    for (const QString& group : groups) {
        if (!kHex.match(group).hasMatch()) {
            *error = QString("\"%1\" is not hex: use the digits 0-9 and A-F.").arg(group);
            return std::nullopt;
        }
        if (group.size() % 2 != 0) {
            *error = QString("\"%1\" has an odd number of digits: each byte takes two.").arg(group);
            return std::nullopt;
        }
        bytes += QByteArray::fromHex(group.toLatin1());
    }
    if (bytes.isEmpty()) {
        *error = "Type the packet in hex, id first (e.g. 8E 15).";
        return std::nullopt;
    }
    if (static_cast<size_t>(bytes.size()) > kMaxMessageBytes) {
        *error = QString("A packet has at most %1 bytes; this one has %2.").arg(kMaxMessageBytes).arg(bytes.size());
        return std::nullopt;
    }
    return bytes;
}

bool SlotInUse(int slot)
{
    const PortRecord& port = PortTable[static_cast<size_t>(slot)];
    return port.open || port.lost;
}

// A named widget of the row, with the row's spare width shared by stretch.
template <class W>
W* AddToRow(QWidget* parent, QBoxLayout* row, const QString& name, int stretch = 0)
{
    auto* widget = new W(parent);
    widget->setObjectName(name);
    row->addWidget(widget, stretch);
    return widget;
}

QPushButton* AddButton(QWidget* parent, QBoxLayout* row, const QString& name, const QString& caption)
{
    auto* button = AddToRow<QPushButton>(parent, row, name);
    button->setText(caption);
    return button;
}

QLineEdit* AddEdit(QWidget* parent, QBoxLayout* row, const QString& name, const QString& placeholder)
{
    auto* edit = AddToRow<QLineEdit>(parent, row, name, 1);
    edit->setPlaceholderText(placeholder);
    return edit;
}

} // namespace

TForm_Packets::TForm_Packets() : Form("Form_Packets", kTitle, 820, 360)
{
    MakeResizable(this, QSize(Scaled(480), Scaled(200)));
    com_ = DisplayPort;
    rows_ = new PacketRows(this);
    shown_ = new QSortFilterProxyModel(this);
    shown_->setSourceModel(rows_);
    shown_->setFilterKeyColumn(PacketRows::Id);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    BuildTopRow(this);
    BuildTable(this);
    BuildSendRow(this);
    Subscribe();
}

void TForm_Packets::BuildTable(QWidget* parent)
{
    Table_Packets = new PacketTable(parent);
    Table_Packets->setObjectName("Table_Packets");
    Table_Packets->setModel(shown_);
    Table_Packets->setItemDelegate(new CellTextDelegate(Table_Packets));
    Table_Packets->setSelectionBehavior(QAbstractItemView::SelectRows);
    Table_Packets->verticalHeader()->hide();
    // Fixed row heights keep ten thousand rows cheap to lay out.
    Table_Packets->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    Table_Packets->verticalHeader()->setDefaultSectionSize(Table_Packets->fontMetrics().height() + 4);
    Table_Packets->horizontalHeader()->setStretchLastSection(true);
    for (const auto& [column, width] : {std::pair{PacketRows::Time, 90}, {PacketRows::Direction, 32},
                                        {PacketRows::Id, 48}, {PacketRows::Length, 36}, {PacketRows::Summary, 380}})
        Table_Packets->setColumnWidth(column, Scaled(width));
    static_cast<QBoxLayout*>(layout())->addWidget(Table_Packets);
    connect(new QShortcut(QKeySequence::Copy, Table_Packets), &QShortcut::activated, this,
            &TForm_Packets::CopySelectedRows);
}

void TForm_Packets::Subscribe()
{
    connect(&Receivers(), &ReceiverNotifier::packetIn, this,
            [this](int slot, int id, QByteArrayView bytes) { Collect(slot, id, bytes, false); });
    connect(&Receivers(), &ReceiverNotifier::packetOut, this,
            [this](int slot, int id, QByteArrayView bytes) { Collect(slot, id, bytes, true); });
    connect(&Receivers(), &ReceiverNotifier::portStateChanged, this, [this] {
        if (isVisible())
            RefreshPortList();
    });
    Timer_Ports = new QTimer(this);
    Timer_Ports->setInterval(kPortListMs);
    connect(Timer_Ports, &QTimer::timeout, this, &TForm_Packets::RefreshPortList);
    Timer_Flush = new QTimer(this);
    Timer_Flush->setInterval(kFlushMs);
    connect(Timer_Flush, &QTimer::timeout, this, &TForm_Packets::FlushRows);
}

void TForm_Packets::BuildTopRow(QWidget* parent)
{
    auto* row = new QHBoxLayout;
    row->addWidget(new QLabel("Port:", parent));
    ComboBox_Port = AddToRow<QComboBox>(parent, row, "ComboBox_Port");
    row->addWidget(new QLabel("ID:", parent));
    Edit_Filter = AddEdit(parent, row, "Edit_Filter", "all (or e.g. 4A, 8F, 8F-15)");
    Button_Pause = AddButton(parent, row, "Button_Pause", "&Pause");
    Button_Pause->setCheckable(true);
    Button_Clear = AddButton(parent, row, "Button_Clear", "C&lear");
    Button_Copy = AddButton(parent, row, "Button_Copy", "&Copy");
    static_cast<QBoxLayout*>(layout())->addLayout(row);
    connect(ComboBox_Port, &QComboBox::activated, this, &TForm_Packets::ComboBox_PortChange);
    connect(Edit_Filter, &QLineEdit::textChanged, this, &TForm_Packets::Edit_FilterChange);
    connect(Button_Pause, &QPushButton::toggled, this, &TForm_Packets::Button_PauseClick);
    connect(Button_Clear, &QPushButton::clicked, this, &TForm_Packets::Button_ClearClick);
    connect(Button_Copy, &QPushButton::clicked, this, &TForm_Packets::CopySelectedRows);
}

void TForm_Packets::BuildSendRow(QWidget* parent)
{
    auto* row = new QHBoxLayout;
    row->addWidget(new QLabel("Send:", parent));
    Edit_Send = AddEdit(parent, row, "Edit_Send", "hex, id first, e.g. 8E 15");
    Button_Send = AddButton(parent, row, "Button_Send", "&Send...");
    Label_SendResult = AddToRow<QLabel>(parent, row, "Label_SendResult", 2);
    static_cast<QBoxLayout*>(layout())->addLayout(row);
    connect(Button_Send, &QPushButton::clicked, this, &TForm_Packets::Button_SendClick);
    connect(Edit_Send, &QLineEdit::returnPressed, this, &TForm_Packets::Button_SendClick);
}

const QAbstractItemModel& TForm_Packets::ShownRows() const { return *shown_; }

void TForm_Packets::Collect(int slot, int id, QByteArrayView bytes, bool sent)
{
    FollowDisplayPort();
    if (slot + 1 != com_)
        return;
    // Past the limit the oldest row is used again: its bytes' storage takes
    // the new packet's (a fast line or replay queues thousands a second).
    PacketRow row;
    if (waiting_.size() >= static_cast<size_t>(kMaxPacketRows)) {
        row = std::move(waiting_.front());
        waiting_.pop_front();
        row.text = {};
    }
    row.msecs = QDateTime::currentMSecsSinceEpoch();
    row.sent = sent;
    row.id = id;
    row.data.resize(bytes.size());
    std::copy(bytes.begin(), bytes.end(), row.data.begin());
    waiting_.push_back(std::move(row));
}

void TForm_Packets::FlushRows()
{
    if (paused_ || waiting_.empty())
        return;
    // The newest rows stay in view unless the user has scrolled up to read.
    const QScrollBar* bar = Table_Packets->verticalScrollBar();
    const bool atEnd = bar->value() >= bar->maximum();
    Table_Packets->Append([this] { rows_->Append(waiting_); }, atEnd && isVisible());
}

// The rows are one port's: following the display port to another starts anew.
void TForm_Packets::FollowDisplayPort()
{
    if (!followDisplay_ || com_ == DisplayPort)
        return;
    com_ = DisplayPort;
    Button_ClearClick();
}

void TForm_Packets::RefreshPortList()
{
    FollowDisplayPort();
    QList<int> coms;
    for (int slot = 0; slot < kPortSlots; ++slot)
        if (SlotInUse(slot) || slot + 1 == com_)
            coms << slot + 1;
    QList<int> listed;
    for (int i = 0; i < ComboBox_Port->count(); ++i)
        listed << ComboBox_Port->itemData(i).toInt();
    if (coms != listed) {
        ComboBox_Port->clear();
        for (int com : coms)
            ComboBox_Port->addItem(QString("COM%1").arg(com), com);
    }
    ComboBox_Port->setCurrentIndex(ComboBox_Port->findData(com_));
}

void TForm_Packets::ComboBox_PortChange(int index)
{
    const int com = ComboBox_Port->itemData(index).toInt();
    followDisplay_ = false;
    if (com == com_)
        return;
    com_ = com;
    Button_ClearClick(); // the rows are one port's
}

void TForm_Packets::Edit_FilterChange(const QString& text)
{
    // "8F" shows every 8F-xx; "8F-15" only that one.
    const QString id = text.trimmed();
    shown_->setFilterRegularExpression(
        id.isEmpty() ? QRegularExpression()
                     : QRegularExpression("^" + QRegularExpression::escape(id) + "(-|$)",
                                          QRegularExpression::CaseInsensitiveOption));
}

void TForm_Packets::Button_PauseClick(bool paused)
{
    paused_ = paused;
    Button_Pause->setText(paused ? "&Resume" : "&Pause");
    FlushRows();
}

void TForm_Packets::Button_ClearClick()
{
    waiting_.clear();
    rows_->Clear();
}

void TForm_Packets::CopySelectedRows()
{
    QModelIndexList selected = Table_Packets->selectionModel()->selectedRows();
    std::sort(selected.begin(), selected.end(),
              [](const QModelIndex& a, const QModelIndex& b) { return a.row() < b.row(); });
    QStringList lines;
    for (const QModelIndex& index : selected) {
        QStringList cells;
        for (int column = 0; column < PacketRows::ColumnCount; ++column)
            cells << shown_->index(index.row(), column).data().toString();
        lines << cells.join('\t');
    }
    if (!lines.isEmpty())
        QGuiApplication::clipboard()->setText(lines.join('\n') + '\n');
}

void TForm_Packets::Button_SendClick()
{
    QString error;
    const std::optional<QByteArray> message = ParseHexMessage(Edit_Send->text(), &error);
    if (!message)
        return ShowSendResult(error, true);
    const int slot = com_ - 1;
    if (slot < 0 || slot >= kPortSlots || !PortTable[static_cast<size_t>(slot)].open)
        return ShowSendResult(QString("COM%1 is not open: nothing was sent.").arg(com_), true);
    const QString hex = QString::fromLatin1(message->toHex(' ').toUpper());
    if (!ui::AskYesNo(QString("Send the packet %1 to COM%2?").arg(hex).arg(com_), kTitle, ui::Icon::Warning,
                      ui::Answer::No))
        return ShowSendResult("Not sent.", false);
    SendPacket(slot, static_cast<int>(message->size()), reinterpret_cast<const uint8_t*>(message->constData()));
    ShowSendResult(QString("Sent %1 to COM%2.").arg(hex).arg(com_), false);
}

void TForm_Packets::ShowSendResult(const QString& text, bool error)
{
    Label_SendResult->setText(text);
    Label_SendResult->setStyleSheet(error ? "color: red;" : QString());
}

void TForm_Packets::showEvent(QShowEvent* event)
{
    Form::showEvent(event);
    RefreshPortList();
    FlushRows();
    Timer_Ports->start();
    Timer_Flush->start();
    Table_Packets->scrollToBottom();
}

void TForm_Packets::hideEvent(QHideEvent* event)
{
    Timer_Ports->stop();
    Timer_Flush->stop();
    Form::hideEvent(event);
}
