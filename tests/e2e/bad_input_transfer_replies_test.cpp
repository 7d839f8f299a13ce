// Bad system data replies read by the transfer's own wait: before each good
// reply the receiver sends 0x58 packets of every short length and the
// longest, with junk and NaN patterns and a type nobody asked for, and
// replies for the awaited block that announce more data than they carry.
// None of them may be taken for the block: the file is the one a clean
// line gives.
#include "transfer_fixture.h"

#include <random>

namespace {

std::vector<size_t> Lengths()
{
    std::vector<size_t> lengths;
    for (size_t n = 0; n <= 60; ++n)
        lengths.push_back(n);
    lengths.push_back(511);
    return lengths;
}

// 0x58 packets that answer no request: the type byte 0xEE names no data type.
Bytes UnaskedReplies(uint32_t seed)
{
    std::mt19937 random(seed);
    Bytes out;
    for (size_t length : Lengths()) {
        for (bool ones : {false, true}) {
            Bytes m = {0x58};
            for (size_t i = 0; i < length; ++i)
                m.push_back(ones ? 0xFF : static_cast<uint8_t>(random() & 0xFF));
            if (length >= 2)
                m[2] = 0xEE;
            const Bytes f = Frame(m);
            out.insert(out.end(), f.begin(), f.end());
        }
    }
    return out;
}

// Replies for the awaited block that say L data bytes follow and carry fewer.
Bytes ShortReplies(uint8_t type, uint8_t sv, size_t announced)
{
    Bytes out;
    for (size_t carried = 0; carried < announced; ++carried) {
        Bytes m = {0x58, 0x02, type, sv, static_cast<uint8_t>(announced)};
        m.insert(m.end(), carried, 0x5A);
        const Bytes f = Frame(m);
        out.insert(out.end(), f.begin(), f.end());
    }
    return out;
}

class BadTransferReplies : public TransferTest {};

TEST_F(BadTransferReplies, JunkAndShortRepliesAreNotTakenForTheBlock)
{
    Bytes expected = {0x00, 0x00};
    for (const TypeSv& k : AlmanacOrder()) {
        peer.blocks[k] = TestBlockData(k.first, k.second, TestLength(k.first));
        const Bytes b = FileBlock(k.first, k.second, peer.blocks[k]);
        expected.insert(expected.end(), b.begin(), b.end());
    }
    uint32_t seed = 1;
    peer.before = [&](const Command& c) {
        Bytes noise = UnaskedReplies(seed++);
        if (c.kind == CommandKind::RequestSystemData) {
            const uint8_t type = c.systemData.dataType;
            const Bytes shortOnes = ShortReplies(type, c.systemData.sv, TestLength(type));
            noise.insert(noise.end(), shortOnes.begin(), shortOnes.end());
        }
        return noise;
    };
    ui.fileNames.push_back(Path("alm.dat"));
    Form_Main->InitializeDownloadClick();

    EXPECT_EQ(ReadFile("alm.dat"), expected);
    EXPECT_EQ(CommandsOf(CommandKind::RequestSystemData).size(), 35u);
    const QStringList lines = MemoLines();
    ASSERT_FALSE(lines.isEmpty());
    EXPECT_EQ(lines.back(), "Almanac download complete.");
    EXPECT_FALSE(lines.contains("Data not available!"));
    EXPECT_TRUE(ui.boxes.empty());
    ExpectMonitorResumed();
}

} // namespace
