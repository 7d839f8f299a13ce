#include "monitor/flash_confirmation.h"

#include "link/packets.h"
#include "monitor/requests.h"

void DecodeReport_8F26(PortRecord& port)
{
    Report8F26 report;
    if (!ParseReport8F26(port.data, port.length, report))
        return;
    ui::Tell(QStringLiteral("Settings successfully saved to Flash."), QStringLiteral("Success"));
}
