#include "support/replay_playback.h"

VirtualPlayback::VirtualPlayback(const std::vector<std::string>& recordings)
    : player_(std::make_shared<ReplayPlayer>([this] { return now_; })), scanners_(recordings.size())
{
    for (size_t i = 0; i < recordings.size(); ++i) {
        std::string error;
        if (player_->Add(recordings[i], &error))
            devices_.push_back(MakeReplayDevice(player_, devices_.size()));
    }
    bytes.resize(devices_.size());
}

void VirtualPlayback::ReadAll()
{
    uint8_t buffer[8192];
    for (size_t i = 0; i < devices_.size(); ++i) {
        const int queued = devices_[i]->QueuedInputBytes();
        if (queued <= 0)
            continue;
        const long n = devices_[i]->Read(buffer, sizeof buffer);
        if (n <= 0)
            continue;
        bytes[i].insert(bytes[i].end(), buffer, buffer + n);
        scanners_[i].Feed(buffer, static_cast<size_t>(n), [&](const ScannedPacket& p) {
            arrivals.push_back({now_, i, p.id, std::vector<uint8_t>(p.data, p.data + p.length)});
        });
    }
}

void VirtualPlayback::Run(int64_t ns)
{
    for (int64_t end = now_ + ns; now_ < end;) {
        now_ += kTickNs;
        ReadAll();
    }
}
