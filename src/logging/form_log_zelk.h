// The raw packet recording window, caption "ZELK Logging Setup and Status". Created hidden at start.
#pragma once

#include "platform/widgets.h"

class TForm_LogZelk : public Form {
    Q_OBJECT
public:
    TForm_LogZelk();
};

extern TForm_LogZelk* Form_LogZelk;
