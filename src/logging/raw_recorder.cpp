#include "logging/raw_recorder.h"

#include "model/formats/raw_record.h"
#include "logging/form_log_zelk.h"
#include "monitor/requests.h"

namespace {

struct RawRecorder {
    std::string fileName = " ";
    RawRecordWriter writer;
    // The write failure has been told for the file opened last.
    bool failureTold = false;
};

RawRecorder& Recorder()
{
    static RawRecorder recorder;
    return recorder;
}

void TellWriteFailure()
{
    Recorder().failureTold = true; // one box per file, however many packets follow
    if (Form_LogZelk)
        Form_LogZelk->ShowWriteFailure();
    ui::Tell("Unable to write to data record file.", "Error", ui::Icon::Exclamation);
}

} // namespace

const std::string& RawRecordFileName() { return Recorder().fileName; }

void SetRawRecordFileName(const std::string& path) { Recorder().fileName = path; }

bool OpenRawRecordFile(bool append)
{
    Recorder().failureTold = false;
    return Recorder().writer.Open(Recorder().fileName, append);
}

void WriteRawPacket(int id, const uint8_t* data, uint32_t length)
{
    RawRecorder& recorder = Recorder();
    if (!recorder.writer.IsOpen())
        return;
    if (!recorder.writer.WriteFrame(static_cast<uint8_t>(id), data, length) && !recorder.failureTold)
        TellWriteFailure();
}

void CloseRawRecordFile() { Recorder().writer.Close(); }

bool RawRecordFileOpen() { return Recorder().writer.IsOpen(); }

void ResetRawRecorderState()
{
    Recorder().writer.Close();
    Recorder().failureTold = false;
    Recorder().fileName.assign(1, ' '); // plain assignment trips a false -Wrestrict in GCC 12
}
