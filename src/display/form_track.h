// The tracking status window, caption "Tracking Status". Created hidden at start.
#pragma once

#include "platform/widgets.h"

class TForm_Track : public Form {
    Q_OBJECT
public:
    TForm_Track();
};

extern TForm_Track* Form_Track;
