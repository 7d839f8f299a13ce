// The ephemeris download, and the uploads of both kinds fed with crafted
// files: what is loaded, and every line the status window shows.
#include "monitor/monitor.h"
#include "transfer_fixture.h"

namespace {

class EphemerisTransfer : public TransferTest {};

// The loads a receiver was sent, as (type, SV, data) triples.
struct Load {
    uint8_t type;
    uint8_t sv;
    Bytes data;
    bool operator==(const Load&) const = default;
};

std::vector<Load> LoadsOf(const std::vector<Command>& commands)
{
    std::vector<Load> out;
    for (const Command& c : commands)
        if (c.kind == CommandKind::LoadSystemData)
            out.push_back({c.systemData.dataType, c.systemData.sv,
                           Bytes(c.systemData.data.begin(), c.systemData.data.begin() + c.systemData.dataLength)});
    return out;
}

Bytes Concat(std::initializer_list<Bytes> parts)
{
    Bytes out;
    for (const Bytes& p : parts)
        out.insert(out.end(), p.begin(), p.end());
    return out;
}

} // namespace

TEST_F(EphemerisTransfer, DownloadOf32SatellitesWritesTheirBlocksWithoutHeader)
{
    Bytes expected;
    for (uint8_t sv = 1; sv <= 32; ++sv) {
        peer.blocks[{6, sv}] = TestBlockData(6, sv, 165);
        const Bytes b = FileBlock(6, sv, peer.blocks[{6, sv}]);
        expected.insert(expected.end(), b.begin(), b.end());
    }
    ui.fileNames.push_back(Path("eph.dat"));
    Form_Main->DownloadEphemerisClick();

    EXPECT_EQ(ReadFile("eph.dat"), expected);
    const QStringList lines = MemoLines();
    ASSERT_EQ(lines.size(), 65);
    EXPECT_EQ(lines[0], "SV 1 ephemeris requested...");
    EXPECT_EQ(lines[1], "   received, length = 165");
    EXPECT_EQ(lines[62], "SV 32 ephemeris requested...");
    EXPECT_EQ(lines[64], "Ephemeris download complete.");
    ExpectMonitorResumed();
}

TEST_F(EphemerisTransfer, ReceiverWithoutEphemerisForSv1GivesAnEmptyFile)
{
    peer.blocks[{6, 2}] = TestBlockData(6, 2, 165);
    WriteFile("eph.dat", {1, 2, 3}); // an existing file is emptied
    ui.fileNames.push_back(Path("eph.dat"));
    Form_Main->DownloadEphemerisClick();

    EXPECT_TRUE(ReadFile("eph.dat").empty());
    EXPECT_EQ(MemoLines(),
              (QStringList{"SV 1 ephemeris requested...", "Data not available!", "Ephemeris download complete."}));
    ExpectMonitorResumed();
}

TEST_F(EphemerisTransfer, FileThatCannotBeOpenedIsReported)
{
    ui.fileNames.push_back(Path("missing.dat"));
    Form_Main->InitializeEphemerisClick();
    ui.fileNames.push_back(Path("missing-dir/eph.dat"));
    Form_Main->DownloadEphemerisClick();
    EXPECT_EQ(MemoLines(), (QStringList{"Couldn't open ephemeris data file!",
                                        Path("missing.dat") + ": No such file or directory",
                                        "Couldn't open ephemeris data file!",
                                        Path("missing-dir/eph.dat") + ": No such file or directory"}));
    EXPECT_TRUE(peer.commands.empty()); // no health request after an ephemeris upload either
    ExpectMonitorResumed();
}

struct UploadCase {
    const char* what;
    bool almanac; // almanac upload command, else ephemeris upload
    Bytes file;
    QStringList lines;
    std::vector<Load> loads;
};

TEST_F(EphemerisTransfer, UploadsOfCraftedFiles)
{
    const Bytes a = TestBlockData(2, 2, 24);
    const Bytes e = TestBlockData(6, 5, 165);
    const Bytes eBlock = FileBlock(6, 5, e);
    const Bytes dles(255, 0x10); // a load whose frame is over 512 bytes
    const char* const ack = "   Data block acknowledged";
    const std::vector<UploadCase> cases = {
        {"no block start", true, {0x00, 0x00, 0x81, 0x05, 0x83}, {"System data load complete."}, {}},
        {"garbage before and between blocks", true,
         Concat({{0x00, 0x00, 0x17}, FileBlock(2, 2, a), {0x83, 0x00, 0x99}, FileBlock(4, 0, {0x44})}),
         {"Almanac data for SV 02...", ack, "Ionosphere data... ", ack, "System data load complete."},
         {{2, 2, a}, {4, 0, {0x44}}}},
        {"type 1 block", true, FileBlock(1, 4, a), {"Almanac raw for SV 04...", ack, "System data load complete."},
         {{1, 4, a}}},
        {"L = 0", true, FileBlock(5, 0, {}), {"UTC time correction data... ", ack, "System data load complete."},
         {{5, 0, {}}}},
        {"type 6 in an almanac upload", true, Concat({FileBlock(3, 0, {1}), FileBlock(6, 5, e), FileBlock(4, 0, {})}),
         {"Almanac health page, t_oa, wn_oa... ", ack, "Unknown data block type! ", "System data load complete."},
         {{3, 0, {1}}}},
        {"almanac file to the ephemeris upload", false, Concat({{0x00, 0x00}, FileBlock(3, 0, {1})}),
         {"Unknown data block type! ", "Ephemeris data load complete."}, {}},
        {"bad end byte", true, {0x82, 0x02, 0x02, 0x01, 0x55, 0x82, 0x04, 0x00, 0x83},
         {"Almanac data for SV 02...", "End of block format error! ", "System data load complete."}, {}},
        {"SV 0", false, {0x82, 0x06, 0x00, 0x00, 0x83}, {"Ephemeris data load complete."}, {}},
        {"truncated data", false, Bytes(eBlock.begin(), eBlock.end() - 40),
         {"Ephemeris data for SV 05...", "Ephemeris data load complete."}, {}},
        {"truncated before the end byte", false, Concat({FileBlock(6, 7, {}), {0x82, 0x06, 0x05, 0x01, 0x77}}),
         {"Ephemeris data for SV 07...", ack, "Ephemeris data for SV 05...", "Ephemeris data load complete."},
         {{6, 7, {}}}},
        {"ephemeris L = 0 and stuffed 255 bytes", false, Concat({FileBlock(6, 1, {}), FileBlock(6, 32, dles)}),
         {"Ephemeris data for SV 01...", ack, "Ephemeris data for SV 32...", ack, "Ephemeris data load complete."},
         {{6, 1, {}}, {6, 32, dles}}},
    };
    for (const UploadCase& c : cases) {
        SCOPED_TRACE(c.what);
        peer.commands.clear();
        Form_Alm->FormClose();
        WriteFile("up.dat", c.file);
        ui.fileNames.push_back(Path("up.dat"));
        if (c.almanac)
            Form_Main->InitializeUploadClick();
        else
            Form_Main->InitializeEphemerisClick();
        EXPECT_EQ(MemoLines(), c.lines);
        EXPECT_EQ(LoadsOf(peer.commands), c.loads);
        EXPECT_TRUE(Monitor::Instance().IsRunning());
    }
    EXPECT_EQ(elapsed.count(), 0); // every load was answered at once
    ExpectMonitorResumed();
}

TEST_F(EphemerisTransfer, RejectedAndUnansweredBlocksDoNotStopTheUpload)
{
    const Bytes file = Concat({FileBlock(6, 1, {1}), FileBlock(6, 2, {2}), FileBlock(6, 3, {3})});
    WriteFile("eph.dat", file);
    peer.loadAnswer = 4;
    ui.fileNames.push_back(Path("eph.dat"));
    Form_Main->InitializeEphemerisClick();
    EXPECT_EQ(MemoLines(), (QStringList{"Ephemeris data for SV 01...", "   Data block rejected",
                                        "Ephemeris data for SV 02...", "   Data block rejected",
                                        "Ephemeris data for SV 03...", "   Data block rejected",
                                        "Ephemeris data load complete."}));

    // An acknowledged block, then one the receiver leaves unanswered: the
    // earlier answer must not make the second look acknowledged.
    Form_Alm->FormClose();
    peer.loadAnswer = 1;
    peer.silent.insert({6, 2});
    ui.fileNames.push_back(Path("eph.dat"));
    Form_Main->InitializeEphemerisClick();
    EXPECT_EQ(MemoLines(), (QStringList{"Ephemeris data for SV 01...", "   Data block acknowledged",
                                        "Ephemeris data for SV 02...", "   No reply to data block",
                                        "Ephemeris data for SV 03...", "   Data block acknowledged",
                                        "Ephemeris data load complete."}));
    EXPECT_EQ(LoadsOf(peer.commands).size(), 6u);
    ExpectMonitorResumed();
}

TEST_F(EphemerisTransfer, AHalfReadReportIsNotDispatchedAfterTheTransfer)
{
    // SV 1 never answers; instead the first half of a position report
    // arrives and is parsed by the wait.
    const Bytes report = Frame({0x4A, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20});
    peer.silent.insert({6, 1});
    peer.before = [&](const Command&) { return Bytes(report.begin(), report.begin() + 10); };
    ui.fileNames.push_back(Path("eph.dat"));
    Form_Main->DownloadEphemerisClick();
    ASSERT_EQ(MemoLines().size(), 3);

    Feed(*port, Bytes(report.begin() + 10, report.end()));
    ExpectMonitorResumed();
}
