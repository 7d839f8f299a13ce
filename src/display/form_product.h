// The product information window, caption "Product Information". Created hidden at start.
#pragma once

#include "platform/widgets.h"

class TForm_Product : public Form {
    Q_OBJECT
public:
    TForm_Product();
};

extern TForm_Product* Form_Product;
