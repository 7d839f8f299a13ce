// The data logging window, caption "Data Logging Setup and Status". Created hidden at start.
#pragma once

#include "platform/widgets.h"

class TForm_Log : public Form {
    Q_OBJECT
public:
    TForm_Log();
};

extern TForm_Log* Form_Log;
