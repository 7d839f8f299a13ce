// Where the simulated receiver is: standing still, or driving round a circle.
#pragma once

#include "sim/geodesy.h"

struct TrackConfig {
    Lla centre;
    double radiusM = 0;   // 0: static
    double speedMps = 0;  // along the circle, counter-clockwise seen from above
};

struct TrackPoint {
    Lla position;
    Enu velocity; // m/s
};

TrackPoint TrackAt(const TrackConfig& track, double elapsedSeconds);
