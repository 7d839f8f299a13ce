// Plays a raw recording back onto a line: the frames in recorded order,
// paced at one position fix per second (or as fast as possible).
#pragma once

#include <cstdint>
#include <vector>

#include "sim/line_source.h"

struct ReplaySegment {
    std::vector<uint8_t> bytes; // the frame as recorded, with any bytes before it
    bool endsFix = false;       // a second passes after this frame
};

// Splits a recording into segments; the pacing report is the first report in
// the recording that a receiver sends once per fix. Bytes after the last
// complete frame form a last segment of their own.
std::vector<ReplaySegment> SplitRecording(const std::vector<uint8_t>& recording);

class ReplaySource : public LineSource {
public:
    ReplaySource(const std::vector<uint8_t>& recording, bool fast, bool loop, int baud);

    void Receive(const uint8_t*, size_t) override {} // a recording does not listen
    void Advance(double seconds) override;
    std::vector<uint8_t> TakeOutput() override;
    int LineBaud() const override { return fast_ ? 0 : baud_; }
    bool Finished() const { return next_ >= segments_.size(); }

private:
    std::vector<ReplaySegment> segments_;
    bool fast_;
    bool loop_;
    int baud_;
    size_t next_ = 0;
    double clock_ = 0;
    double releaseAt_ = 0;
    std::vector<uint8_t> output_;
};
