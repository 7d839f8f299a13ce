// The initial position dialog, caption "Initial Position". Created hidden at start.
#pragma once

#include "platform/widgets.h"

class TForm_InitialPos : public Form {
    Q_OBJECT
public:
    TForm_InitialPos();
};

extern TForm_InitialPos* Form_InitialPos;
