#include "model/port_reports.h"

#include <limits>

std::array<PortReportRecord, kPortSlots> PortReports;

std::optional<ClockReading> LatestClock(const PortReportRecord& reports)
{
    if (CarriesBias(reports.positionId))
        return ClockReading{reports.biasNs, std::numeric_limits<double>::quiet_NaN(), reports.fixTime};
    if (reports.satelliteClockSeen) {
        const Report54& c = reports.satelliteClock;
        return ClockReading{MetresToNs(c.biasM), MetresToNs(c.biasRateMps), c.fixTimeS};
    }
    return std::nullopt;
}

bool InFixSet(const PortReportRecord& reports, int32_t prn)
{
    for (int32_t sv : reports.fixSatellites)
        if (sv == prn)
            return true;
    return false;
}
