#include "monitor/dispatch.h"

#include "monitor/flash_confirmation.h"
#include "monitor/health.h"
#include "monitor/monitor.h"
#include "monitor/position.h"
#include "monitor/product.h"
#include "monitor/settings_reports.h"
#include "monitor/time_reports.h"
#include "monitor/tracking.h"
#include "monitor/velocity.h"
#include "link/shared_flags.h"
#include "notify/receiver_notifier.h"

void (*RawPacketHook)(int, const uint8_t*, uint32_t) = nullptr;
void (*CloseRawRecordingHook)() = nullptr;

namespace {

// The engine's own decoders: what every face decodes into PortReports.
const std::vector<DispatchRow>& EngineRows()
{
    static const std::vector<DispatchRow> rows = {
        {0x41, kNoSubId, &DecodeReport_41, ReportGroup::B},
        {0x42, kNoSubId, &DecodeReport_42, ReportGroup::A},
        {0x43, kNoSubId, &DecodeReport_43, ReportGroup::A},
        {0x45, kNoSubId, &DecodeReport_45, ReportGroup::B},
        {0x46, kNoSubId, &DecodeReport_46, ReportGroup::A},
        {0x4A, kNoSubId, &DecodeReport_4A, ReportGroup::A},
        {0x4B, kNoSubId, &DecodeReport_4B, ReportGroup::A},
        {0x4E, kNoSubId, &DecodeReport_4E, ReportGroup::B},
        {0x56, kNoSubId, &DecodeReport_56, ReportGroup::A},
        {0x5C, kNoSubId, &DecodeReport_5C, ReportGroup::A},
        {0x6D, kNoSubId, &DecodeReport_6D, ReportGroup::A},
        {0x82, kNoSubId, &DecodeReport_82, ReportGroup::A},
        {0x83, kNoSubId, &DecodeReport_83, ReportGroup::A},
        {0x84, kNoSubId, &DecodeReport_84, ReportGroup::A},
        {0x8F, 0x26, &DecodeReport_8F26, ReportGroup::A},
        // The receiver's settings, which the configuration dialogs show.
        {0x55, kNoSubId, &DecodeReport_55, ReportGroup::B},
        {0x70, kNoSubId, &DecodeReport_70, ReportGroup::B},
        {0x8F, 0x15, &DecodeReport_8F15, ReportGroup::B},
        {0xBB, kNoSubId, &DecodeReport_BB, ReportGroup::B},
        {0xBC, kNoSubId, &DecodeReport_BC, ReportGroup::B},
        // Today's receivers, for every port.
        {0x1C, 0x81, &DecodeReport_1C81, ReportGroup::A},
        {0x1C, 0x83, &DecodeReport_1C83, ReportGroup::A},
        {0x54, kNoSubId, &DecodeReport_54, ReportGroup::A},
        {0x5D, kNoSubId, &DecodeReport_5D, ReportGroup::A},
        {0x6C, kNoSubId, &DecodeReport_6C, ReportGroup::A},
        {0x8F, 0x20, &DecodeReport_8F20, ReportGroup::A},
        {0x8F, 0x23, &DecodeReport_8F23, ReportGroup::A},
        {0x8F, 0xAB, &DecodeReport_8FAB, ReportGroup::A},
        {0x8F, 0xAC, &DecodeReport_8FAC, ReportGroup::A},
    };
    return rows;
}

void Put(std::vector<DispatchRow>& rows, const DispatchRow& row)
{
    for (DispatchRow& existing : rows) {
        if (existing.id == row.id && existing.subId == row.subId) {
            existing = row;
            return;
        }
    }
    rows.push_back(row);
}

std::vector<DispatchRow> BuiltInRows() { return EngineRows(); }

std::vector<DispatchRow>& Table()
{
    static std::vector<DispatchRow> table = BuiltInRows();
    return table;
}

bool Matches(const DispatchRow& row, const PortRecord& port)
{
    if (row.id != port.id)
        return false;
    if (row.subId == kNoSubId)
        return true;
    return port.length >= 1 && row.subId == port.data[0];
}

void RunGroup(PortRecord& port, ReportGroup group)
{
    for (const DispatchRow& row : Table()) {
        if (row.group == group && Matches(row, port)) {
            if (row.decoder)
                row.decoder(port);
            return;
        }
    }
}

} // namespace

void DispatchReport(PortRecord& port)
{
    if (!port.open)
        return;
    port.packetSeen = 1;
    Receivers().AnnouncePacketIn(port.slot, port.id, port.data, port.length);
    const bool isDisplay = port.slot + 1 == DisplayPort;
    // A monitor without a display port decodes every port in full.
    const bool inFull = isDisplay || Monitor::Instance().QueryEveryPort();
    if (!port.monitored && !inFull)
        return;
    RunGroup(port, ReportGroup::A);
    if (isDisplay)
        Monitor::Instance().LightRx();
    if (inFull)
        RunGroup(port, ReportGroup::B);
    if (!isDisplay)
        return;
    if (Flags.RawRecordingOn && RawPacketHook)
        RawPacketHook(port.id, port.data, port.length);
}

void RegisterDecoder(const DispatchRow& row) { Put(Table(), row); }

const std::vector<DispatchRow>& DispatchTable() { return Table(); }

void RestoreDispatchTable() { Table() = BuiltInRows(); }

void ResetDispatch()
{
    RestoreDispatchTable();
    RawPacketHook = nullptr;
    CloseRawRecordingHook = nullptr;
}
