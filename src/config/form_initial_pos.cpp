#include "config/form_initial_pos.h"

TForm_InitialPos* Form_InitialPos = nullptr;

TForm_InitialPos::TForm_InitialPos() : Form("Form_InitialPos", "Initial Position", 360, 260) {}
