// The time reports of the display port, stored and announced: 0x41 GPS time
// (also GpsSeconds and the pending "Time To PC" request) and 0x4E, the
// receiver's answer to a set-GPS-time command.
#pragma once

#include "link/port_table.h"

void DecodeReport_41(PortRecord& port);
void DecodeReport_4E(PortRecord& port);
// 0x8F-AB, a timing receiver's time: stored and announced for every port.
void DecodeReport_8FAB(PortRecord& port);
