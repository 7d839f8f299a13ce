#include "sim/sky_tracker.h"

#include <algorithm>
#include <cmath>

#include "sim/rng.h"

namespace {

constexpr double kAcquireSeconds = 2.0;
constexpr double kTrackingCutoffRad = 0.0; // channels drop a satellite below the horizon

bool Tracked(const std::array<ChannelState, kTrackingChannels>& channels, int prn)
{
    return std::any_of(channels.begin(), channels.end(), [prn](const ChannelState& c) { return c.prn == prn; });
}

} // namespace

double SkyTracker::LevelFor(int prn, double elevationRad, double gpsSeconds) const
{
    SimRandom noise(seed_ * 131u + static_cast<uint64_t>(prn) * 7919u + static_cast<uint64_t>(gpsSeconds));
    const double level = 3.0 + 15.0 * std::sin(std::max(elevationRad, 0.0)) + noise.Between(-0.4, 0.4);
    return std::max(level, 0.0);
}

void SkyTracker::Update(const Geodetic& at, double gpsSeconds, bool searching)
{
    const std::vector<SkySatellite> visible = sky_.Visible(at, gpsSeconds, kTrackingCutoffRad);
    for (ChannelState& c : channels_) {
        if (c.prn == 0)
            continue;
        const auto it = std::find_if(visible.begin(), visible.end(),
                                     [&c](const SkySatellite& s) { return s.prn == c.prn; });
        if (it == visible.end())
            c = ChannelState{};
        else
            c.look = it->look;
    }
    for (const SkySatellite& s : visible) {
        if (Tracked(channels_, s.prn))
            continue;
        const auto idle = std::find_if(channels_.begin(), channels_.end(),
                                       [](const ChannelState& c) { return c.prn == 0; });
        if (idle == channels_.end())
            break;
        *idle = ChannelState{s.prn, s.look, 0.0, gpsSeconds, false};
    }
    for (ChannelState& c : channels_) {
        if (c.prn == 0)
            continue;
        c.acquired = !searching && gpsSeconds - c.assignedAt >= kAcquireSeconds;
        c.levelAmu = c.acquired ? LevelFor(c.prn, c.look.elevationRad, gpsSeconds) : 0.0;
    }
}

FixGeometry SkyTracker::SelectFix(const GpsConfigRecord& config) const
{
    std::vector<const ChannelState*> usable;
    for (const ChannelState& c : channels_)
        if (c.acquired && c.look.elevationRad >= config.elevationMaskRad && c.levelAmu >= config.signalMaskAmu)
            usable.push_back(&c);
    std::sort(usable.begin(), usable.end(), [](const ChannelState* a, const ChannelState* b) {
        return a->look.elevationRad > b->look.elevationRad;
    });

    FixGeometry fix;
    std::vector<LookAngles> looks;
    for (const ChannelState* c : usable) {
        fix.prns.push_back(c->prn);
        looks.push_back(c->look);
    }
    ComputeDops(looks, &fix.dops);
    const size_t n = usable.size();
    const bool threeD = n >= 4 && fix.dops.pdop <= config.pdopMask;
    switch (config.receiverMode) {
    case 3: // horizontal only
        fix.dimension = n >= 3 ? 3 : 0;
        break;
    case 4: // full position only
        fix.dimension = threeD ? 4 : 0;
        break;
    default: // automatic: 3-D while the geometry allows it
        fix.dimension = threeD && fix.dops.pdop <= config.pdopSwitch ? 4 : (n >= 3 ? 3 : 0);
        break;
    }
    if (fix.dimension == 0)
        fix.prns.clear();
    return fix;
}
