// The I/O options and datum dialog, caption "I/O Options": position,
// altitude, precision, velocity and time formats of packets 0x35/0x55, and
// the datum of 0x8E-15/0x8F-15. It shows the display port's last reports
// when it opens and each new one while it is open. Created hidden at start.
#pragma once

#include <optional>

#include "link/packets.h"
#include "model/port_settings.h"
#include "platform/widgets.h"

class QComboBox;
class QPushButton;
class RadioGroup;

class TForm_IOOptions : public Form {
    Q_OBJECT
public:
    TForm_IOOptions();

    // Unlocks the datum controls for receivers that know datums; never undone.
    void EnableDatum();

    void Button_OKClick();
    void Button_ApplyClick();
    void Button_CancelClick();

private:
    Panel* Panel_Position = nullptr;
    Panel* Panel_Velocity = nullptr;
    Panel* Panel_Timing = nullptr;
    RadioGroup* RadioGroup_Format = nullptr;
    RadioGroup* RadioGroup_AltOut = nullptr;
    RadioGroup* RadioGroup_Precision = nullptr;
    RadioGroup* RadioGroup_AltIn = nullptr;
    Label* Label_Datum = nullptr;
    QComboBox* ComboBox_Datum = nullptr;
    RadioGroup* RadioGroup_Velocity = nullptr;
    RadioGroup* RadioGroup_Timing = nullptr;
    QPushButton* Button_OK = nullptr;
    QPushButton* Button_Apply = nullptr;
    QPushButton* Button_Cancel = nullptr;
    SettingCursor shownOptions_;
    SettingCursor shownDatum_;

    // The display port's reports, those not shown yet.
    void ShowReceived();
    void ShowOptions(const IoOptionsRecord& options);
    // A number beyond the list selects none.
    void ShowDatum(int datum);
    // The display port's firmware versions, as Receivers() announces them.
    void ShowProduct(int slot);
    void BuildPosition();
    void BuildDatum(QWidget* panel);
    // The option bytes, or nothing when a group has no row checked (the box has been shown).
    std::optional<IoOptionsRecord> BuildOptions() const;
    bool SendSettings();
};

extern TForm_IOOptions* Form_IOOptions;
