// How one simulated receiver is set up: its seed, where it is, its clock,
// and which satellites it lacks data for.
#pragma once

#include <cstdint>
#include <vector>

#include "sim/track.h"

// 2026-01-04 00:00:00 GPS time (week 2400) plus a day and a half.
constexpr double kDefaultStartGpsSeconds = 2400.0 * 604800.0 + 129600.0;

struct SimOptions {
    uint64_t seed = 1;
    TrackConfig track;
    double geoidSeparationM = 0;   // geoid height above the ellipsoid at the place
    double startGpsSeconds = kDefaultStartGpsSeconds;
    double utcOffsetS = 18;        // GPS time minus UTC
    double timeFromSkySeconds = 3; // after power-up or a reset, until GPS time is known
    double firstFixSeconds = 6;    // after power-up or a reset, until the first fix
    double almanacCollectSeconds = 750; // to rebuild the almanac after it was erased
    double clockBiasM = 12000;     // receiver clock bias at start
    double clockDriftMps = 0.9;    // bias rate (0.9 m/s is about 3 ppb)
    double clockNoiseM = 3.0;      // white phase noise of the bias, rms (3 m is 10 ns)
    bool antennaFault = false;
    // A timing receiver: 0x8F-AB and 0x8F-AC once a second with 0x5D and 0x6C,
    // a self-survey that completes after surveySeconds, a wandering PPS and
    // oscillator offset and a drifting temperature.
    bool timingModel = false;
    double surveySeconds = 90;
    std::vector<int> withoutAlmanac;   // PRNs that never have an almanac
    std::vector<int> withoutEphemeris; // PRNs that never have an ephemeris
};

// Three distinct places for the demo receivers (index taken modulo 3):
// static in the north, driving a circle in the south, a static timing
// receiver up a mountain.
SimOptions DemoReceiverOptions(int index);
