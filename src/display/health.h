// Receiver health and status: reports 0x46 (health code and error bits),
// 0x4B (status bits), 0x6D (fix mode, DOPs, satellites in the fix) and 0x82
// (DGPS mode) fill the Status panel, its four lamps, the DOP fields and the
// tracking window's satellite list, and each port's PortReports.
#pragma once

#include <cstdint>

#include <QString>

#include "model/port_reports.h"
#include "link/packets.h"
#include "link/port_table.h"

void DecodeReport_46(PortRecord& port);
void DecodeReport_4B(PortRecord& port);
void DecodeReport_6D(PortRecord& port);
void DecodeReport_82(PortRecord& port);

// The Status panel's texts; codes without a text of their own show their number.
QString HealthText(uint8_t code);
QString DgpsModeText(uint8_t mode);
// "3-D  (4 SV)" from byte 0 of 0x6D.
QString FixModeText(const Report6D& report);
// Every PRN of the report, 4 characters each.
QString SvSelectionText(const Report6D& report);

// True when prn is one of the port's satellites in the fix.
bool IsFixSatellite(const PortReportRecord& reports, int32_t prn);
// Empties the satellites in the fix of every port.
void ClearFixSatellites();
