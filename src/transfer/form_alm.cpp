#include "transfer/form_alm.h"

TForm_Alm* Form_Alm = nullptr;

TForm_Alm::TForm_Alm() : Form("Form_Alm", "Data Loading Status", 330, 120) {}
