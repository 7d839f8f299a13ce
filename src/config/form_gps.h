// The GPS configuration dialog, caption "Receiver Configuration": receiver
// mode, dynamics, DGPS mode and the fix masks of packet 0xBB. It shows the
// display port's last report from PortSettings when it opens and each
// new one while it is open. Created hidden at start.
#pragma once

#include <optional>

#include "link/packets.h"
#include "model/port_settings.h"
#include "platform/widgets.h"

class QComboBox;
class QLineEdit;
class QPushButton;

class TForm_GPS : public Form {
    Q_OBJECT
public:
    TForm_GPS();

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
    SettingCursor shown_;

    // The display port's report, if it is not shown yet.
    void ShowReceived();
    void ShowConfig(const GpsConfigRecord& config);
    QLineEdit* AddField(const QString& name, const QString& caption, const QString& hint, int top);
    // The record from the controls, or nothing when a field does not parse
    // (the box has been shown).
    std::optional<GpsConfigRecord> BuildConfig() const;
    bool SendSettings();
};

extern TForm_GPS* Form_GPS;
