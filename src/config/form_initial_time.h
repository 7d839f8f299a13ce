// The dialog that sends the PC's time to the receiver, caption "Time From
// PC", with the lamp that shows whether the receiver took it. Created hidden
// at start.
#pragma once

#include "platform/widgets.h"

class QPushButton;

class TForm_InitialTime : public Form {
    Q_OBJECT
public:
    TForm_InitialTime();

    void Button_SetTimeClick();
    void Button_CancelClick();

    // The receiver's answer to the time sent: green when it took it, red
    // when it keeps the time it already had from a satellite.
    void SetTimeAccepted(bool accepted);
    // No answer yet: the lamp goes grey (on every opening from the menu).
    void ClearTimeAccepted();

private:
    Shape* Shape_TimeAccepted = nullptr;
    Label* Label4 = nullptr;
    QPushButton* Button_SetTime = nullptr;
    QPushButton* Button_Cancel = nullptr;
    // The display port's 0x4E, as Receivers() announces it.
    void ShowTimeAnswer(int slot);
};

extern TForm_InitialTime* Form_InitialTime;
