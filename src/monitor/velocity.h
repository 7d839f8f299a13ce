// The velocity reports (0x43 ECEF, 0x56 east/north/up): stored per port and
// announced.
#pragma once

#include "link/port_table.h"

void DecodeReport_43(PortRecord& port);
void DecodeReport_56(PortRecord& port);
