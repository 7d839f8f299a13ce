#include "sim/sim_options.h"

#include <numbers>

namespace {

constexpr double kDeg = std::numbers::pi / 180.0;

} // namespace

SimOptions DemoReceiverOptions(int index)
{
    SimOptions o;
    switch (((index % 3) + 3) % 3) {
    case 0:
        o.seed = 101;
        o.track.centre = {53.5503 * kDeg, 9.9930 * kDeg, 64.0};
        o.geoidSeparationM = 40.0;
        break;
    case 1:
        o.seed = 202;
        o.track.centre = {-37.8136 * kDeg, 144.9631 * kDeg, 35.0};
        o.track.radiusM = 400.0;
        o.track.speedMps = 12.0;
        o.geoidSeparationM = 4.5;
        o.clockBiasM = -55000;
        o.clockDriftMps = -1.7;
        o.clockNoiseM = 6.0;
        break;
    default:
        o.seed = 303;
        o.track.centre = {20.6597 * kDeg, -103.3496 * kDeg, 1546.0};
        o.geoidSeparationM = -9.0;
        o.clockBiasM = 230000;
        o.clockDriftMps = 2.4;
        o.timingModel = true;
        o.clockNoiseM = 1.5;
        break;
    }
    o.startGpsSeconds += index * 3600.0;
    return o;
}
