#include "sim/line_pacer.h"

#include <algorithm>

namespace {

constexpr double kBitsPerByte = 11.0;
// Credit not used within this time is lost, so an idle line does not later
// send a burst faster than its bit rate.
constexpr double kMaxBurstSeconds = 0.05;

} // namespace

size_t LinePacer::Allowance(double elapsedSeconds)
{
    if (baud_ <= 0)
        return static_cast<size_t>(-1);
    const double rate = baud_ / kBitsPerByte;
    credit_ = std::min(credit_ + std::max(elapsedSeconds, 0.0) * rate, std::max(rate * kMaxBurstSeconds, 1.0));
    return static_cast<size_t>(credit_);
}

void LinePacer::Spent(size_t bytes)
{
    if (baud_ > 0)
        credit_ = std::max(0.0, credit_ - static_cast<double>(bytes));
}
