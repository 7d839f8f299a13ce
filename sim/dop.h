// Dilution of precision from the directions to the satellites in a fix.
#pragma once

#include <vector>

#include "model/geodesy.h"

struct Dops {
    double pdop = 0;
    double hdop = 0;
    double vdop = 0;
    double tdop = 0;
};

// Needs at least four well-spread directions; returns false (and zeros)
// when the geometry gives no solution.
bool ComputeDops(const std::vector<LookAngles>& directions, Dops* out);
