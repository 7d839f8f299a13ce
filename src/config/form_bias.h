// The timing outputs window, caption "Timing Outputs". Created hidden at start.
#pragma once

#include "platform/widgets.h"

class TForm_Bias : public Form {
    Q_OBJECT
public:
    TForm_Bias();
};

extern TForm_Bias* Form_Bias;
