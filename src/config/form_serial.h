// The receiver serial port dialog, caption "Serial Port Configuration". Created hidden at start.
#pragma once

#include "platform/widgets.h"

class TForm_Serial : public Form {
    Q_OBJECT
public:
    TForm_Serial();
};

extern TForm_Serial* Form_Serial;
