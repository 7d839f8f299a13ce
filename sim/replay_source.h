// Plays a raw recording back onto a line, paced by its time index when it
// has one, else by the fix times of its position reports (a gap in them kept
// as a gap), at a chosen speed or as fast as possible, optionally in a loop.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "model/replay/replay_player.h"
#include "sim/line_source.h"

class ReplaySource : public LineSource {
public:
    // speed: 1 = as recorded; kAsFastAsPossible (0) = unpaced. Check Ready().
    ReplaySource(const std::string& path, double speed, bool loop, int baud);

    bool Ready() const { return device_ != nullptr; }
    const std::string& Error() const { return error_; }
    void Receive(const uint8_t*, size_t) override {} // a recording does not listen
    void Advance(double seconds) override;
    std::vector<uint8_t> TakeOutput() override;
    // At the recorded pace the bytes leave at the line's rate; faster, unpaced.
    int LineBaud() const override { return speed_ == 1.0 ? baud_ : 0; }
    bool Finished() const { return !loop_ && player_->Finished(); }

private:
    int64_t clockNs_ = 0;
    std::shared_ptr<ReplayPlayer> player_;
    std::unique_ptr<SerialDevice> device_;
    double speed_;
    bool loop_;
    int baud_;
    std::string error_;
    std::vector<uint8_t> output_;
};
