// The almanac and ephemeris data files: blocks of system data framed by a
// start byte 0x82 and an end byte 0x83, written as the receiver sent them
// and read back for loading. No Qt here, so the reader can be fuzzed.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <istream>
#include <vector>

constexpr uint8_t kBlockStart = 0x82;
constexpr uint8_t kBlockEnd = 0x83;
constexpr size_t kMaxBlockData = 255;
// An almanac file begins with two zero bytes; an ephemeris file has no header.
constexpr std::array<uint8_t, 2> kAlmanacFileHeader = {0x00, 0x00};

// Data types of the system data commands, reports and file blocks.
constexpr uint8_t kTypeAlmanacRaw = 1;
constexpr uint8_t kTypeAlmanac = 2;
constexpr uint8_t kTypeHealthPage = 3;
constexpr uint8_t kTypeIonosphere = 4;
constexpr uint8_t kTypeUtc = 5;
constexpr uint8_t kTypeEphemeris = 6;
constexpr uint8_t kMaxSv = 32;

// Types 1, 2 and 6 name a satellite; their blocks carry the SV byte.
bool TypeHasSv(uint8_t type);

struct SystemDataBlock {
    uint8_t type = 0;
    uint8_t sv = 0;     // 0 for the types without a satellite
    uint8_t length = 0; // L
    std::array<uint8_t, kMaxBlockData> data = {};
};

// Appends the block (0x82, type, [SV,] L, data, 0x83) to out.
void AppendBlock(std::vector<uint8_t>& out, const SystemDataBlock& block);

// Bytes of an open data file, one at a time; -1 at the end.
class ByteSource {
public:
    virtual ~ByteSource() = default;
    virtual int Next() = 0;
};

class StreamByteSource : public ByteSource {
public:
    explicit StreamByteSource(std::istream& in) : in_(in) {}
    int Next() override;

private:
    std::istream& in_;
};

class MemoryByteSource : public ByteSource {
public:
    MemoryByteSource(const uint8_t* bytes, size_t count) : bytes_(bytes), count_(count) {}
    int Next() override { return pos_ < count_ ? bytes_[pos_++] : -1; }

private:
    const uint8_t* bytes_;
    size_t count_;
    size_t pos_ = 0;
};

// Which blocks a loader takes: an almanac file holds types 1 to 5, an
// ephemeris file type 6 only.
enum class FileKind { Almanac, Ephemeris };

enum class BlockStep {
    Ok,
    End,         // end of file, or an SV byte outside 1..32: stop without a message
    UnknownType, // a type this kind of file does not hold
    BadEndByte,  // the byte after the data is not 0x83
};

// Skips to the next 0x82 and reads the type and, where the type has one, the
// SV byte. For an ephemeris file the type is checked before the SV is read.
BlockStep ReadBlockHeader(ByteSource& in, FileKind kind, SystemDataBlock& block);
// Reads L, the L data bytes and the end byte of the block whose header was read.
BlockStep ReadBlockBody(ByteSource& in, SystemDataBlock& block);
