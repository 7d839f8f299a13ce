#include "display/form_track.h"

TForm_Track* Form_Track = nullptr;

TForm_Track::TForm_Track() : Form("Form_Track", "Tracking Status", 560, 260) {}
