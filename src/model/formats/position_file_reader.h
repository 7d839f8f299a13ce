// Reading a position data file: one text line holding, separated by white
// space, a kind (0 = latitude and longitude in degrees and altitude in
// meters, 1 = ECEF X, Y, Z in meters) and three numbers, read in single
// precision. Anything after the fourth number is ignored. Plain C++, no Qt.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "model/formats/position_file.h" // PositionKind, shared with the writer

struct PositionFileData {
    PositionKind kind = PositionKind::Geodetic;
    float values[3] = {}; // latitude, longitude, altitude; or X, Y, Z

    bool operator==(const PositionFileData&) const = default;
};

// Only the start of a file is read: a position file is one short line.
constexpr size_t kMaxPositionFileBytes = 4096;

// The position in text, or nothing when the kind is no integer, is neither
// 0 nor 1, or is not followed by three numbers.
std::optional<PositionFileData> ParsePositionText(std::string_view text);

enum class PositionFileStatus { Ok, CannotOpen, FormatIncorrect };

struct PositionFileResult {
    PositionFileStatus status = PositionFileStatus::CannotOpen;
    PositionFileData data;
};

// Reads the file at path (in the file system's own encoding). Anything but a
// regular file that opens for reading counts as not openable, so a device or
// a pipe never blocks the program.
PositionFileResult ReadPositionFile(const std::string& path);
