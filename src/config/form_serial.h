// The receiver serial port dialog, caption "Serial Port Configuration": the
// line settings and protocols of the receiver's port 0 (packet 0xBC), with
// the offer to switch the PC side along. Created hidden at start.
#pragma once

#include <optional>

#include "config/serial_apply.h"
#include "link/packets.h"
#include "link/port_table.h"
#include "platform/widgets.h"

class QComboBox;
class QPushButton;

class TForm_Serial : public Form {
    Q_OBJECT
public:
    TForm_Serial();

    // Writes a report of receiver port 0 into the lists.
    void ShowConfig(const SerialConfigRecord& config);

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

    QComboBox* AddRow(const QString& name, const QString& caption, const QString& hint, const QStringList& rows,
                      int top);
    // The record for receiver port 0, or nothing when a line setting has no row (the box has been shown).
    std::optional<SerialConfigRecord> BuildRecord() const;
};

extern TForm_Serial* Form_Serial;

// Report 0xBC of the display port; only receiver port 0 fills Form_Serial.
void DecodeReport_BC(PortRecord& port);
