// The "Packet Console" window: the packets of one port as they come and go,
// with a one-line description of each, and a line to send a packet typed in hex.
// It keeps collecting the chosen port's packets while hidden (bounded, as when shown).
#pragma once

#include <deque>

#include "platform/widgets.h"
#include "views/packet_rows.h"

class QAbstractItemModel;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSortFilterProxyModel;
class QTableView;
class QTimer;

class TForm_Packets : public Form {
    Q_OBJECT
public:
    TForm_Packets();

    // The rows shown (after the id filter), for reading.
    const QAbstractItemModel& ShownRows() const;
    // The COM number whose packets are collected (the display port at start).
    int Com() const { return com_; }

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void BuildTopRow(QWidget* parent);
    void BuildSendRow(QWidget* parent);
    void Collect(int slot, int id, const QByteArray& data, bool sent);
    void RefreshPortList();
    void ComboBox_PortChange(int index);
    void Edit_FilterChange(const QString& text);
    void Button_PauseClick(bool paused);
    void Button_ClearClick();
    void CopySelectedRows();
    void Button_SendClick();
    void ShowSendResult(const QString& text, bool error);

    int com_ = 0;
    bool paused_ = false;
    std::deque<PacketRow> held_; // arrived while paused, shown on resume
    PacketRows* rows_ = nullptr;
    QSortFilterProxyModel* shown_ = nullptr;
    QComboBox* ComboBox_Port = nullptr;
    QLineEdit* Edit_Filter = nullptr;
    QPushButton* Button_Pause = nullptr;
    QPushButton* Button_Clear = nullptr;
    QPushButton* Button_Copy = nullptr;
    QTableView* Table_Packets = nullptr;
    QLineEdit* Edit_Send = nullptr;
    QPushButton* Button_Send = nullptr;
    QLabel* Label_SendResult = nullptr;
    QTimer* Timer_Ports = nullptr;
};

extern TForm_Packets* Form_Packets;
