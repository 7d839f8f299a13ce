#include "model/stability.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <map>

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// Sum over the series of squared second differences at lag m, in long double:
// a week of phase would otherwise lose digits.
long double SecondDifferenceSum(std::span<const double> x, size_t m)
{
    long double sum = 0;
    for (size_t i = 0; i + 2 * m < x.size(); ++i) {
        const long double d = static_cast<long double>(x[i + 2 * m]) - 2.0L * x[i + m] + x[i];
        sum += d * d;
    }
    return sum;
}

// Regularised lower incomplete gamma function P(a, x).
double GammaP(double a, double x)
{
    if (x <= 0)
        return 0;
    const double logFront = a * std::log(x) - x - std::lgamma(a);
    if (x < a + 1) { // series
        double term = 1 / a, sum = term;
        for (int n = 1; n < 1000 && std::fabs(term) > std::fabs(sum) * 1e-16; ++n) {
            term *= x / (a + n);
            sum += term;
        }
        return sum * std::exp(logFront);
    }
    // Continued fraction for Q (modified Lentz).
    const double tiny = 1e-300;
    double b = x + 1 - a, c = 1 / tiny, d = 1 / b, h = d;
    for (int i = 1; i < 1000; ++i) {
        const double an = -i * (i - a);
        b += 2;
        d = an * d + b;
        d = std::fabs(d) < tiny ? tiny : d;
        c = b + an / c;
        c = std::fabs(c) < tiny ? tiny : c;
        d = 1 / d;
        const double delta = d * c;
        h *= delta;
        if (std::fabs(delta - 1) < 1e-16)
            break;
    }
    return 1 - std::exp(logFront) * h;
}

double Lag1Autocorrelation(const std::vector<double>& z)
{
    double mean = 0;
    for (double v : z)
        mean += v;
    mean /= static_cast<double>(z.size());
    double num = 0, den = 0;
    for (size_t i = 0; i < z.size(); ++i) {
        den += (z[i] - mean) * (z[i] - mean);
        if (i + 1 < z.size())
            num += (z[i] - mean) * (z[i + 1] - mean);
    }
    return den > 0 ? num / den : 0;
}

// Takes out the least-squares quadratic: a frequency offset and drift are
// not noise and would pass for random walk in the autocorrelation.
void RemoveQuadratic(std::vector<double>& z)
{
    const size_t n = z.size();
    if (n < 3)
        return;
    const double mid = (static_cast<double>(n) - 1) / 2;
    // Sums over t = i - mid (symmetric: odd powers vanish).
    double s2 = 0, s4 = 0, y0 = 0, y1 = 0, y2 = 0;
    for (size_t i = 0; i < n; ++i) {
        const double t = static_cast<double>(i) - mid, t2 = t * t;
        s2 += t2, s4 += t2 * t2, y0 += z[i], y1 += t * z[i], y2 += t2 * z[i];
    }
    const double nn = static_cast<double>(n);
    const double c = (nn * y2 - s2 * y0) / (nn * s4 - s2 * s2);
    const double a = (y0 - c * s2) / nn;
    const double b = y1 / s2;
    for (size_t i = 0; i < n; ++i) {
        const double t = static_cast<double>(i) - mid;
        z[i] -= a + b * t + c * t * t;
    }
}

Deviation WithLimits(double value, double edf)
{
    Deviation d;
    d.value = value;
    d.edf = edf;
    if (!std::isfinite(value) || !(edf > 0)) {
        d.low = d.high = kNaN;
        return d;
    }
    // Two-sided 68.3 % interval (one sigma).
    const double lowerQuantile = ChiSquaredQuantile(0.1585, edf);
    const double upperQuantile = ChiSquaredQuantile(0.8415, edf);
    d.low = value * std::sqrt(edf / upperQuantile);
    d.high = value * std::sqrt(edf / lowerQuantile);
    return d;
}

// Generalised autocovariance of w, the integral of the phase, for power-law
// noise alpha; its sign and scale cancel in the degrees of freedom.
double NoiseSw(double t, int alpha)
{
    const double a = std::fabs(t);
    switch (alpha) {
    case 2:
        return -a;
    case 1:
        return a == 0 ? 0 : t * t * std::log(a);
    case 0:
        return a * a * a;
    case -1:
        return a == 0 ? 0 : t * t * t * t * std::log(a);
    default:
        return a * a * a * a * a;
    }
}

// Autocovariance of the phase averaged over one tau (time in units of tau).
double AveragedSx(double t, int alpha)
{
    return 2 * NoiseSw(t, alpha) - NoiseSw(t - 1, alpha) - NoiseSw(t + 1, alpha);
}

// Autocovariance of the second difference of those averages.
double SecondDifferenceSz(double t, int alpha)
{
    return 6 * AveragedSx(t, alpha) - 4 * (AveragedSx(t - 1, alpha) + AveragedSx(t + 1, alpha)) +
           AveragedSx(t - 2, alpha) + AveragedSx(t + 2, alpha);
}

} // namespace

PhaseRun LongestGapFreeRun(std::span<const PhaseSample> samples)
{
    // Sorted by time, a repeated second keeping its last value: a sorted copy
    // rather than a map, a receiver-week is 600 000 samples.
    std::vector<PhaseSample> byTime;
    byTime.reserve(samples.size());
    for (const PhaseSample& s : samples)
        if (std::isfinite(s.phaseS))
            byTime.push_back(s);
    std::stable_sort(byTime.begin(), byTime.end(),
                     [](const PhaseSample& a, const PhaseSample& b) { return a.second < b.second; });
    size_t kept = 0;
    for (const PhaseSample& s : byTime) {
        if (kept > 0 && byTime[kept - 1].second == s.second)
            byTime[kept - 1] = s; // the later of a repeated second
        else
            byTime[kept++] = s;
    }
    byTime.resize(kept);

    PhaseRun best;
    best.totalSamples = byTime.size();
    if (byTime.empty())
        return best;
    std::map<int64_t, size_t> steps;
    for (size_t i = 1; i < byTime.size(); ++i)
        ++steps[byTime[i].second - byTime[i - 1].second];
    int64_t step = 1;
    size_t stepCount = 0;
    for (const auto& [s, count] : steps)
        if (count > stepCount)
            step = s, stepCount = count;
    best.tau0 = static_cast<double>(step);

    size_t runStart = 0, bestStart = 0, bestLength = 0;
    for (size_t i = 0; i <= byTime.size(); ++i) {
        const bool ends = i == byTime.size() || (i > runStart && byTime[i].second - byTime[i - 1].second != step);
        if (!ends)
            continue;
        if (i < byTime.size())
            ++best.gaps;
        if (i - runStart > bestLength)
            bestStart = runStart, bestLength = i - runStart;
        runStart = i;
    }
    best.firstSecond = byTime[bestStart].second;
    best.phase.reserve(bestLength);
    for (size_t i = bestStart; i < bestStart + bestLength; ++i)
        best.phase.push_back(byTime[i].phaseS);
    return best;
}

double OverlappingAdev(std::span<const double> phase, size_t m, double tau0)
{
    if (m == 0 || phase.size() < 2 * m + 1)
        return kNaN;
    const size_t terms = phase.size() - 2 * m;
    const double tau = static_cast<double>(m) * tau0;
    const long double var = SecondDifferenceSum(phase, m) / (2.0L * terms * tau * tau);
    return static_cast<double>(std::sqrt(var));
}

double ModifiedAdev(std::span<const double> phase, size_t m, double tau0)
{
    if (m == 0 || phase.size() < 3 * m)
        return kNaN;
    // Prefix sums make each inner sum of m second differences O(1). The line
    // through the end points is taken out first: second differences do not see
    // it, and the sums keep their digits.
    const size_t n = phase.size();
    const long double slope = n > 1 ? (static_cast<long double>(phase[n - 1]) - phase[0]) / (n - 1) : 0;
    std::vector<long double> prefix(n + 1, 0);
    for (size_t i = 0; i < n; ++i)
        prefix[i + 1] = prefix[i] + (phase[i] - phase[0] - slope * i);
    auto block = [&](size_t from) { return prefix[from + m] - prefix[from]; };
    const size_t terms = n - 3 * m + 1;
    long double sum = 0;
    for (size_t j = 0; j < terms; ++j) {
        const long double inner = block(j + 2 * m) - 2 * block(j + m) + block(j);
        sum += inner * inner;
    }
    const long double tau = static_cast<long double>(m) * tau0;
    const long double var = sum / (2.0L * m * m * tau * tau * terms);
    return static_cast<double>(std::sqrt(var));
}

double TimeDeviation(std::span<const double> phase, size_t m, double tau0)
{
    return static_cast<double>(m) * tau0 / std::sqrt(3.0) * ModifiedAdev(phase, m, tau0);
}

int NoiseAlpha(std::span<const double> phase, size_t m, int fallback)
{
    std::vector<double> z;
    for (size_t i = 0; i < phase.size(); i += std::max<size_t>(m, 1))
        z.push_back(phase[i]);
    if (z.size() < 30)
        return fallback;
    RemoveQuadratic(z);
    for (int d = 0;; ++d) {
        const double r1 = Lag1Autocorrelation(z);
        const double rho = r1 / (1 + r1);
        if (rho < 0.25 || d >= 2) {
            const double alpha = 2 - 2 * (rho + d);
            return std::clamp(static_cast<int>(std::lround(alpha)), -2, 2);
        }
        for (size_t i = 0; i + 1 < z.size(); ++i)
            z[i] = z[i + 1] - z[i];
        z.pop_back();
    }
}

double AdevEdf(size_t samples, size_t m, int alpha)
{
    const double n = static_cast<double>(samples), mm = static_cast<double>(m);
    double edf = kNaN;
    switch (alpha) {
    case 2:
        edf = (n + 1) * (n - 2 * mm) / (2 * (n - mm));
        break;
    case 1: {
        const double a = std::log((n - 1) / (2 * mm)), b = std::log((2 * mm + 1) * (n - 1) / 4);
        edf = a > 0 && b > 0 ? std::exp(std::sqrt(a * b)) : kNaN;
        break;
    }
    case 0:
        edf = (3 * (n - 1) / (2 * mm) - 2 * (n - 2) / n) * 4 * mm * mm / (4 * mm * mm + 5);
        break;
    case -1:
        edf = m == 1 ? 2 * (n - 2) * (n - 2) / (2.3 * n - 4.9) : 5 * n * n / (4 * mm * (n + 3 * mm));
        break;
    default:
        edf = (n - 2) / mm * ((n - 1) * (n - 1) - 3 * mm * (n - 1) + 4 * mm * mm) / ((n - 3) * (n - 3));
        break;
    }
    return edf > 0 ? edf : kNaN;
}

double ModifiedEdf(size_t samples, size_t m, int alpha)
{
    if (m == 0 || samples < 3 * m)
        return kNaN;
    if (m == 1) // the same estimator as the overlapping Allan variance of point samples
        return AdevEdf(samples, 1, alpha);
    alpha = std::clamp(alpha, -2, 2);
    // M overlapping terms one sample apart; the terms are correlated over
    // three taus (the second difference of tau-long averages), 3m lags.
    const double terms = static_cast<double>(samples - 3 * m + 1);
    const size_t lags = std::min(samples - 3 * m + 1, 3 * m);
    const double stride = static_cast<double>(m);
    const double z0 = SecondDifferenceSz(0, alpha);
    double sum = z0 * z0;
    for (size_t j = 1; j < lags; ++j) {
        const double z = SecondDifferenceSz(static_cast<double>(j) / stride, alpha);
        sum += 2 * (1 - static_cast<double>(j) / terms) * z * z;
    }
    const double edf = z0 * z0 * terms / sum;
    return edf > 0 ? edf : kNaN;
}

double ChiSquaredQuantile(double probability, double dof)
{
    if (!(dof > 0) || !(probability > 0) || !(probability < 1))
        return kNaN;
    double lo = 0, hi = std::max(1.0, dof);
    while (GammaP(dof / 2, hi / 2) < probability)
        hi *= 2;
    for (int i = 0; i < 200 && hi - lo > 1e-12 * hi; ++i) {
        const double mid = (lo + hi) / 2;
        (GammaP(dof / 2, mid / 2) < probability ? lo : hi) = mid;
    }
    return (lo + hi) / 2;
}

std::vector<size_t> OctaveFactors(size_t samples, double maxFraction)
{
    std::vector<size_t> factors;
    if (samples < 2)
        return factors;
    const double span = static_cast<double>(samples - 1);
    for (size_t m = 1; static_cast<double>(m) <= span * maxFraction && 3 * m <= samples; m *= 2)
        factors.push_back(m);
    return factors;
}

std::vector<StabilityRow> StabilityTable(std::span<const double> phase, double tau0)
{
    std::vector<StabilityRow> rows;
    int alpha = 0;
    for (size_t m : OctaveFactors(phase.size())) {
        StabilityRow row;
        row.m = m;
        row.tau = static_cast<double>(m) * tau0;
        row.n = phase.size() - 2 * m;
        alpha = NoiseAlpha(phase, m, alpha);
        row.alpha = alpha;
        row.adev = WithLimits(OverlappingAdev(phase, m, tau0), AdevEdf(phase.size(), m, alpha));
        // The time variance is tau^2/3 times the modified one: same degrees of freedom.
        const double modifiedEdf = ModifiedEdf(phase.size(), m, alpha);
        row.mdev = WithLimits(ModifiedAdev(phase, m, tau0), modifiedEdf);
        row.tdev = WithLimits(row.tau / std::sqrt(3.0) * row.mdev.value, modifiedEdf);
        row.tdev.low = row.tau / std::sqrt(3.0) * row.mdev.low;
        row.tdev.high = row.tau / std::sqrt(3.0) * row.mdev.high;
        rows.push_back(row);
    }
    return rows;
}

std::string FormatStabilityTable(const std::vector<StabilityRow>& rows, bool csv)
{
    std::string out;
    char line[400];
    if (csv)
        out = "tau,n,adev,adev_low,adev_high,mdev,mdev_low,mdev_high,tdev,tdev_low,tdev_high\n";
    else
        out = "        tau        n   ADEV [low, high]                    "
              "MDEV [low, high]                    TDEV s [low, high]\n";
    for (const StabilityRow& r : rows) {
        const char* format = csv ? "%g,%zu,%.7e,%.7e,%.7e,%.7e,%.7e,%.7e,%.7e,%.7e,%.7e\n"
                                 : "%11g %8zu   %.4e [%.4e, %.4e]   %.4e [%.4e, %.4e]   %.4e [%.4e, %.4e]\n";
        std::snprintf(line, sizeof line, format, r.tau, r.n, r.adev.value, r.adev.low, r.adev.high,
                      r.mdev.value, r.mdev.low, r.mdev.high, r.tdev.value, r.tdev.low, r.tdev.high);
        out += line;
    }
    return out;
}

std::string DescribeRun(const PhaseRun& run)
{
    char line[200];
    std::snprintf(line, sizeof line,
                  "%zu of %zu samples at %g s from the longest gap-free run (%zu gap%s not bridged)",
                  run.phase.size(), run.totalSamples, run.tau0, run.gaps, run.gaps == 1 ? "" : "s");
    return line;
}
