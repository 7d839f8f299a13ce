// The position reports (0x42, 0x4A, 0x83, 0x84): stored per port, logged for
// monitored ports, and for the display port shown in the position, change of
// position and timing panels and the timing outputs window.
#pragma once

#include "link/port_table.h"

void DecodeReport_42(PortRecord& port);
void DecodeReport_4A(PortRecord& port);
void DecodeReport_83(PortRecord& port);
void DecodeReport_84(PortRecord& port);

// Shows the change of position against the program-wide reference point;
// the first call after ReferenceSet was cleared takes this point as the
// reference. Radians.
void UpdateChangeOfPosition(double latRad, double lonRad);
