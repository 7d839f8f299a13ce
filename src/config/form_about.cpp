#include "config/form_about.h"

TForm_About* Form_About = nullptr;

TForm_About::TForm_About() : Form("Form_About", "About JX_Monitor", 300, 160) {}
