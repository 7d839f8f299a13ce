// The receiver's settings reports: I/O options (0x55), datum (0x8F-15),
// filters (0x70), GPS configuration (0xBB) and serial settings (0xBC, receiver
// port 0). Each is stored in the port's PortSettings and announced;
// the configuration dialogs and the main window's captions follow.
#pragma once

#include "link/port_table.h"

void DecodeReport_55(PortRecord& port);
void DecodeReport_8F15(PortRecord& port);
void DecodeReport_70(PortRecord& port);
void DecodeReport_BB(PortRecord& port);
// Reports of the receiver's other ports are ignored.
void DecodeReport_BC(PortRecord& port);
