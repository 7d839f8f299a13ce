#include "model/port_reports.h"

std::array<PortReportRecord, kPortSlots> PortReports;

bool InFixSet(const PortReportRecord& reports, int32_t prn)
{
    for (int32_t sv : reports.fixSatellites)
        if (sv == prn)
            return true;
    return false;
}
