// The GPS configuration dialog, caption "Receiver Configuration". Created hidden at start.
#pragma once

#include "platform/widgets.h"

class TForm_GPS : public Form {
    Q_OBJECT
public:
    TForm_GPS();
};

extern TForm_GPS* Form_GPS;
