#include "logging/record_status.h"

#include "core/main_window.h"
#include "link/shared_flags.h"

const char* RecordStatusCaption(bool dataLogging, bool rawRecording)
{
    if (rawRecording)
        return dataLogging ? "Zelk/Data" : "Zelk";
    return dataLogging ? "Data" : "Off";
}

void ShowRecordStatus()
{
    if (Form_Main)
        Form_Main->Panel_Record->setCaption(RecordStatusCaption(Flags.DataLoggingOn, Flags.RawRecordingOn));
}
