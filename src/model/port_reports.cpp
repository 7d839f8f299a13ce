#include "model/port_reports.h"

std::array<PortReportRecord, kPortSlots> PortReports;
