#include "logging/record_status.h"

#include "link/shared_flags.h"
#include "monitor/logging_notifier.h"

const char* RecordStatusCaption(bool dataLogging, bool rawRecording)
{
    if (rawRecording)
        return dataLogging ? "Zelk/Data" : "Zelk";
    return dataLogging ? "Data" : "Off";
}

void ShowRecordStatus()
{
    emit LoggingEvents().recordStatusChanged(RecordStatusCaption(Flags.DataLoggingOn, Flags.RawRecordingOn));
}
