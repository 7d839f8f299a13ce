#include "sim/track.h"

#include <cmath>

TrackPoint TrackAt(const TrackConfig& track, double elapsedSeconds)
{
    if (track.radiusM <= 0 || track.speedMps <= 0)
        return {track.centre, {}};
    const double angle = elapsedSeconds * track.speedMps / track.radiusM;
    const double east = track.radiusM * std::cos(angle);
    const double north = track.radiusM * std::sin(angle);
    return {OffsetLla(track.centre, east, north),
            {-track.speedMps * std::sin(angle), track.speedMps * std::cos(angle), 0.0}};
}
