// The position scatter: the last fix of a port as an ECEF point and the
// spread of a bounded history of fixes (mean, sigmas, CEP50, 2DRMS).
#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <vector>

#include "model/geodesy.h"

struct PortReportRecord;
// The ECEF point of a port's last position report (ECEF 0x42/0x83 as they are,
// LLA 0x4A/0x84 converted); none before any, or when the values are not a place
// (not finite, the origin a receiver reports before its first fix, a latitude past a pole).
std::optional<Ecef> LastFixOf(const PortReportRecord& reports);

struct ScatterStats {
    size_t count = 0;
    Geodetic mean;                                // of the fixes
    double sigmaNorth = 0, sigmaEast = 0, sigmaUp = 0; // population standard deviations, metres
    double cep50 = 0;                             // radius holding half the fixes, metres
    double drms2 = 0;                             // 2 * sqrt(sigmaNorth^2 + sigmaEast^2), metres
};

// Mean, sigmas, CEP50 and 2DRMS of offsets, each taken about the offsets' own mean.
ScatterStats SummariseOffsets(std::span<const LocalOffset> offsets);

// The last `capacity` fixes of one receiver, oldest overwritten first.
class FixHistory {
public:
    explicit FixHistory(size_t capacity = 3600);

    void Add(const Ecef& fix);
    void Clear();
    size_t Count() const { return fixes_.size(); }
    size_t Capacity() const { return capacity_; }

    // The geodetic point of the mean ECEF position (sound across the date line).
    Geodetic Mean() const;
    // Every fix as an offset from Mean(), oldest first.
    std::vector<LocalOffset> Offsets() const;
    // The spread of Offsets(), with mean = Mean().
    ScatterStats Stats() const;

private:
    size_t capacity_;
    size_t next_ = 0; // where the next fix goes once the ring is full
    std::vector<Ecef> fixes_;
};
