// Big-endian field readers and writers: the one place that knows the
// protocol's byte order and how IEEE-754 values travel on the line.
#pragma once

#include <bit>
#include <cstdint>

inline int16_t ReadInt16BE(const uint8_t* p)
{
    return static_cast<int16_t>(static_cast<uint16_t>((p[0] << 8) | p[1]));
}

inline uint16_t ReadUInt16BE(const uint8_t* p)
{
    return static_cast<uint16_t>((p[0] << 8) | p[1]);
}

inline uint32_t ReadUInt32BE(const uint8_t* p)
{
    return (uint32_t{p[0]} << 24) | (uint32_t{p[1]} << 16) | (uint32_t{p[2]} << 8) | uint32_t{p[3]};
}

inline int32_t ReadInt32BE(const uint8_t* p)
{
    return static_cast<int32_t>(ReadUInt32BE(p));
}

inline uint64_t ReadUInt64BE(const uint8_t* p)
{
    return (uint64_t{ReadUInt32BE(p)} << 32) | ReadUInt32BE(p + 4);
}

inline float ReadFloatBE(const uint8_t* p)
{
    return std::bit_cast<float>(ReadUInt32BE(p));
}

inline double ReadDoubleBE(const uint8_t* p)
{
    return std::bit_cast<double>(ReadUInt64BE(p));
}

inline void PutInt16BE(int16_t value, uint8_t* p)
{
    const auto v = static_cast<uint16_t>(value);
    p[0] = static_cast<uint8_t>(v >> 8);
    p[1] = static_cast<uint8_t>(v);
}

inline void PutInt32BE(int32_t value, uint8_t* p)
{
    const auto v = static_cast<uint32_t>(value);
    p[0] = static_cast<uint8_t>(v >> 24);
    p[1] = static_cast<uint8_t>(v >> 16);
    p[2] = static_cast<uint8_t>(v >> 8);
    p[3] = static_cast<uint8_t>(v);
}

inline void PutUInt16BE(uint16_t value, uint8_t* p) { PutInt16BE(static_cast<int16_t>(value), p); }
inline void PutUInt32BE(uint32_t value, uint8_t* p) { PutInt32BE(static_cast<int32_t>(value), p); }

inline void PutFloatBE(float value, uint8_t* p)
{
    PutUInt32BE(std::bit_cast<uint32_t>(value), p);
}

inline void PutDoubleBE(double value, uint8_t* p)
{
    const auto v = std::bit_cast<uint64_t>(value);
    PutUInt32BE(static_cast<uint32_t>(v >> 32), p);
    PutUInt32BE(static_cast<uint32_t>(v), p + 4);
}
