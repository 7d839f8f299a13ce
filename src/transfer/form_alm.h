// The data loading status window of the almanac and ephemeris transfers, caption "Data Loading Status". Created hidden at start.
#pragma once

#include "platform/widgets.h"

class TForm_Alm : public Form {
    Q_OBJECT
public:
    TForm_Alm();
};

extern TForm_Alm* Form_Alm;
