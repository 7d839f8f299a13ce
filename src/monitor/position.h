// The position reports (0x42, 0x4A, 0x83, 0x84): stored per port and
// announced; for the display port the next fix goes to a position file when
// the user asked for it.
#pragma once

#include "link/port_table.h"

void DecodeReport_42(PortRecord& port);
void DecodeReport_4A(PortRecord& port);
void DecodeReport_83(PortRecord& port);
void DecodeReport_84(PortRecord& port);
