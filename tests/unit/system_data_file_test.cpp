// The data file block format: blocks written byte for byte, and the reader's
// rules (skip to 0x82, type and SV checks, end byte, truncation) on crafted
// and random files.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <sstream>
#include <vector>

#include "model/formats/system_data_file.h"

namespace {

using Bytes = std::vector<uint8_t>;

SystemDataBlock Block(uint8_t type, uint8_t sv, const Bytes& data)
{
    SystemDataBlock b;
    b.type = type;
    b.sv = sv;
    b.length = static_cast<uint8_t>(data.size());
    std::copy(data.begin(), data.end(), b.data.begin());
    return b;
}

struct Read {
    BlockStep step = BlockStep::End;
    SystemDataBlock block;
};

// One header-and-body read, as the loaders do it.
Read ReadOne(ByteSource& in, FileKind kind)
{
    Read r;
    r.step = ReadBlockHeader(in, kind, r.block);
    if (r.step == BlockStep::Ok)
        r.step = ReadBlockBody(in, r.block);
    return r;
}

std::vector<Read> ReadAll(const Bytes& file, FileKind kind)
{
    MemoryByteSource in(file.data(), file.size());
    std::vector<Read> out;
    do {
        out.push_back(ReadOne(in, kind));
    } while (out.back().step == BlockStep::Ok);
    return out;
}

Bytes DataOf(const SystemDataBlock& b) { return Bytes(b.data.begin(), b.data.begin() + b.length); }

} // namespace

TEST(SystemDataFile, BlocksAreWrittenByteForByte)
{
    Bytes out;
    AppendBlock(out, Block(2, 5, {0x01, 0x10, 0x83}));
    AppendBlock(out, Block(4, 0, {0xAA, 0xBB}));
    AppendBlock(out, Block(6, 32, {}));
    AppendBlock(out, Block(3, 9, {0x07})); // no SV byte for type 3, whatever the field holds
    const Bytes expected = {0x82, 0x02, 0x05, 0x03, 0x01, 0x10, 0x83, 0x83, //
                            0x82, 0x04, 0x02, 0xAA, 0xBB, 0x83,             //
                            0x82, 0x06, 0x20, 0x00, 0x83,                   //
                            0x82, 0x03, 0x01, 0x07, 0x83};
    EXPECT_EQ(out, expected);
}

TEST(SystemDataFile, AlmanacReaderSkipsToBlockStartsAndReadsEveryType)
{
    // Two zero bytes, then junk before and between the blocks.
    const Bytes file = {0x00, 0x00, 0x55, 0x83,                   //
                        0x82, 0x03, 0x02, 0x11, 0x22, 0x83,       // health page
                        0x01, 0x02,                               //
                        0x82, 0x01, 0x07, 0x01, 0x82, 0x83,       // raw almanac SV 7, data 0x82
                        0x82, 0x02, 0x20, 0x00, 0x83,             // SV 32, L = 0
                        0x82, 0x04, 0x01, 0x44, 0x83,             //
                        0x82, 0x05, 0x01, 0x55, 0x83, 0x00};
    const auto reads = ReadAll(file, FileKind::Almanac);
    ASSERT_EQ(reads.size(), 6u);
    EXPECT_EQ(reads[0].block.type, 3);
    EXPECT_EQ(reads[0].block.sv, 0);
    EXPECT_EQ(DataOf(reads[0].block), (Bytes{0x11, 0x22}));
    EXPECT_EQ(reads[1].block.type, 1);
    EXPECT_EQ(reads[1].block.sv, 7);
    EXPECT_EQ(DataOf(reads[1].block), (Bytes{0x82}));
    EXPECT_EQ(reads[2].block.sv, 32);
    EXPECT_EQ(reads[2].block.length, 0);
    EXPECT_EQ(reads[3].block.type, 4);
    EXPECT_EQ(reads[4].block.type, 5);
    EXPECT_EQ(DataOf(reads[4].block), (Bytes{0x55}));
    EXPECT_EQ(reads[5].step, BlockStep::End);
}

TEST(SystemDataFile, ReaderStopsOnBadTypeSvAndEndByte)
{
    struct Case {
        const char* what;
        FileKind kind;
        Bytes file;
        BlockStep step;
    };
    const Case cases[] = {
        {"no block start", FileKind::Almanac, {0x00, 0x00, 0x81, 0x83, 0x06}, BlockStep::End},
        {"empty file", FileKind::Ephemeris, {}, BlockStep::End},
        {"ephemeris type in almanac file", FileKind::Almanac, {0x82, 0x06, 0x01, 0x00, 0x83}, BlockStep::UnknownType},
        {"type 0", FileKind::Almanac, {0x82, 0x00}, BlockStep::UnknownType},
        {"type 7", FileKind::Almanac, {0x82, 0x07, 0x01, 0x00, 0x83}, BlockStep::UnknownType},
        {"almanac type in ephemeris file", FileKind::Ephemeris, {0x82, 0x02, 0x01, 0x00, 0x83}, BlockStep::UnknownType},
        // The ephemeris reader checks the type before it reads the SV byte.
        {"health page in ephemeris file", FileKind::Ephemeris, {0x82, 0x03}, BlockStep::UnknownType},
        {"SV 0", FileKind::Almanac, {0x82, 0x02, 0x00, 0x00, 0x83}, BlockStep::End},
        {"SV 33", FileKind::Ephemeris, {0x82, 0x06, 0x21, 0x00, 0x83}, BlockStep::End},
        {"bad end byte", FileKind::Almanac, {0x82, 0x04, 0x01, 0x44, 0x82}, BlockStep::BadEndByte},
        {"L longer than the data", FileKind::Ephemeris, {0x82, 0x06, 0x01, 0x05, 0x01, 0x83}, BlockStep::End},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        MemoryByteSource in(c.file.data(), c.file.size());
        EXPECT_EQ(ReadOne(in, c.kind).step, c.step);
    }
}

TEST(SystemDataFile, EveryTruncationOfABlockEndsTheRead)
{
    Bytes whole;
    AppendBlock(whole, Block(6, 3, {0x10, 0x20, 0x30}));
    for (size_t cut = 0; cut < whole.size(); ++cut) {
        SCOPED_TRACE(cut);
        const Bytes part(whole.begin(), whole.begin() + static_cast<long>(cut));
        MemoryByteSource in(part.data(), part.size());
        EXPECT_EQ(ReadOne(in, FileKind::Ephemeris).step, BlockStep::End);
    }
}

TEST(SystemDataFile, StreamSourceGivesHighBytesAndThenTheEnd)
{
    std::istringstream in(std::string("\xFF\x82\x00", 3));
    StreamByteSource source(in);
    EXPECT_EQ(source.Next(), 0xFF); // not mistaken for the end
    EXPECT_EQ(source.Next(), 0x82);
    EXPECT_EQ(source.Next(), 0x00);
    EXPECT_EQ(source.Next(), -1);
    EXPECT_EQ(source.Next(), -1);
}

// Random files, some seeded with block starts and valid blocks: the reader
// always ends, and every block it returns is one that is in the file.
TEST(SystemDataFile, RandomFilesNeverYieldAnInventedBlock)
{
    std::mt19937 rng(20261208);
    for (int round = 0; round < 3000; ++round) {
        Bytes file(rng() % 300);
        for (auto& b : file)
            b = static_cast<uint8_t>(rng() % 4 == 0 ? 0x82 + rng() % 2 : rng() % 256);
        if (round % 3 == 0)
            AppendBlock(file, Block(static_cast<uint8_t>(1 + rng() % 6), static_cast<uint8_t>(1 + rng() % 32),
                                    Bytes(rng() % 40, 0x5A)));
        for (const FileKind kind : {FileKind::Almanac, FileKind::Ephemeris}) {
            const auto reads = ReadAll(file, kind);
            ASSERT_LE(reads.size(), file.size() / 4 + 1);
            for (size_t i = 0; i + 1 < reads.size(); ++i) {
                Bytes encoded;
                AppendBlock(encoded, reads[i].block);
                EXPECT_NE(std::search(file.begin(), file.end(), encoded.begin(), encoded.end()), file.end());
            }
        }
    }
}
