// A plausible GPS constellation: 32 satellites on circular orbits in six
// planes, so azimuth and elevation move smoothly as the simulated time runs.
#pragma once

#include <cstdint>
#include <vector>

#include "model/geodesy.h"

constexpr int kSatellites = 32;

struct SkySatellite {
    int prn = 0;
    LookAngles look;
};

class Constellation {
public:
    explicit Constellation(uint64_t seed);

    // ECEF position of a satellite (prn 1..32) at GPS seconds since the epoch.
    Ecef Position(int prn, double gpsSeconds) const;
    // Satellites above the given elevation, highest first.
    std::vector<SkySatellite> Visible(const Geodetic& observer, double gpsSeconds, double minElevationRad) const;

private:
    struct Orbit {
        double ascendingNodeRad = 0;
        double argumentRad = 0;
    };
    Orbit orbits_[kSatellites];
};
