// Receiver health and status: reports 0x46 (health code and error bits),
// 0x4B (status bits), 0x6D (fix mode, DOPs, satellites in the fix) and 0x82
// (DGPS mode) are stored per port and announced.
#pragma once

#include <array>
#include <cstdint>

#include <QString>

#include "model/port_reports.h"
#include "link/packets.h"
#include "link/port_table.h"

void DecodeReport_46(PortRecord& port);
void DecodeReport_4B(PortRecord& port);
void DecodeReport_6D(PortRecord& port);
void DecodeReport_82(PortRecord& port);
// 0x6C: as 0x6D with a count byte; 0x54: one satellite's clock bias.
void DecodeReport_6C(PortRecord& port);
void DecodeReport_54(PortRecord& port);

// A DOP with one decimal, as the main and the tracking window show it.
QString DopText(float dop);
// Every PRN of the report, 4 characters each.
QString SvSelectionText(const Report6D& report);

// True when prn is one of the port's satellites in the fix.
bool IsFixSatellite(const PortReportRecord& reports, int32_t prn);
// Empties the satellites in the fix of every port.
void ClearFixSatellites();
