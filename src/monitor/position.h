// The position reports (0x42, 0x4A, 0x83, 0x84, and the newer 0x8F-20,
// 0x8F-23 and 0x8F-AC): stored per port and announced; for the display port the next fix goes to a position file when
// the user asked for it.
#pragma once

#include "link/port_table.h"

void DecodeReport_42(PortRecord& port);
void DecodeReport_4A(PortRecord& port);
void DecodeReport_83(PortRecord& port);
void DecodeReport_84(PortRecord& port);
// 0x8F-20 and 0x8F-23 bring velocity too; 0x8F-AC the timing status as well.
void DecodeReport_8F20(PortRecord& port);
void DecodeReport_8F23(PortRecord& port);
void DecodeReport_8FAC(PortRecord& port);
