#include "config/form_gps.h"

TForm_GPS* Form_GPS = nullptr;

TForm_GPS::TForm_GPS() : Form("Form_GPS", "Receiver Configuration", 400, 300) {}
