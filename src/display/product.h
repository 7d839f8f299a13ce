// Product information: report 0x45 gives the firmware versions and dates of
// the navigation and signal processors; it fills the product window and the
// status bar's version field, and unlocks the datum controls for firmware
// that knows datums.
#pragma once

#include <QString>

#include "link/packets.h"
#include "link/port_table.h"

void DecodeReport_45(PortRecord& port);

// "1.12" and "3/7/2001" of one processor's version.
QString VersionText(const FirmwareVersion& version);
QString VersionDateText(const FirmwareVersion& version);
// Firmware from 1.12 on (either number on its own) supports datums.
bool SupportsDatums(const FirmwareVersion& navigation);
