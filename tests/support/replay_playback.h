// Plays recordings through their replay devices on a virtual clock, read
// every 200 ms as the poll reads a port, and keeps each packet's arrival.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "link/frame_scanner.h"
#include "model/replay/replay_player.h"
#include "platform/serial_device.h"

struct Arrival {
    int64_t atNs = 0; // virtual time of the read that completed it
    size_t port = 0;  // which recording
    int id = 0;
    std::vector<uint8_t> data;
};

class VirtualPlayback {
public:
    static constexpr int64_t kTickNs = 200000000;

    explicit VirtualPlayback(const std::vector<std::string>& recordings);
    ReplayPlayer& Player() { return *player_; }
    // Runs the clock for the given time, reading every port each tick.
    void Run(int64_t ns);
    // Reads every port once without moving the clock.
    void ReadAll();
    // Moves the clock without reading (to put the reads off the recorded beat).
    void Skip(int64_t ns) { now_ += ns; }
    int64_t Now() const { return now_; }

    std::vector<Arrival> arrivals;
    std::vector<std::vector<uint8_t>> bytes; // everything each port got

private:
    int64_t now_ = 0;
    std::shared_ptr<ReplayPlayer> player_;
    std::vector<std::unique_ptr<SerialDevice>> devices_;
    std::vector<FrameScanner> scanners_;
};
