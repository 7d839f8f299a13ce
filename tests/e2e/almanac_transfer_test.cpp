// The almanac download and upload driven through the main window's menu
// commands against a scripted receiver: file bytes, memo lines, commands.
#include "monitor/monitor.h"
#include "transfer_fixture.h"

#include "link/framing.h"
#include "support/main_ui.h"

namespace {

class AlmanacTransfer : public TransferTest {
protected:
    void GiveFullAlmanac()
    {
        for (const TypeSv& k : AlmanacOrder())
            peer.blocks[k] = TestBlockData(k.first, k.second, TestLength(k.first));
    }

    Bytes FullAlmanacFile() const
    {
        Bytes file = {0x00, 0x00};
        for (const TypeSv& k : AlmanacOrder()) {
            const Bytes b = FileBlock(k.first, k.second, peer.blocks.at(k));
            file.insert(file.end(), b.begin(), b.end());
        }
        return file;
    }
};

// A position report, hand framed, that the receiver slips in front of each
// reply: the wait reads it, and it must never reach the display.
Bytes PositionReport()
{
    return Frame({0x4A, 0x3F, 0x80, 0, 0, 0x3F, 0x80, 0, 0, 0x42, 0x00, 0, 0, 0, 0, 0, 0, 0x47, 0x00, 0, 0});
}

} // namespace

TEST_F(AlmanacTransfer, FullDownloadWritesTwoZeroBytesAnd35BlocksInOrder)
{
    GiveFullAlmanac();
    peer.before = [this](const Command&) {
        timerRanDuringTransfer |= Monitor::Instance().IsRunning();
        return PositionReport();
    };
    ui.fileNames.push_back(Path("alm.dat"));
    Form_Main->InitializeDownloadClick();

    ASSERT_EQ(ui.fileRequests.size(), 1u);
    EXPECT_EQ(ui.fileRequests[0].filter, "Data Files (*.dat)|*.dat|All Files (*.*)|*.*");
    EXPECT_EQ(ui.fileRequests[0].defaultExtension, "dat");
    EXPECT_EQ(ui.fileRequests[0].initialName, " ");
    EXPECT_EQ(ReadFile("alm.dat"), FullAlmanacFile());

    const auto requests = CommandsOf(CommandKind::RequestSystemData);
    ASSERT_EQ(requests.size(), 35u);
    for (size_t i = 0; i < requests.size(); ++i) {
        EXPECT_EQ(requests[i].systemData.dataType, AlmanacOrder()[i].first) << i;
        EXPECT_EQ(requests[i].systemData.sv, AlmanacOrder()[i].second) << i;
    }

    const QStringList lines = MemoLines();
    ASSERT_EQ(lines.size(), 71);
    EXPECT_EQ(lines[0], "Almanac health page, t_oa, wn_oa requested...");
    EXPECT_EQ(lines[1], "   received, length = 5");
    EXPECT_EQ(lines[2], "SV 1 almanac requested...");
    EXPECT_EQ(lines[3], "   received, length = 24");
    EXPECT_EQ(lines[64], "SV 32 almanac requested...");
    EXPECT_EQ(lines[66], "Ionospheric data requested...");
    EXPECT_EQ(lines[67], "   received, length = 8");
    EXPECT_EQ(lines[68], "UTC time data requested...");
    EXPECT_EQ(lines[69], "   received, length = 13");
    EXPECT_EQ(lines[70], "Almanac download complete.");
    EXPECT_TRUE(Form_Alm->isVisible());
    EXPECT_TRUE(MainShape("Shape_RxLED")->isLit());
    ExpectMonitorResumed();
}

TEST_F(AlmanacTransfer, UploadOfADownloadedFileIsAcknowledgedBlockByBlock)
{
    GiveFullAlmanac();
    WriteFile("alm.dat", FullAlmanacFile());
    ui.fileNames.push_back(Path("alm.dat"));
    Form_Main->InitializeUploadClick();

    const auto loads = CommandsOf(CommandKind::LoadSystemData);
    ASSERT_EQ(loads.size(), 35u);
    for (size_t i = 0; i < loads.size(); ++i) {
        const TypeSv k = AlmanacOrder()[i];
        const SystemDataCommand& d = loads[i].systemData;
        EXPECT_EQ(d.dataType, k.first) << i;
        EXPECT_EQ(d.sv, k.second) << i;
        EXPECT_EQ(Bytes(d.data.begin(), d.data.begin() + d.dataLength), peer.blocks.at(k)) << i;
    }
    // The health request follows the upload.
    ASSERT_FALSE(peer.commands.empty());
    EXPECT_EQ(peer.commands.back().kind, CommandKind::RequestHealth);

    const QStringList lines = MemoLines();
    ASSERT_EQ(lines.size(), 71);
    EXPECT_EQ(lines[0], "Almanac health page, t_oa, wn_oa... ");
    EXPECT_EQ(lines[2], "Almanac data for SV 01...");
    EXPECT_EQ(lines[64], "Almanac data for SV 32...");
    EXPECT_EQ(lines[66], "Ionosphere data... ");
    EXPECT_EQ(lines[68], "UTC time correction data... ");
    for (int i = 1; i < 70; i += 2)
        EXPECT_EQ(lines[i], "   Data block acknowledged") << i;
    EXPECT_EQ(lines[70], "System data load complete.");
    ExpectMonitorResumed();
}

TEST_F(AlmanacTransfer, ReceiverWithoutAlmanacForSv1KeepsOnlyTheHealthBlock)
{
    GiveFullAlmanac();
    peer.blocks.erase({2, 1});
    ui.fileNames.push_back(Path("alm.dat"));
    Form_Main->InitializeDownloadClick();

    Bytes expected = {0x00, 0x00};
    const Bytes health = FileBlock(3, 0, peer.blocks.at({3, 0}));
    expected.insert(expected.end(), health.begin(), health.end());
    EXPECT_EQ(ReadFile("alm.dat"), expected);
    EXPECT_EQ(MemoLines(), (QStringList{"Almanac health page, t_oa, wn_oa requested...", "   received, length = 5",
                                        "SV 1 almanac requested...", "Data not available!",
                                        "Almanac download complete."}));
    EXPECT_EQ(CommandsOf(CommandKind::RequestSystemData).size(), 2u);
    ExpectMonitorResumed();
}

TEST_F(AlmanacTransfer, SilentReceiverEndsTheDownloadAfterTheTimeBound)
{
    GiveFullAlmanac();
    peer.silent.insert({2, 3});
    ui.fileNames.push_back(Path("alm.dat"));
    Form_Main->InitializeDownloadClick();

    const QStringList lines = MemoLines();
    ASSERT_EQ(lines.size(), 9);
    EXPECT_EQ(lines[6], "SV 3 almanac requested...");
    EXPECT_EQ(lines[7], "Data not available!");
    EXPECT_EQ(lines[8], "Almanac download complete.");
    // Only the silent request waited, for two seconds, polling every few ms.
    EXPECT_GE(elapsed, std::chrono::milliseconds(2000));
    EXPECT_LT(elapsed, std::chrono::milliseconds(2100));
    EXPECT_GE(pauses, 100);
    ExpectMonitorResumed();
}

TEST_F(AlmanacTransfer, CancelledDialogsSendNothingButTheHealthRequest)
{
    Form_Main->InitializeDownloadClick();
    EXPECT_TRUE(peer.commands.empty());
    Form_Main->InitializeUploadClick();
    ASSERT_EQ(peer.commands.size(), 1u);
    EXPECT_EQ(peer.commands[0].kind, CommandKind::RequestHealth);
    EXPECT_EQ(ui.fileRequests.size(), 2u);
    EXPECT_FALSE(Form_Alm->isVisible());
    EXPECT_FALSE(Monitor::Instance().IsRunning()); // untouched: no transfer ran
}

// A download saves: an existing file is replaced only after a Yes (No, the
// default, offers the dialog again); an upload opens and asks nothing.
TEST_F(AlmanacTransfer, DownloadAsksBeforeReplacingAFile)
{
    GiveFullAlmanac();
    WriteFile("alm.dat", {1, 2, 3});
    ui.fileNames = {Path("alm.dat")}; // then the second dialog is cancelled
    ui.answers = {ui::Answer::No};
    Form_Main->InitializeDownloadClick();
    ASSERT_EQ(ui.fileRequests.size(), 2u);
    EXPECT_EQ(ui.fileRequests[0].mode, ui::FileMode::Save);
    EXPECT_EQ(ui.fileRequests[1].initialName, Path("alm.dat"));
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].title, "Replace File?");
    EXPECT_EQ(ui.boxes[0].text, "The file\n" + Path("alm.dat") + "\nalready exists. Replace it?");
    EXPECT_EQ(ui.boxes[0].defaultButton, ui::Answer::No);
    EXPECT_EQ(ReadFile("alm.dat"), (Bytes{1, 2, 3}));
    EXPECT_TRUE(CommandsOf(CommandKind::RequestSystemData).empty());

    ui.fileNames = {Path("alm.dat")};
    ui.answers = {ui::Answer::Yes};
    Form_Main->InitializeDownloadClick();
    EXPECT_EQ(ReadFile("alm.dat"), FullAlmanacFile());
    ui.fileNames = {Path("alm.dat")};
    Form_Main->InitializeUploadClick();
    EXPECT_EQ(ui.fileRequests.back().mode, ui::FileMode::Open);
    EXPECT_EQ(ui.boxes.size(), 2u);
    ExpectMonitorResumed();
}

TEST_F(AlmanacTransfer, FileThatCannotBeOpenedIsReportedAndNoDataCommandSent)
{
    ui.fileNames.push_back(Path("missing-dir/alm.dat"));
    Form_Main->InitializeDownloadClick();
    ui.fileNames.push_back(Path("missing.dat"));
    Form_Main->InitializeUploadClick();

    EXPECT_EQ(MemoLines(), (QStringList{"Couldn't open almanac data file!",
                                        Path("missing-dir/alm.dat") + ": No such file or directory",
                                        "Couldn't open almanac data file!",
                                        Path("missing.dat") + ": No such file or directory"}));
    EXPECT_TRUE(CommandsOf(CommandKind::RequestSystemData).empty());
    EXPECT_TRUE(CommandsOf(CommandKind::LoadSystemData).empty());
    ExpectMonitorResumed();
}

TEST_F(AlmanacTransfer, ClosingTheStatusWindowMidTransferClearsItAndTheTransferGoesOn)
{
    GiveFullAlmanac();
    // Each reply arrives one poll late, so every wait passes time.
    peer.deferReplies = true;
    onPause = [this] {
        peer.Release(*port);
        if (pauses == 10) // while SV 9 is awaited
            Form_Alm->close();
    };
    ui.fileNames.push_back(Path("alm.dat"));
    Form_Main->InitializeDownloadClick();

    EXPECT_EQ(pauses, 35);
    EXPECT_FALSE(Form_Alm->isVisible());
    EXPECT_EQ(ReadFile("alm.dat"), FullAlmanacFile());
    const QStringList lines = MemoLines();
    ASSERT_EQ(lines.size(), 1 + 2 * 25 + 1);
    EXPECT_EQ(lines[0], "   received, length = 24");
    EXPECT_EQ(lines[1], "SV 10 almanac requested...");
    EXPECT_EQ(lines.back(), "Almanac download complete.");
    ExpectMonitorResumed();
}

TEST_F(AlmanacTransfer, NoSecondTransferStartsWhileOneRuns)
{
    GiveFullAlmanac();
    peer.deferReplies = true;
    onPause = [this] {
        peer.Release(*port);
        if (pauses == 3) {
            Form_Main->InitializeDownloadClick();
            Form_Main->DownloadEphemerisClick();
            Form_Main->InitializeEphemerisClick();
        }
    };
    ui.fileNames.push_back(Path("alm.dat"));
    ui.fileNames.push_back(Path("other.dat"));
    Form_Main->InitializeDownloadClick();
    EXPECT_EQ(ui.fileRequests.size(), 1u);
    EXPECT_EQ(ReadFile("alm.dat"), FullAlmanacFile());
    EXPECT_EQ(CommandsOf(CommandKind::RequestSystemData).size(), 35u);
    ExpectMonitorResumed();
}
