// Clock stability statistics against the published reference values of NIST
// SP 1065 (W. J. Riley, Handbook of Frequency Stability Analysis): its
// nine-point frequency data set and its 1000-point generated set. The
// expected values are typed from the publication's tables, to 7 significant
// digits; our code only produces the left-hand sides.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "model/stability.h"

namespace {

// Fractional frequency at 1 s integrated into phase (one more point than data).
std::vector<double> PhaseOf(const std::vector<double>& frequency)
{
    std::vector<double> phase{0.0};
    for (double y : frequency)
        phase.push_back(phase.back() + y);
    return phase;
}

// The 1000-point set: n(i+1) = 16807 n(i) mod 2147483647 from n(0) = 1234567890,
// each value n(i) / 2147483647 for i = 0 to 999.
std::vector<double> ThousandPointFrequency()
{
    std::vector<double> y;
    uint64_t n = 1234567890;
    for (int i = 0; i < 1000; ++i) {
        y.push_back(static_cast<double>(n) / 2147483647.0);
        n = n * 16807 % 2147483647;
    }
    return y;
}

std::string SevenDigits(double v)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.6e", v);
    return text;
}

struct Reference {
    const char* statistic;
    size_t m;
    const char* value; // as printed in the publication's table
};

double Compute(const std::string& statistic, const std::vector<double>& phase, size_t m)
{
    if (statistic == "OADEV")
        return OverlappingAdev(phase, m, 1.0);
    if (statistic == "MDEV")
        return ModifiedAdev(phase, m, 1.0);
    return TimeDeviation(phase, m, 1.0);
}

void ExpectReferences(const std::vector<double>& phase, std::initializer_list<Reference> refs)
{
    for (const Reference& r : refs) {
        SCOPED_TRACE(std::string(r.statistic) + " m=" + std::to_string(r.m));
        EXPECT_EQ(SevenDigits(Compute(r.statistic, phase, r.m)), SevenDigits(std::stod(r.value)));
    }
}

TEST(Stability, NinePointReferenceSet)
{
    const std::vector<double> phase = PhaseOf({892, 809, 823, 798, 671, 644, 883, 903, 677});
    ExpectReferences(phase, {{"OADEV", 1, "91.22945"}, {"OADEV", 2, "85.95287"},
                             {"MDEV", 1, "91.22945"},  {"MDEV", 2, "74.78849"},
                             {"TDEV", 1, "52.67135"},  {"TDEV", 2, "86.35831"}});
}

TEST(Stability, ThousandPointReferenceSet)
{
    const std::vector<double> phase = PhaseOf(ThousandPointFrequency());
    ExpectReferences(phase, {{"OADEV", 1, "2.922319e-01"}, {"OADEV", 10, "9.159953e-02"},
                             {"OADEV", 100, "3.241343e-02"}, {"MDEV", 1, "2.922319e-01"},
                             {"MDEV", 10, "6.172376e-02"},  {"MDEV", 100, "2.170921e-02"},
                             {"TDEV", 1, "1.687202e-01"},   {"TDEV", 10, "3.563623e-01"},
                             {"TDEV", 100, "1.253382e+00"}});
}

TEST(Stability, ChiSquaredQuantilesMatchTables)
{
    EXPECT_NEAR(ChiSquaredQuantile(0.95, 1), 3.841459, 1e-6);
    EXPECT_NEAR(ChiSquaredQuantile(0.975, 10), 20.48318, 1e-5);
    EXPECT_NEAR(ChiSquaredQuantile(0.05, 2), -2 * std::log(0.95), 1e-9); // closed form for 2 dof
    EXPECT_NEAR(ChiSquaredQuantile(0.5, 1), 0.4549364, 1e-6);
}

// White phase noise plus a frequency offset: the offset vanishes in second
// differences, the noise is identified as white phase, ADEV falls as 1/tau, and
// every value lies inside its own confidence interval, which narrows with edf.
TEST(Stability, WhitePhaseNoiseTable)
{
    std::mt19937_64 rng(1);
    std::normal_distribution<double> noise(0.0, 1e-9);
    std::vector<double> phase;
    for (int i = 0; i < 20000; ++i)
        phase.push_back(3e-3 + 5e-8 * i + noise(rng));
    const std::vector<StabilityRow> rows = StabilityTable(phase, 1.0);
    ASSERT_EQ(rows.size(), 11u); // 1 .. 1024 s, a tenth of 20 000 s
    EXPECT_NEAR(rows[0].adev.value, std::sqrt(3.0) * 1e-9, 0.03e-9);
    for (const StabilityRow& r : rows) {
        SCOPED_TRACE(r.tau);
        EXPECT_EQ(r.alpha, 2);
        EXPECT_EQ(r.n, phase.size() - 2 * r.m);
        for (const Deviation& d : {r.adev, r.mdev, r.tdev})
            EXPECT_TRUE(d.low < d.value && d.value < d.high);
        // tau^-1 for ADEV, tau^-1.5 for MDEV, within the bars.
        EXPECT_LT(rows[0].adev.value / r.tau, r.adev.high * 1.02);
        EXPECT_GT(rows[0].adev.value / r.tau, r.adev.low * 0.98);
    }
    EXPECT_GT(rows.back().adev.high / rows.back().adev.low, rows[0].adev.high / rows[0].adev.low);
    // Averaging over tau leaves the modified variance fewer independent terms
    // than the Allan variance for white phase: wider bars from m = 4 on.
    for (size_t i = 2; i < rows.size(); ++i)
        EXPECT_GT(rows[i].mdev.high / rows[i].mdev.low, rows[i].adev.high / rows[i].adev.low) << rows[i].tau;
    const std::string csv = FormatStabilityTable(rows, true);
    EXPECT_EQ(csv.substr(0, csv.find('\n')),
              "tau,n,adev,adev_low,adev_high,mdev,mdev_low,mdev_high,tdev,tdev_low,tdev_high");
    EXPECT_EQ(std::count(csv.begin(), csv.end(), '\n'), 12);
}

// The modified variance's degrees of freedom against what they mean: twice the
// squared mean over the variance of the estimate, over 2000 simulated series of
// white phase, white frequency and random-walk frequency noise. At m = 1 the
// estimator is the overlapping Allan variance's, and so are its degrees of freedom.
TEST(Stability, ModifiedEdfMatchesTheSpreadOfSimulatedEstimates)
{
    constexpr size_t kSamples = 512;
    constexpr int kSeries = 2000;
    for (int alpha : {2, 0, -2}) {
        EXPECT_EQ(ModifiedEdf(kSamples, 1, alpha), AdevEdf(kSamples, 1, alpha));
        for (size_t m : {4, 16}) {
            SCOPED_TRACE("alpha " + std::to_string(alpha) + " m " + std::to_string(m));
            std::mt19937_64 rng(11);
            std::normal_distribution<double> noise(0.0, 1.0);
            double sum = 0, sumSquares = 0;
            std::vector<double> phase(kSamples);
            for (int k = 0; k < kSeries; ++k) {
                double frequency = 0, x = 0;
                for (double& p : phase) {
                    const double e = noise(rng);
                    frequency += alpha == -2 ? e : 0;
                    x += alpha == 0 ? e : frequency;
                    p = alpha == 2 ? e : x;
                }
                const double variance = std::pow(ModifiedAdev(phase, m, 1.0), 2);
                sum += variance, sumSquares += variance * variance;
            }
            const double mean = sum / kSeries;
            const double simulated = 2 * mean * mean / (sumSquares / kSeries - mean * mean);
            EXPECT_NEAR(ModifiedEdf(kSamples, m, alpha) / simulated, 1.0, 0.1) << simulated;
        }
    }
}

// Random-walk phase (white frequency) is told apart from white phase.
TEST(Stability, NoiseIdentification)
{
    std::mt19937_64 rng(3);
    std::normal_distribution<double> noise(0.0, 1.0);
    std::vector<double> white, walk{0.0};
    for (int i = 0; i < 5000; ++i) {
        white.push_back(noise(rng));
        walk.push_back(walk.back() + noise(rng));
    }
    EXPECT_EQ(NoiseAlpha(white, 4, 9), 2);
    EXPECT_EQ(NoiseAlpha(walk, 4, 9), 0);
    EXPECT_EQ(NoiseAlpha(walk, 1000, 9), 9); // too few decimated samples
}

// Samples are placed by time: repeats keep the last value, a missing second or a
// changed step starts a new run, and the longest run is the one used.
TEST(Stability, LongestGapFreeRun)
{
    const std::vector<PhaseSample> samples = {
        {100, 1}, {101, 2}, {102, 3},                     // 3 samples
        {104, 5}, {105, 6}, {105, 6.5}, {106, 7}, {107, 8}, // 4 samples, 105 repeated
        {108, NAN}, {110, 9},
        {50, 0},                                           // out of order, alone
    };
    const PhaseRun run = LongestGapFreeRun(samples);
    EXPECT_EQ(run.tau0, 1.0);
    EXPECT_EQ(run.firstSecond, 104);
    EXPECT_EQ(run.phase, (std::vector<double>{5, 6.5, 7, 8}));
    EXPECT_EQ(run.totalSamples, 9u);
    EXPECT_EQ(run.gaps, 3u);
    EXPECT_EQ(DescribeRun(run), "4 of 9 samples at 1 s from the longest gap-free run (3 gaps not bridged)");

    // A receiver reporting every 2 s: the step is 2 s, not a gap each time.
    const std::vector<PhaseSample> slow = {{0, 0}, {2, 1}, {4, 2}, {6, 3}, {7, 4}};
    const PhaseRun slowRun = LongestGapFreeRun(slow);
    EXPECT_EQ(slowRun.tau0, 2.0);
    EXPECT_EQ(slowRun.phase.size(), 4u);
}

} // namespace
