#include "sim/track.h"

#include <algorithm>
#include <cmath>

TrackPoint TrackAt(const TrackConfig& track, double elapsedSeconds)
{
    if (track.radiusM <= 0 || track.speedMps <= 0)
        return {track.centre, {}};
    const double angle = elapsedSeconds * track.speedMps / track.radiusM;
    const double east = track.radiusM * std::cos(angle);
    const double north = track.radiusM * std::sin(angle);
    return {MovedBy(track.centre, east, north),
            {-track.speedMps * std::sin(angle), track.speedMps * std::cos(angle), 0.0}};
}

Geodetic MovedBy(const Geodetic& at, double eastM, double northM)
{
    const double r = wgs84::kSemiMajorM + at.altM;
    const double cosLat = std::max(std::cos(at.latRad), 1e-6);
    return {at.latRad + northM / r, at.lonRad + eastM / (r * cosLat), at.altM};
}
