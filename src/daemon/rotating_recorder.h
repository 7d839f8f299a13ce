// One port's raw recording without a window: the packets framed as the
// desktop recorder frames them, one file per hour (or day) named by the port
// and the UTC start of its period, files older than keep_days removed.
// Plain C++: the caller gives the UTC time of every write.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "daemon/daemon_config.h"
#include "model/formats/raw_record.h"

class RotatingRecorder {
public:
    RotatingRecorder(const RecordingSettings& settings, std::string port);

    // What changed for the port's recording alarm after a write.
    enum class Health { Same, Failed, Recovered };
    // Writes one packet into the file of the period utcS falls in, opening
    // (appending to) it when the period begins. A failed open or write is
    // reported once (Failed, with Problem() saying why) until a write works again.
    Health Write(int64_t utcS, uint8_t id, const uint8_t* data, uint32_t length);
    void Close() { writer_.Close(); }

    const std::string& Problem() const { return problem_; }
    const std::string& FileName() const { return path_; }

    // "COM3_20261209T130000Z.zlk" for the period that starts at periodStartS.
    static std::string NameOf(const std::string& port, int64_t periodStartS);
    // Removes the port's files whose period ended more than keep_days before utcS.
    // Returns how many went.
    int RemoveOldFiles(int64_t utcS) const;

private:
    int64_t PeriodStart(int64_t utcS) const;
    bool OpenPeriod(int64_t periodStartS);

    RecordingSettings settings_;
    std::string port_;
    RawRecordWriter writer_;
    std::optional<int64_t> period_;
    std::string path_;
    std::string problem_;
    bool failing_ = false;
};
