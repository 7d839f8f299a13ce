#include "config/form_filters.h"

TForm_Filters* Form_Filters = nullptr;

TForm_Filters::TForm_Filters() : Form("Form_Filters", "Configure Filters", 300, 200) {}
