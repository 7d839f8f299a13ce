// Interim: state only. The record writer and the window land with the
// logging work; until then records are not written.
#include "logging/data_log.h"

int32_t LogByReports = 1;
std::array<LogPortRecord, kPortSlots> LogPorts;
std::array<uint8_t, kPortSlots> BiasWarned = {};

void WriteLogRecord(PortRecord&) {}
bool LogBiasChecked() { return false; }
void SetLogBiasAvailable(bool) {}

void ResetDataLogState()
{
    LogByReports = 1;
    LogPorts.fill(LogPortRecord{});
    BiasWarned.fill(0);
}
