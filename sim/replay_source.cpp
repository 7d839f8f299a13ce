#include "sim/replay_source.h"

#include <cmath>

#include "platform/serial_device.h"

namespace {
// Bytes handed to the line per call at most, so a fast or looping replay
// cannot spin or flood the line's buffer.
constexpr size_t kMaxOutputPerCall = 1 << 16;
} // namespace

ReplaySource::ReplaySource(const std::string& path, double speed, bool loop, int baud)
    : player_(std::make_shared<ReplayPlayer>([this] { return clockNs_; })), speed_(speed), loop_(loop), baud_(baud)
{
    if (!player_->Add(path, &error_))
        return;
    player_->SetSpeed(speed);
    player_->Play();
    device_ = MakeReplayDevice(player_, 0);
}

void ReplaySource::Advance(double seconds)
{
    if (!device_)
        return;
    if (seconds > 0 && std::isfinite(seconds))
        clockNs_ += static_cast<int64_t>(seconds * 1e9);
    uint8_t buffer[4096];
    while (output_.size() < kMaxOutputPerCall) {
        const long n = device_->Read(buffer, sizeof buffer);
        if (n <= 0)
            break;
        output_.insert(output_.end(), buffer, buffer + n);
    }
    // One pass per call at most: a loop starts again with the next call.
    if (loop_ && player_->Finished()) {
        player_->Seek(player_->Start());
        player_->Play();
    }
}

std::vector<uint8_t> ReplaySource::TakeOutput()
{
    std::vector<uint8_t> out;
    out.swap(output_);
    return out;
}
