// The position data file: one text line without terminator, the kind
// (0 geodetic, 1 ECEF) and three numbers separated by single spaces.
// Geodetic: latitude and longitude in signed degrees (north and east
// positive) and altitude in metres; ECEF: X, Y and Z in metres.
#pragma once

#include <array>
#include <string>

enum class PositionKind { Geodetic = 0, Ecef = 1 };

struct PositionFileRecord {
    PositionKind kind = PositionKind::Geodetic;
    std::array<double, 3> values = {};
    std::array<int, 3> decimals = {}; // digits after the point of each value
};

// "0 37.500 -122.250 10.0": the line as the file holds it.
std::string FormatPositionLine(const PositionFileRecord& record);

// Replaces the file's contents with the record's line. False when the file
// cannot be opened or written.
bool WritePositionFile(const std::string& path, const PositionFileRecord& record);
