#include "dump_run.h"

#include "dump_fields.h"
#include "dump_format.h"

void Dumper::OnPacket(const ScannedPacket& p)
{
    DumpFields fields;
    DumpRecord r;
    r.id = p.id;
    r.key = PacketKey(p.id, p.data, p.length);
    r.offset = p.offset;
    r.length = p.length;
    r.fragment = !p.hasStart;
    r.data = p.data;
    r.withHex = hex_;
    // A fragment carries the previous packet's id over bytes of another: not decoded.
    r.decoded = p.hasStart && DecodePacketFields(p.id, p.data, p.length, &fields);
    r.fields = &fields;
    out_ << (json_ ? FormatJsonLine(r) : FormatTextLine(r)) << '\n';
    ++summary_.counts[r.key];
    ++summary_.packets;
}

void Dumper::Feed(const uint8_t* bytes, size_t count)
{
    scanner_.Feed(bytes, count, [this](const ScannedPacket& p) { OnPacket(p); });
}

const DumpSummary& Dumper::Finish()
{
    summary_.bytes = scanner_.BytesSeen();
    summary_.bytesOutsideFrames = scanner_.BytesOutsideFrames();
    summary_.incompleteTailBytes = scanner_.PendingBytes();
    out_.flush();
    return summary_;
}

void Dumper::WriteSummary(std::ostream& out) const
{
    out << "packets " << summary_.packets << ", bytes " << summary_.bytes << ", outside frames "
        << summary_.bytesOutsideFrames << ", incomplete at end " << summary_.incompleteTailBytes << '\n';
    for (const auto& [key, n] : summary_.counts)
        out << "  " << key << ' ' << n << '\n';
}

DumpSummary DumpBuffer(const uint8_t* bytes, size_t count, bool json, std::ostream& out, bool hex)
{
    Dumper dumper(out, json, hex);
    dumper.Feed(bytes, count);
    return dumper.Finish();
}
