// The receiver's confirmation that it saved its settings to flash memory.
#pragma once

#include "link/port_table.h"

// Report 0x8F-26 of 5 data bytes (the subcode and four status bytes, not
// read) shows "Settings successfully saved to Flash."; any other length is
// ignored. One box for every confirming port, display or monitored.
void DecodeReport_8F26(PortRecord& port);
