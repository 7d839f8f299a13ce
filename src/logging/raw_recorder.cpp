#include "logging/raw_recorder.h"

#include <cstdio>

#include "link/port_table.h"
#include "model/formats/raw_record.h"
#include "model/formats/time_index.h"
#include "logging/form_log_zelk.h"
#include "platform/clock.h"
#include "platform/port_enumeration.h"
#include "platform/ui.h"
#include "monitor/requests.h"

namespace {

struct RawRecorder {
    std::string fileName = " ";
    RawRecordWriter writer;
    // When each frame came, beside the recording; the recording never waits for it.
    TimeIndexWriter index;
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
    RawRecorder& recorder = Recorder();
    recorder.failureTold = false;
    recorder.index.Close();
    if (!recorder.writer.Open(recorder.fileName, append))
        return false;
    // A device or pipe has no offsets to index.
    if (recorder.writer.SizeKnown()) {
        const TimeIndexHeader header{kTimeIndexVersion, static_cast<uint16_t>(DisplayPort), ComDevicePath(DisplayPort)};
        recorder.index.Open(TimeIndexPath(recorder.fileName), append, header, recorder.writer.Size());
    }
    return true;
}

void WriteRawPacket(int id, const uint8_t* data, uint32_t length)
{
    RawRecorder& recorder = Recorder();
    if (!recorder.writer.IsOpen())
        return;
    const uint64_t offset = recorder.writer.Size();
    if (!recorder.writer.WriteFrame(static_cast<uint8_t>(id), data, length)) {
        if (!recorder.failureTold)
            TellWriteFailure();
        return;
    }
    if (recorder.index.IsOpen() && !recorder.index.Add(offset, ReadUtcNanoseconds())) {
        // An index with a hole would misplace every later frame; without it the
        // recording is paced by its own fix times.
        recorder.index.Close();
        std::remove(TimeIndexPath(recorder.fileName).c_str());
    }
}

void CloseRawRecordFile()
{
    Recorder().writer.Close();
    Recorder().index.Close();
}

bool RawRecordFileOpen() { return Recorder().writer.IsOpen(); }

void ResetRawRecorderState()
{
    CloseRawRecordFile();
    Recorder().failureTold = false;
    Recorder().fileName.assign(1, ' '); // plain assignment trips a false -Wrestrict in GCC 12
}
