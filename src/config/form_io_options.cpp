#include "config/form_io_options.h"

TForm_IOOptions* Form_IOOptions = nullptr;

TForm_IOOptions::TForm_IOOptions() : Form("Form_IOOptions", "I/O Options", 480, 330) {}
