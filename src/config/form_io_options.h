// The I/O options and datum dialog, caption "I/O Options". Created hidden at start.
#pragma once

#include "platform/widgets.h"

class TForm_IOOptions : public Form {
    Q_OBJECT
public:
    TForm_IOOptions();
};

extern TForm_IOOptions* Form_IOOptions;
