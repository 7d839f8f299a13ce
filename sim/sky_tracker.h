// The receiver's eight tracking channels and the choice of satellites for a
// fix: channels follow the satellites in view, signal level follows
// elevation, and the fix takes the satellites that pass the masks.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "link/packets.h"
#include "sim/constellation.h"
#include "sim/dop.h"

constexpr int kTrackingChannels = 8;

struct ChannelState {
    int prn = 0;              // 0: channel idle
    LookAngles look;
    double levelAmu = 0;
    double assignedAt = 0;    // GPS seconds when the channel took the satellite
    bool acquired = false;
};

struct FixGeometry {
    std::vector<int> prns;    // satellites used, highest first
    Dops dops;
    int dimension = 0;        // 0 no fix, 3 two-dimensional, 4 three-dimensional
};

class SkyTracker {
public:
    SkyTracker(const Constellation& sky, uint64_t seed) : sky_(sky), seed_(seed) {}

    // Drops every channel, as after a cold start.
    void Clear() { channels_ = {}; }
    // Moves the channels to the given second. Until the receiver knows the
    // time (searching) channels hold satellites but acquire nothing.
    void Update(const Geodetic& at, double gpsSeconds, bool searching);
    const std::array<ChannelState, kTrackingChannels>& Channels() const { return channels_; }
    FixGeometry SelectFix(const GpsConfigRecord& config) const;

private:
    double LevelFor(int prn, double elevationRad, double gpsSeconds) const;

    const Constellation& sky_;
    uint64_t seed_;
    std::array<ChannelState, kTrackingChannels> channels_{};
};
