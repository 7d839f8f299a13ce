#include "config/flash_confirmation.h"

#include "link/packets.h"
#include "platform/ui.h"

void DecodeReport_8F26(PortRecord& port)
{
    Report8F26 report;
    if (!ParseReport8F26(port.data, port.length, report))
        return;
    ui::Message(QStringLiteral("Settings successfully saved to Flash."), QStringLiteral("Success"));
}
