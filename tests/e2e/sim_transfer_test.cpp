// The almanac round trip against the simulated receiver: its once-a-second
// reports stream in between the replies, as on a real line.
#include "transfer_fixture.h"

#include <QFile>
#include <deque>
#include <memory>

#include "sim/receiver_simulator.h"
#include "transfer/almanac_transfer.h"
#include "support/ui_find.h"

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

// A receiver that has run long enough to hold every satellite's ephemeris.
ReceiverSimulator& SettledReceiver()
{
    static const std::unique_ptr<ReceiverSimulator> sim = [] {
        auto s = std::make_unique<ReceiverSimulator>(SimOptions{});
        s->Advance(600.0);
        s->TakeOutput();
        return s;
    }();
    return *sim;
}

// A receiver behind a slow line: one position report a second, the answer to
// each request as soon as it arrives, and every byte paced at the line's rate
// (11 bits a byte) on the transfer's virtual clock.
class SlowLine {
public:
    SlowLine(FakeSerial::State& port, int baud) : port_(port), bytesPerMs_(baud / 11.0 / 1000.0)
    {
        port.responder = [this](FakeSerial::State&, const uint8_t* bytes, size_t count) {
            FrameScanner scanner;
            scanner.Feed(bytes, count, [this](const ScannedPacket& p) {
                if (p.id == 0x38 && p.length >= 3 && p.data[0] == 0x01)
                    Send(Answer(p.data[1], p.data[2]));
            });
        };
    }

    // Lets ms of line time pass.
    void Pass(std::chrono::milliseconds ms)
    {
        for (auto i = ms.count(); i > 0; --i) {
            if (++clockMs_ % 1000 == 0)
                Send(Frame(Bytes(21, 0x4A)));
            budget_ += bytesPerMs_;
            for (; budget_ >= 1.0 && !line_.empty(); budget_ -= 1.0) {
                port_.input.push_back(line_.front());
                line_.pop_front();
            }
            if (line_.empty())
                budget_ = std::min(budget_, 1.0);
        }
    }

private:
    void Send(const Bytes& frame) { line_.insert(line_.end(), frame.begin(), frame.end()); }
    Bytes Answer(uint8_t type, uint8_t sv) { return Frame(SystemDataReply(type, sv)); }
    static Bytes SystemDataReply(uint8_t type, uint8_t sv)
    {
        Bytes m = {0x58, 0x02, type, sv, 0};
        const Bytes data = DirectAnswer(SettledReceiver(), type, sv);
        m[4] = static_cast<uint8_t>(data.size());
        m.insert(m.end(), data.begin(), data.end());
        return m;
    }
    FakeSerial::State& port_;
    double bytesPerMs_;
    double budget_ = 0.0;
    long long clockMs_ = 0;
    std::deque<uint8_t> line_;
};

} // namespace

// The reply wait grows with the line: at 600 and 1200 bit/s, with a report
// a second sharing the line, every ephemeris block arrives.
TEST_F(SimTransfer, EphemerisDownloadOnSlowLinesGetsEveryBlock)
{
    for (const auto& [baudCode, baud] : {std::pair{3, 600}, std::pair{4, 1200}}) {
        SCOPED_TRACE(baud);
        PortLineCodes[0].baud = static_cast<uint8_t>(baudCode);
        SlowLine line(*port, baud);
        onPause = [&] { line.Pass(ReplyWait().pollInterval); };
        Ui<QPlainTextEdit>(Form_Alm, "Memo_Alm")->clear();
        QFile::remove(Path("eph.dat")); // a new file each time: no "Replace File?" between
        ui.fileNames.push_back(Path("eph.dat"));
        Form_Main->DownloadEphemerisClick();
        const QStringList lines = MemoLines();
        ASSERT_FALSE(lines.isEmpty());
        EXPECT_FALSE(lines.contains("Data not available!"));
        EXPECT_EQ(lines.back(), "Ephemeris download complete.");
        Bytes expected;
        for (uint8_t sv = 1; sv <= 32; ++sv) {
            const Bytes b = FileBlock(6, sv, DirectAnswer(SettledReceiver(), 6, sv));
            expected.insert(expected.end(), b.begin(), b.end());
        }
        ASSERT_GT(expected.size(), 32u * 100u) << "replies long enough to need more than 2 s at 600 bit/s";
        EXPECT_EQ(ReadFile("eph.dat"), expected);
    }
}

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
