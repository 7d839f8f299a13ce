#include "logging/form_log.h"

TForm_Log* Form_Log = nullptr;

TForm_Log::TForm_Log() : Form("Form_Log", "Data Logging Setup and Status", 460, 330) {}
