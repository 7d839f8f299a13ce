#include "config/form_bias.h"

TForm_Bias* Form_Bias = nullptr;

TForm_Bias::TForm_Bias() : Form("Form_Bias", "Timing Outputs", 260, 110) {}
