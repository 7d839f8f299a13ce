// Parse and encode of the command packets (the packets.h half for commands).
#include <algorithm>

#include "link/packet_fields.h"
#include "link/packets.h"

using namespace packet_fields;

namespace {

// Commands that carry nothing beyond their fixed bytes.
struct FixedCommand {
    CommandKind kind;
    uint8_t id;
    int sub; // -1: the id alone
};

constexpr FixedCommand kFixedCommands[] = {
    {CommandKind::RequestVersion, 0x1F, -1},   {CommandKind::RequestTime, 0x21, -1},
    {CommandKind::RequestSatSelection, 0x24, -1}, {CommandKind::SoftReset, 0x25, -1},
    {CommandKind::RequestHealth, 0x26, -1},    {CommandKind::RequestIoOptions, 0x35, -1},
    {CommandKind::RequestTracking, 0x3C, 0x00}, {CommandKind::RequestDgpsMode, 0x62, 0x04},
    {CommandKind::RequestFilters, 0x70, -1},   {CommandKind::RequestGpsConfig, 0xBB, 0x03},
    {CommandKind::RequestDatum, 0x8E, 0x15},   {CommandKind::SaveToFlash, 0x8E, 0x26},
};

bool ParseFixed(uint8_t id, const uint8_t* data, size_t len, Command& out)
{
    for (const FixedCommand& f : kFixedCommands) {
        const bool match = f.id == id && (f.sub < 0 ? len == 0 : len == 1 && data[0] == f.sub);
        if (match) {
            out.kind = f.kind;
            return true;
        }
    }
    return false;
}

const FixedCommand* FindFixed(CommandKind kind)
{
    for (const FixedCommand& f : kFixedCommands)
        if (f.kind == kind)
            return &f;
    return nullptr;
}

CommandKind PositionKind(uint8_t id)
{
    switch (id) {
    case 0x23: return CommandKind::InitialPosXYZ;
    case 0x2B: return CommandKind::InitialPosLLA;
    case 0x31: return CommandKind::AccuratePosXYZ;
    case 0x32: return CommandKind::AccuratePosLLA;
    default: return CommandKind::Unknown;
    }
}

uint8_t PositionId(CommandKind kind)
{
    switch (kind) {
    case CommandKind::InitialPosXYZ: return 0x23;
    case CommandKind::InitialPosLLA: return 0x2B;
    case CommandKind::AccuratePosXYZ: return 0x31;
    case CommandKind::AccuratePosLLA: return 0x32;
    default: return 0;
    }
}

bool ParseSystemData(const uint8_t* data, size_t len, Command& out)
{
    if (len == 3 && data[0] == 0x01) {
        out.kind = CommandKind::RequestSystemData;
    } else if (len >= 4 && data[0] == 0x02 && len == size_t{4} + data[3]) {
        out.kind = CommandKind::LoadSystemData;
        out.systemData.dataLength = data[3];
        std::copy_n(data + 4, data[3], out.systemData.data.begin());
    } else {
        return false;
    }
    out.systemData.dataType = data[1];
    out.systemData.sv = data[2];
    return true;
}

// The commands with values; false when the id or length is not one of them.
bool ParseWithValues(uint8_t id, const uint8_t* data, size_t len, Command& out)
{
    if (const CommandKind kind = PositionKind(id); kind != CommandKind::Unknown && len == 12) {
        Reader r{data};
        out.kind = kind;
        out.position = {r.F32(), r.F32(), r.F32()};
        return true;
    }
    Reader r{data};
    if (id == 0x1E && len == 1) {
        out.kind = CommandKind::ResetMode;
        out.resetMode = data[0];
    } else if (id == 0x2E && len == 6) {
        out.kind = CommandKind::GpsTime;
        out.time = {r.F32(), r.U16()};
    } else if (id == 0x35 && len == 4) {
        out.kind = CommandKind::SetIoOptions;
        out.ioOptions = ReadQuad<IoOptionsRecord>(data);
    } else if (id == 0x38) {
        return ParseSystemData(data, len, out);
    } else if (id == 0x70 && len == 4) {
        out.kind = CommandKind::SetFilters;
        out.filters = ReadQuad<FilterRecord>(data);
    } else if (id == 0xBB && len == 40 && data[0] == 0x03) {
        out.kind = CommandKind::SetGpsConfig;
        out.gpsConfig = ReadGpsConfigBody(Reader{data + 1});
    } else if (id == 0xBC && (len == 1 || len == 10)) {
        out.kind = len == 1 ? CommandKind::RequestSerialConfig : CommandKind::SetSerialConfig;
        if (len == 1)
            out.serialConfig.receiverPort = data[0];
        else
            out.serialConfig = ReadSerialConfigBody(r);
    } else if (id == 0x8E && len == 3 && data[0] == 0x15) {
        out.kind = CommandKind::SetDatum;
        out.datumIndex = ReadUInt16BE(data + 1);
    } else {
        return false;
    }
    return true;
}

} // namespace

bool ParseCommand(uint8_t id, const uint8_t* data, size_t len, Command& out)
{
    out = Command{};
    if ((data == nullptr && len > 0) || len > kMaxReportData)
        return false;
    if (ParseFixed(id, data, len, out))
        return true;
    if (!ParseWithValues(id, data, len, out)) {
        out = Command{};
        return false;
    }
    return true;
}

size_t EncodeCommand(const Command& c, uint8_t* msg)
{
    Writer w{msg};
    if (const FixedCommand* f = FindFixed(c.kind)) {
        w.U8(f->id);
        if (f->sub >= 0)
            w.U8(static_cast<uint8_t>(f->sub));
        return w.Size();
    }
    if (const uint8_t id = PositionId(c.kind); id != 0)
        return w.U8(id).F32(c.position.a).F32(c.position.b).F32(c.position.c).Size();
    const SystemDataCommand& s = c.systemData;
    switch (c.kind) {
    case CommandKind::ResetMode: return w.U8(0x1E).U8(c.resetMode).Size();
    case CommandKind::GpsTime: return w.U8(0x2E).F32(c.time.timeOfWeekS).U16(c.time.week).Size();
    case CommandKind::SetIoOptions: WriteQuad(w.U8(0x35), c.ioOptions); return w.Size();
    case CommandKind::RequestSystemData: return w.U8(0x38).U8(0x01).U8(s.dataType).U8(s.sv).Size();
    case CommandKind::LoadSystemData:
        w.U8(0x38).U8(0x02).U8(s.dataType).U8(s.sv).U8(s.dataLength);
        return w.Bytes(s.data.data(), s.dataLength).Size();
    case CommandKind::SetFilters: WriteQuad(w.U8(0x70), c.filters); return w.Size();
    case CommandKind::SetGpsConfig: WriteGpsConfigBody(w.U8(0xBB), 0x03, c.gpsConfig); return w.Size();
    case CommandKind::RequestSerialConfig: return w.U8(0xBC).U8(c.serialConfig.receiverPort).Size();
    case CommandKind::SetSerialConfig: WriteSerialConfigBody(w.U8(0xBC), c.serialConfig); return w.Size();
    case CommandKind::SetDatum: return w.U8(0x8E).U8(0x15).U16(c.datumIndex).Size();
    default: return 0;
    }
}
