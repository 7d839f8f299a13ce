#include "model/replay/fix_reports.h"

#include "link/packets.h"

namespace {

struct FixReport {
    int id;
    int subId; // -1: none
};

constexpr FixReport kFixReports[] = {{0x4A, -1}, {0x84, -1}, {0x42, -1}, {0x83, -1},
                                     {0x8F, 0x20}, {0x8F, 0x23}, {0x8F, 0xAB}};

} // namespace

int FixReportKey(int id, const uint8_t* data, size_t length)
{
    for (const FixReport& r : kFixReports) {
        if (r.id != id)
            continue;
        if (r.subId < 0)
            return id << 8;
        if (length > 0 && data[0] == r.subId)
            return (id << 8) | r.subId;
    }
    return -1;
}

std::optional<double> FixTimeOfWeek(int id, const uint8_t* data, size_t length)
{
    switch (id) {
    case 0x4A: {
        Report4A r;
        if (ParseReport4A(data, length, r))
            return r.fixTimeS;
        break;
    }
    case 0x84: {
        Report84 r;
        if (ParseReport84(data, length, r))
            return r.fixTimeS;
        break;
    }
    case 0x42: {
        Report42 r;
        if (ParseReport42(data, length, r))
            return r.fixTimeS;
        break;
    }
    case 0x83: {
        Report83 r;
        if (ParseReport83(data, length, r))
            return r.fixTimeS;
        break;
    }
    default: break;
    }
    return std::nullopt;
}
