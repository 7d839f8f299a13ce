// Sequential big-endian field reader and writer, and the packet bodies that
// a command and its report share. Internal to the packet codec.
#pragma once

#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "link/byte_order.h"
#include "link/packets.h"

namespace packet_fields {

// The length check every parse starts with: the report's own length (or at
// least it, for the reports of variable length) and, for the ids with a
// sub-id, that sub-id in data[0].
bool ReportLengthFits(uint8_t id, int subId, const uint8_t* data, size_t len);

// Sequential field reader over bytes whose length was checked beforehand.
struct Reader {
    const uint8_t* p;
    uint8_t U8() { return *p++; }
    uint16_t U16() { const uint16_t v = ReadUInt16BE(p); p += 2; return v; }
    int16_t S16() { const int16_t v = ReadInt16BE(p); p += 2; return v; }
    uint32_t U32() { const uint32_t v = ReadUInt32BE(p); p += 4; return v; }
    int32_t S32() { const int32_t v = ReadInt32BE(p); p += 4; return v; }
    float F32() { const float v = ReadFloatBE(p); p += 4; return v; }
    double F64() { const double v = ReadDoubleBE(p); p += 8; return v; }
    void Skip(size_t n) { p += n; }
};

// Sequential field writer; Size() is the message length so far.
struct Writer {
    uint8_t* start;
    uint8_t* p = start;
    Writer& U8(uint8_t v) { *p++ = v; return *this; }
    Writer& U16(uint16_t v) { PutUInt16BE(v, p); p += 2; return *this; }
    Writer& S16(int16_t v) { PutInt16BE(v, p); p += 2; return *this; }
    Writer& U32(uint32_t v) { PutUInt32BE(v, p); p += 4; return *this; }
    Writer& F32(float v) { PutFloatBE(v, p); p += 4; return *this; }
    Writer& F64(double v) { PutDoubleBE(v, p); p += 8; return *this; }
    Writer& Fill(uint8_t v, size_t n) { std::memset(p, v, n); p += n; return *this; }
    Writer& Bytes(const uint8_t* b, size_t n)
    {
        if (n > 0)
            std::memcpy(p, b, n);
        p += n;
        return *this;
    }
    size_t Size() const { return static_cast<size_t>(p - start); }
};

// The two shapes that share a layout between command and report.
inline void WriteGpsConfigBody(Writer& w, uint8_t subcode, const GpsConfigRecord& c)
{
    w.U8(subcode).U8(c.receiverMode).U8(c.dgpsMode).U8(c.dynamicsCode).Fill(0xFF, 11);
    w.F32(c.elevationMaskRad).F32(c.signalMaskAmu).F32(c.pdopMask).F32(c.pdopSwitch);
    w.Fill(0xFF, 4).U8(c.dgpsAgeLimitS).Fill(0xFF, 4);
}

inline GpsConfigRecord ReadGpsConfigBody(Reader r) // r stands after the subcode
{
    GpsConfigRecord c;
    c.receiverMode = r.U8();
    c.dgpsMode = r.U8();
    c.dynamicsCode = r.U8();
    r.Skip(11);
    c.elevationMaskRad = r.F32();
    c.signalMaskAmu = r.F32();
    c.pdopMask = r.F32();
    c.pdopSwitch = r.F32();
    r.Skip(4);
    c.dgpsAgeLimitS = r.U8();
    return c;
}

inline void WriteSerialConfigBody(Writer& w, const SerialConfigRecord& c)
{
    w.U8(c.receiverPort).U8(c.baudCode).U8(c.baudCode).U8(c.dataBitsCode).U8(c.parityCode);
    w.U8(c.stopBitsCode).U8(0).U8(c.inputProtocol).U8(c.outputProtocol).U8(0);
}

inline SerialConfigRecord ReadSerialConfigBody(Reader r)
{
    SerialConfigRecord c;
    c.receiverPort = r.U8();
    c.baudCode = r.U8();
    r.Skip(1); // second copy of the baud code
    c.dataBitsCode = r.U8();
    c.parityCode = r.U8();
    c.stopBitsCode = r.U8();
    r.Skip(1);
    c.inputProtocol = r.U8();
    c.outputProtocol = r.U8();
    return c;
}

// Four plain bytes, the shape of 0x35/0x55 and 0x70.
template <typename Quad>
Quad ReadQuad(const uint8_t* d)
{
    return Quad{d[0], d[1], d[2], d[3]};
}

template <typename Quad>
inline void WriteQuad(Writer& w, const Quad& q)
{
    static_assert(sizeof(Quad) == 4);
    const auto bytes = std::bit_cast<std::array<uint8_t, 4>>(q);
    w.Bytes(bytes.data(), bytes.size());
}

} // namespace packet_fields
