// The "Packet Console" window: the packets of one port as they come and go,
// with a one-line description of each, and a line to send a packet typed in hex.
// Packets wait in a queue (the last kMaxPacketRows) and reach the table five
// times a second while shown and not paused: a burst costs one table update,
// and while hidden the chosen port's packets are only queued.
#pragma once

#include <deque>

#include "platform/widgets.h"
#include "views/packet_rows.h"

class PacketTable;
class QAbstractItemModel;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSortFilterProxyModel;
class QTimer;

class TForm_Packets : public Form {
    Q_OBJECT
public:
    TForm_Packets();

    // The rows shown (after the id filter), for reading.
    const QAbstractItemModel& ShownRows() const;
    // The COM number whose packets are collected: the display port until the user picks another.
    int Com() const { return com_; }
    // Moves the waiting packets into the table (the window's timer does it while shown).
    void FlushRows();

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void BuildTopRow(QWidget* parent);
    void BuildTable(QWidget* parent);
    void BuildSendRow(QWidget* parent);
    void Subscribe();
    void Collect(int slot, int id, QByteArrayView bytes, bool sent);
    void FollowDisplayPort();
    void RefreshPortList();
    void ComboBox_PortChange(int index);
    void Edit_FilterChange(const QString& text);
    void Button_PauseClick(bool paused);
    void Button_ClearClick();
    void CopySelectedRows();
    void Button_SendClick();
    void ShowSendResult(const QString& text, bool error);

    int com_ = 0;
    bool followDisplay_ = true;
    bool paused_ = false;
    std::deque<PacketRow> waiting_; // not in the table yet
    PacketRows* rows_ = nullptr;
    QSortFilterProxyModel* shown_ = nullptr;
    QComboBox* ComboBox_Port = nullptr;
    QLineEdit* Edit_Filter = nullptr;
    QPushButton* Button_Pause = nullptr;
    QPushButton* Button_Clear = nullptr;
    QPushButton* Button_Copy = nullptr;
    PacketTable* Table_Packets = nullptr;
    QLineEdit* Edit_Send = nullptr;
    QPushButton* Button_Send = nullptr;
    QLabel* Label_SendResult = nullptr;
    QTimer* Timer_Ports = nullptr;
    QTimer* Timer_Flush = nullptr;
};

extern TForm_Packets* Form_Packets;
