// When each part of a recording is due: from its time index when it has a
// usable one, otherwise from the fix times of its own position reports (a
// jump in fix time kept as a gap). Only a window of the file is ever held.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "model/formats/time_index.h"

class RecordingTimeline {
public:
    RecordingTimeline() = default;
    ~RecordingTimeline() { Close(); }
    RecordingTimeline(const RecordingTimeline&) = delete;
    RecordingTimeline& operator=(const RecordingTimeline&) = delete;

    // False (and error filled) when the recording cannot be read or holds no frame.
    bool Open(const std::string& path, std::string* error);
    void Close();

    bool Indexed() const { return indexed_; }
    uint64_t Size() const { return size_; }
    // COM number the recording was taken from, 0 when unknown.
    int Port() const { return indexed_ ? index_.Header().port : 0; }

    // Parts of the recording, each due at its time. Part i runs from
    // Begin(i) to Begin(i + 1) (the first part from the file's start, the
    // last to its end).
    uint64_t Count() const { return indexed_ ? index_.Count() : derived_.size(); }
    int64_t TimeOf(uint64_t i);
    uint64_t Begin(uint64_t i);
    int64_t FirstTime() { return TimeOf(0); }
    int64_t LastTime() { return TimeOf(Count() - 1); }
    uint64_t FirstAtOrAfter(int64_t utcNs);
    uint64_t FirstAfter(int64_t utcNs);
    // True when part i starts with the recording's fix report (every part
    // counts when the recording has none).
    bool StartsFix(uint64_t i);

    // Reads up to count bytes from offset; returns the count read.
    size_t ReadBytes(uint64_t offset, uint8_t* out, size_t count);

private:
    uint64_t FrameOffset(uint64_t i);
    void FindFixKey();
    bool DeriveFromFixTimes(const std::string& path);

    std::FILE* file_ = nullptr;
    uint64_t size_ = 0;
    bool indexed_ = false;
    TimeIndexReader index_;
    std::vector<TimeIndexRecord> derived_; // one part per fix when there is no index
    int fixKey_ = -1;
};
