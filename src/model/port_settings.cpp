#include "model/port_settings.h"

std::array<PortSettingsRecord, kPortSlots> PortSettings;

uint32_t NextSettingsRevision()
{
    static uint32_t revision = 0;
    return ++revision; // never 0: that means "nothing received"
}
