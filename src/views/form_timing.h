// The "Timing Receiver" window: the display port's timing status (0x8F-AC)
// in words and numbers, with lamps for the critical and minor alarms. Greyed
// while the port sends no timing status.
#pragma once

#include <vector>

#include "platform/widgets.h"

class TForm_Timing : public Form {
    Q_OBJECT
public:
    TForm_Timing();

    // Fills the fields from the display port's stored reports (the window
    // does it whenever the display port's timing status arrives or the
    // display port changes).
    void Refresh();

protected:
    void showEvent(QShowEvent* event) override;

private:
    Panel* AddRow(const QString& name, const QString& caption, int row);
    void ShowNoStatus();

    std::vector<Panel*> fields_; // in row order
    Panel* Panel_ReceiverMode = nullptr;
    Panel* Panel_DiscMode = nullptr;
    Panel* Panel_DiscActivity = nullptr;
    Panel* Panel_Survey = nullptr;
    Panel* Panel_Holdover = nullptr;
    Panel* Panel_Decoding = nullptr;
    Panel* Panel_PpsOffset = nullptr;
    Panel* Panel_OscOffset = nullptr;
    Panel* Panel_Dac = nullptr;
    Panel* Panel_Temperature = nullptr;
    Panel* Panel_Quantisation = nullptr;
    Shape* Shape_Critical = nullptr;
    Panel* Panel_Critical = nullptr;
    Shape* Shape_Minor = nullptr;
    Panel* Panel_Minor = nullptr;
};

extern TForm_Timing* Form_Timing;
