// Frequency stability of a clock from its phase: overlapping Allan deviation,
// modified Allan deviation and time deviation at octave-spaced averaging times,
// each with equivalent degrees of freedom and chi-squared confidence limits.
// Phase is the clock bias in seconds; samples are placed by the receiver's
// own fix time and a gap is never bridged.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

// One phase reading at a whole second (fix time, not arrival).
struct PhaseSample {
    int64_t second = 0;
    double phaseS = 0;
};

// The stretch of samples the statistics were taken from, and what was left out.
struct PhaseRun {
    double tau0 = 1;           // sample interval, s (the commonest step between samples)
    int64_t firstSecond = 0;   // time of the run's first sample
    std::vector<double> phase; // equally spaced, no gap inside
    size_t totalSamples = 0;   // distinct samples offered
    size_t gaps = 0;           // breaks in the series (missing samples or a changed step)
};

// The longest gap-free run of samples: sorted by time, a repeated second keeps
// its last value, any step other than tau0 ends a run.
PhaseRun LongestGapFreeRun(std::span<const PhaseSample> samples);

// The deviations themselves, phase in seconds, averaging factor m (tau = m * tau0).
// NaN where the data are too short for m.
double OverlappingAdev(std::span<const double> phase, size_t m, double tau0);
double ModifiedAdev(std::span<const double> phase, size_t m, double tau0);
double TimeDeviation(std::span<const double> phase, size_t m, double tau0);

// Power-law noise exponent alpha of the phase at averaging factor m (2 white
// phase, 1 flicker phase, 0 white frequency, -1 flicker frequency, -2 random
// walk frequency), from the lag-1 autocorrelation; `fallback` when fewer than
// 30 decimated samples are left.
int NoiseAlpha(std::span<const double> phase, size_t m, int fallback);

// Equivalent degrees of freedom of the overlapping Allan variance for n phase
// samples at factor m and noise alpha (the simple approximations).
double AdevEdf(size_t n, size_t m, int alpha);

// Equivalent degrees of freedom of the modified Allan variance (and so of the
// time variance, a multiple of it) for n phase samples at factor m and noise
// alpha: the general algorithm for variances of filtered differences, summed
// over every lag at which the filtered terms are correlated.
double ModifiedEdf(size_t n, size_t m, int alpha);

// Quantile of the chi-squared distribution with `dof` (not necessarily whole) degrees of freedom.
double ChiSquaredQuantile(double probability, double dof);

struct Deviation {
    double value = 0, low = 0, high = 0; // low/high: 68.3 % two-sided confidence limits
    double edf = 0;
};

struct StabilityRow {
    double tau = 0;  // s
    size_t m = 0;    // averaging factor
    size_t n = 0;    // terms in the overlapping Allan sum
    int alpha = 0;   // noise type used for the degrees of freedom
    Deviation adev, mdev, tdev; // ADEV and MDEV dimensionless, TDEV in s
};

// Averaging factors 1, 2, 4, ... while tau stays within a tenth of the span.
std::vector<size_t> OctaveFactors(size_t samples, double maxFraction = 0.1);

// Every octave row for an equally spaced phase series.
std::vector<StabilityRow> StabilityTable(std::span<const double> phase, double tau0);

// The table as text: fixed columns for people, or CSV with the header
// tau,n,adev,adev_low,adev_high,mdev,mdev_low,mdev_high,tdev,tdev_low,tdev_high.
std::string FormatStabilityTable(const std::vector<StabilityRow>& rows, bool csv);
// One line saying which samples were used, e.g. for the head of the table.
std::string DescribeRun(const PhaseRun& run);
