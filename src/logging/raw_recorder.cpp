#include "logging/raw_recorder.h"

#include "model/formats/raw_record.h"
#include "logging/form_log_zelk.h"
#include "platform/ui.h"

std::string RawRecordFileName = " ";

namespace {

RawRecordWriter g_writer;
// The write failure has been told for the file opened last.
bool g_failureTold = false;

void TellWriteFailure()
{
    g_failureTold = true; // before the box: its loop may dispatch further packets
    if (Form_LogZelk)
        Form_LogZelk->ShowWriteFailure();
    ui::Message("Unable to write to data record file.", "Error", ui::Icon::Exclamation);
}

} // namespace

bool OpenRawRecordFile(bool append)
{
    g_failureTold = false;
    return g_writer.Open(RawRecordFileName, append);
}

void WriteRawPacket(int id, const uint8_t* data, uint32_t length)
{
    if (!g_writer.IsOpen())
        return;
    if (!g_writer.WriteFrame(static_cast<uint8_t>(id), data, length) && !g_failureTold)
        TellWriteFailure();
}

void CloseRawRecordFile() { g_writer.Close(); }

bool RawRecordFileOpen() { return g_writer.IsOpen(); }

void ResetRawRecorderState()
{
    g_writer.Close();
    g_failureTold = false;
    RawRecordFileName.assign(1, ' '); // plain assignment trips a false -Wrestrict in GCC 12
}
