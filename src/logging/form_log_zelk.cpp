#include "logging/form_log_zelk.h"

TForm_LogZelk* Form_LogZelk = nullptr;

TForm_LogZelk::TForm_LogZelk() : Form("Form_LogZelk", "ZELK Logging Setup and Status", 400, 200) {}
