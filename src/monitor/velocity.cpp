#include "monitor/velocity.h"

#include <array>

#include "model/port_reports.h"
#include "link/packets.h"
#include "notify/receiver_notifier.h"

namespace {

// One velocity report, whatever its frame.
struct VelocityFix {
    bool enu = false;
    std::array<float, 3> values = {}; // X, Y, Z or east, north, up, m/s
    float biasRateMps = 0;
};

void StoreAndAnnounce(const PortRecord& port, const VelocityFix& fix)
{
    PortReportRecord& r = PortReports[static_cast<size_t>(port.slot)];
    std::array<float*, 3> fields = fix.enu ? std::array{&r.velEast, &r.velNorth, &r.velUp}
                                           : std::array{&r.velX, &r.velY, &r.velZ};
    for (size_t i = 0; i < 3; ++i)
        *fields[i] = fix.values[i];
    r.biasRatePpb = static_cast<float>(MetresToNs(fix.biasRateMps));
    r.biasRateMps = fix.biasRateMps;
    r.velocityId = fix.enu ? 0x56 : 0x43;
    emit Receivers().velocityChanged(port.slot);
}

} // namespace

void DecodeReport_43(PortRecord& port)
{
    Report43 r;
    if (ParseReport43(port.data, port.length, r))
        StoreAndAnnounce(port, VelocityFix{false, {r.velXMps, r.velYMps, r.velZMps}, r.biasRateMps});
}

void DecodeReport_56(PortRecord& port)
{
    Report56 r;
    if (ParseReport56(port.data, port.length, r))
        StoreAndAnnounce(port, VelocityFix{true, {r.eastMps, r.northMps, r.upMps}, r.biasRateMps});
}
