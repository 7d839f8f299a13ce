// The timing outputs window, caption "Timing Outputs": the receiver's clock
// bias and bias rate as the position and velocity reports bring them.
// Created hidden at start.
#pragma once

#include <optional>

#include "platform/widgets.h"

class TForm_Bias : public Form {
    Q_OBJECT
public:
    TForm_Bias();

private:
    Panel* Panel_Bias = nullptr;     // clock bias, ns
    Panel* Panel_BiasRate = nullptr; // clock bias rate, ppb

    // The display port's position and velocity reports, as Receivers() announces them.
    void ShowBias(int slot);
    void ShowBiasRate(int slot);
};

extern TForm_Bias* Form_Bias;
