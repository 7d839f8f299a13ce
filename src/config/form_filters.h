// The filter configuration dialog, caption "Configure Filters": the
// position-velocity, static and altitude filters of packet 0x70. The static
// filter needs the position-velocity filter. Created hidden at start.
#pragma once

#include "link/packets.h"
#include "link/port_table.h"
#include "platform/widgets.h"

class QCheckBox;
class QPushButton;

class TForm_Filters : public Form {
    Q_OBJECT
public:
    TForm_Filters();

    // Writes a report's switches into the check boxes.
    void ShowFilters(const FilterRecord& filters);

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

    void SendSettings();
};

extern TForm_Filters* Form_Filters;

// Report 0x70 of the display port: fills Form_Filters, shown or hidden.
void DecodeReport_70(PortRecord& port);
