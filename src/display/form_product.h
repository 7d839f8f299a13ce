// The product information window, caption "Product Information": firmware
// versions and dates of the navigation and signal processors. Created hidden at start.
#pragma once

#include "platform/widgets.h"

class QGroupBox;

class TForm_Product : public Form {
    Q_OBJECT
public:
    TForm_Product();

    // The firmware version and date texts of the navigation and the signal processor.
    void ShowVersions(const QString& navVersion, const QString& navDate, const QString& sigVersion,
                      const QString& sigDate);

private:
    QGroupBox* GroupBox_Nav = nullptr;
    QGroupBox* GroupBox_Sig = nullptr;
    Panel* Panel_NavVersion = nullptr;
    Panel* Panel_NavDate = nullptr;
    Panel* Panel_SigVersion = nullptr;
    Panel* Panel_SigDate = nullptr;
};

extern TForm_Product* Form_Product;
