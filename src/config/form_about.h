// The about box, caption "About JX_Monitor". Created hidden at start.
#pragma once

#include "platform/widgets.h"

class TForm_About : public Form {
    Q_OBJECT
public:
    TForm_About();
};

extern TForm_About* Form_About;
