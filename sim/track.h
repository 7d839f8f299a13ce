// Where the simulated receiver is: standing still, or driving round a circle.
#pragma once

#include "model/geodesy.h"

struct TrackConfig {
    Geodetic centre;
    double radiusM = 0;   // 0: static
    double speedMps = 0;  // along the circle, counter-clockwise seen from above
};

struct TrackPoint {
    Geodetic position;
    LocalOffset velocity; // m/s
};

TrackPoint TrackAt(const TrackConfig& track, double elapsedSeconds);
// A place moved by metres east and north (small distances, on a local sphere).
Geodetic MovedBy(const Geodetic& at, double eastM, double northM);
