// Product information: report 0x45 gives the firmware versions and dates of
// the navigation and signal processors; stored for the port, shown in the
// product window and announced (the status bar's version field and the datum
// controls follow it).
#pragma once

#include <QString>

#include "link/gnss_reports.h"
#include "link/packets.h"
#include "link/port_table.h"

void DecodeReport_45(PortRecord& port);
// 0x1C-81 and 0x1C-83: the newer receivers' firmware and hardware versions,
// stored and announced for every port.
void DecodeReport_1C81(PortRecord& port);
void DecodeReport_1C83(PortRecord& port);


// "1.12" and "3/7/2001" of one processor's version.
QString VersionText(const FirmwareVersion& version);
QString VersionDateText(const FirmwareVersion& version);
