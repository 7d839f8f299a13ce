// The raw packet recording window, caption "ZELK Logging Setup and Status":
// chooses the recording file, starts and stops recording. Created hidden at
// start; closing only hides it, recording goes on.
#pragma once

#include "platform/widgets.h"

class QCheckBox;
class QPushButton;

class TForm_LogZelk : public Form {
    Q_OBJECT
public:
    TForm_LogZelk();
    ~TForm_LogZelk() override;

    // A frame could not be written: one line in the window.
    void ShowWriteFailure();

    void Button_OpenClick();
    void Button_StartClick();
    void Button_StopClick();
    void Button_CloseClick();

private:
    Label* Label6 = nullptr;
    Shape* Shape_OnOff = nullptr;
    Label* Label_OnOff = nullptr;
    Label* Label5 = nullptr;
    Panel* Panel_Filename = nullptr;
    QPushButton* Button_Open = nullptr;
    QCheckBox* CheckBox_Append = nullptr;
    // Says that writing to the file failed during this recording.
    Label* Label_WriteError = nullptr;
    QPushButton* Button_Start = nullptr;
    QPushButton* Button_Stop = nullptr;
    QPushButton* Button_Close = nullptr;

    void ShowRecording(bool on);
};

extern TForm_LogZelk* Form_LogZelk;
