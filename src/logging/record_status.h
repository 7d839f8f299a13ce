// The main window's Panel_Record caption, written from the two logging flags
// whenever raw recording or data logging starts or stops.
#pragma once

// "Off", "Data", "Zelk" or "Zelk/Data".
const char* RecordStatusCaption(bool dataLogging, bool rawRecording);
// Puts the caption for the current flags into Panel_Record.
void ShowRecordStatus();
