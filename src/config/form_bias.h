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

    // The clock bias in ns; without one the last value stays, greyed.
    void ShowBias(std::optional<double> biasNs);
    void ShowBiasRate(double ppb);

private:
    Panel* Panel_Bias = nullptr;     // clock bias, ns
    Panel* Panel_BiasRate = nullptr; // clock bias rate, ppb
};

extern TForm_Bias* Form_Bias;
