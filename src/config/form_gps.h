// The GPS configuration dialog, caption "Receiver Configuration": receiver
// mode, dynamics, DGPS mode and the fix masks of packet 0xBB. Its controls
// are the only copy of the receiver's settings. Created hidden at start.
#pragma once

#include <optional>

#include "link/packets.h"
#include "link/port_table.h"
#include "platform/widgets.h"

class QComboBox;
class QLineEdit;
class QPushButton;

class TForm_GPS : public Form {
    Q_OBJECT
public:
    TForm_GPS();

    // Writes a report's settings into the controls.
    void ShowConfig(const GpsConfigRecord& config);

    void Button_OKClick();
    void Button_ApplyClick();
    void Button_CancelClick();

private:
    QComboBox* ComboBox_RMode = nullptr;
    QComboBox* ComboBox_DCode = nullptr;
    QComboBox* ComboBox_DifMode = nullptr;
    QLineEdit* Edit_EMask = nullptr;
    QLineEdit* Edit_SMask = nullptr;
    QLineEdit* Edit_PMask = nullptr;
    QLineEdit* Edit_PSwitch = nullptr;
    QLineEdit* Edit_DGPSAge = nullptr;
    QPushButton* Button_OK = nullptr;
    QPushButton* Button_Apply = nullptr;
    QPushButton* Button_Cancel = nullptr;

    QLineEdit* AddField(const QString& name, const QString& caption, const QString& hint, int top);
    // The record from the controls, or nothing when a field does not parse
    // (the box has been shown).
    std::optional<GpsConfigRecord> BuildConfig() const;
    bool SendSettings();
};

extern TForm_GPS* Form_GPS;

// Report 0xBB of the display port: fills Form_GPS, shown or hidden.
void DecodeReport_BB(PortRecord& port);
