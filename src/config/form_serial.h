// The receiver serial port dialog, caption "Serial Port Configuration": the
// line settings and protocols of the receiver's port 0 (packet 0xBC), with
// the offer to switch the PC side along. It shows the display port's last
// report when it opens and each new one while it is open. Created hidden at
// start.
#pragma once

#include <optional>

#include "config/serial_apply.h"
#include "link/packets.h"
#include "model/port_settings.h"
#include "platform/widgets.h"

class QComboBox;
class QPushButton;

class TForm_Serial : public Form {
    Q_OBJECT
public:
    TForm_Serial();

    void Button_Port1Click();
    void Button_CancelClick();

private:
    QComboBox* ComboBox_Port1Input = nullptr;
    QComboBox* ComboBox_Port1Output = nullptr;
    QComboBox* ComboBox_BaudRate = nullptr;
    QComboBox* ComboBox_DataBits = nullptr;
    QComboBox* ComboBox_Parity = nullptr;
    QComboBox* ComboBox_StopBits = nullptr;
    QPushButton* Button_Port1 = nullptr;
    QPushButton* Button_Cancel = nullptr;
    SettingCursor shown_;

    // The display port's report of receiver port 0, if it is not shown yet.
    void ShowReceived();
    void ShowConfig(const SerialConfigRecord& config);
    QComboBox* AddRow(const QString& name, const QString& caption, const QString& hint, const QStringList& rows,
                      int top);
    // The record for receiver port 0, or nothing when a line setting has no row (the box has been shown).
    std::optional<SerialConfigRecord> BuildRecord() const;
};

extern TForm_Serial* Form_Serial;
