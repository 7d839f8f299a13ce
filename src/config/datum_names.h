// The receiver's geodetic datums: the row index of the list is the datum
// number the receiver sends and reports.
#pragma once

#include <array>

constexpr int kDatumCount = 180;

// Names by datum number, 0..179. Repeated names are distinct datums.
extern const std::array<const char*, kDatumCount> DatumNames;
