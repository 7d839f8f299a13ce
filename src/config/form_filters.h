// The filter configuration dialog, caption "Configure Filters": the
// position-velocity, static and altitude filters of packet 0x70. The static
// filter needs the position-velocity filter. It shows the display port's
// last report when it opens and each new one while it is open. Created
// hidden at start.
#pragma once

#include "link/packets.h"
#include "model/port_settings.h"
#include "platform/widgets.h"

class QCheckBox;
class QPushButton;

class TForm_Filters : public Form {
    Q_OBJECT
public:
    TForm_Filters();

    // Runs on every change of CheckBox_Dynamic, by the user or by a report.
    void CheckBox_DynamicClick();
    void Button_OKClick();
    void Button_ApplyClick();
    void Button_CancelClick();

private:
    QCheckBox* CheckBox_Dynamic = nullptr;
    QCheckBox* CheckBox_Static = nullptr;
    QCheckBox* CheckBox_Altitude = nullptr;
    QPushButton* Button_OK = nullptr;
    QPushButton* Button_Apply = nullptr;
    QPushButton* Button_Cancel = nullptr;
    SettingCursor shown_;

    // The display port's report, if it is not shown yet.
    void ShowReceived();
    void ShowFilters(const FilterRecord& filters);
    void SendSettings();
};

extern TForm_Filters* Form_Filters;
