#include "model/base_state.h"

#include "link/commands.h"
#include "link/framing.h"
#include "link/link_hooks.h"
#include "link/port_table.h"
#include "model/gps_time.h"
#include "model/port_reports.h"
#include "model/port_settings.h"
#include "platform/clock.h"
#include "platform/port_enumeration.h"

void ResetBaseState()
{
    LinkHooks() = LinkHookSet{}; // first: closing the ports below tells nobody
    ResetLinkState();
    ResetCommandState();
    PacketWaitDone = 0;
    ClearComMapping();
    UseFakeClock(nullptr);
    GpsSeconds = 0.0;
    PortReports = {};
    PortSettings = {};
}
