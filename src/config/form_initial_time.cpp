#include "config/form_initial_time.h"

TForm_InitialTime* Form_InitialTime = nullptr;

TForm_InitialTime::TForm_InitialTime() : Form("Form_InitialTime", "Time From PC", 300, 150) {}
