#include "config/form_serial.h"

TForm_Serial* Form_Serial = nullptr;

TForm_Serial::TForm_Serial() : Form("Form_Serial", "Serial Port Configuration", 420, 260) {}
