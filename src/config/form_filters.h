// The filter configuration dialog, caption "Configure Filters". Created hidden at start.
#pragma once

#include "platform/widgets.h"

class TForm_Filters : public Form {
    Q_OBJECT
public:
    TForm_Filters();
};

extern TForm_Filters* Form_Filters;
