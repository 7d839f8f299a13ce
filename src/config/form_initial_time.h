// The dialog that sends the PC's time to the receiver, caption "Time From PC". Created hidden at start.
#pragma once

#include "platform/widgets.h"

class TForm_InitialTime : public Form {
    Q_OBJECT
public:
    TForm_InitialTime();
};

extern TForm_InitialTime* Form_InitialTime;
