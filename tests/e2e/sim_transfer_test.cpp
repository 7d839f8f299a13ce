// The almanac round trip against the simulated receiver: its once-a-second
// reports stream in between the replies, as on a real line.
#include "transfer_fixture.h"

#include "sim/receiver_simulator.h"
#include "transfer/almanac_transfer.h"

namespace {

// The simulator as the peer of the in-memory port: every write reaches it,
// and a fifth of a second passes before its answer is queued.
void AttachSimulator(FakeSerial::State& state, ReceiverSimulator& sim)
{
    sim.TakeOutput();
    state.responder = [&sim](FakeSerial::State& s, const uint8_t* bytes, size_t count) {
        sim.Receive(bytes, count);
        sim.Advance(0.2);
        Feed(s, sim.TakeOutput());
    };
}

// What the simulator answers a request with, asked directly.
Bytes DirectAnswer(ReceiverSimulator& sim, uint8_t type, uint8_t sv)
{
    const Bytes request = Frame({0x38, 0x01, type, sv});
    sim.Receive(request.data(), request.size());
    Bytes data;
    FrameScanner scanner;
    const Bytes out = sim.TakeOutput();
    scanner.Feed(out.data(), out.size(), [&](const ScannedPacket& p) {
        if (p.id == 0x58 && p.length >= 4)
            data.assign(p.data + 4, p.data + p.length);
    });
    return data;
}

class SimTransfer : public TransferTest {};

} // namespace

TEST_F(SimTransfer, AlmanacDownloadAndUploadRoundTrip)
{
    ReceiverSimulator source{SimOptions{}};
    AttachSimulator(*port, source);
    ui.fileNames.push_back(Path("alm.dat"));
    Form_Main->InitializeDownloadClick();

    ReceiverSimulator reference{SimOptions{}};
    Bytes expected = {0x00, 0x00};
    for (const TypeSv& k : AlmanacOrder()) {
        const Bytes b = FileBlock(k.first, k.second, DirectAnswer(reference, k.first, k.second));
        expected.insert(expected.end(), b.begin(), b.end());
    }
    EXPECT_EQ(ReadFile("alm.dat"), expected);
    EXPECT_EQ(MemoLines().back(), "Almanac download complete.");
    EXPECT_EQ(MemoLines().size(), 71);
    ExpectMonitorResumed();

    // Into a receiver that lacks the almanac of SV 5: it takes every block.
    SimOptions lacking;
    lacking.withoutAlmanac = {5};
    ReceiverSimulator target{lacking};
    AttachSimulator(*port, target);
    Form_Alm->FormClose();
    ui.fileNames.push_back(Path("alm.dat"));
    RunAlmanacUpload(); // without the menu's health request, whose answer the ticks may show
    const QStringList lines = MemoLines();
    EXPECT_EQ(lines.count("   Data block acknowledged"), 35);
    EXPECT_EQ(lines.back(), "System data load complete.");
    EXPECT_EQ(DirectAnswer(target, 2, 5), DirectAnswer(reference, 2, 5));
    ExpectMonitorResumed();
}

TEST_F(SimTransfer, SatelliteWithoutAlmanacEndsTheDownload)
{
    SimOptions o;
    o.withoutAlmanac = {1};
    ReceiverSimulator sim{o};
    AttachSimulator(*port, sim);
    ui.fileNames.push_back(Path("alm.dat"));
    Form_Main->InitializeDownloadClick();
    const QStringList lines = MemoLines();
    ASSERT_EQ(lines.size(), 5);
    EXPECT_EQ(lines[2], "SV 1 almanac requested...");
    EXPECT_EQ(lines[3], "Data not available!");
    EXPECT_EQ(ReadFile("alm.dat").size(), 2u + 4u + DirectAnswer(sim, 3, 0).size());
    ExpectMonitorResumed();
}
