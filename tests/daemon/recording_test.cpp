// Recordings without a window: real receiver traffic goes into hourly files
// named by port and UTC start, framed as the desktop recorder frames it; old
// files go after keep_days; a file that cannot be written raises one alarm
// for its port while the other ports record on.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "daemon/daemon.h"
#include "model/formats/raw_record.h"
#include "platform/port_enumeration.h"
#include "support/captures.h"
#include "support/file_size_limit.h"
#include "support/parsed_packets.h"
#include "support/temp_dir.h"

namespace {

constexpr int64_t kDecember9At1259 = 1796821140; // 2026-12-09 12:59:00 UTC

std::vector<std::string> FileNames(const std::string& dir)
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

DaemonConfig RecordingConfig(const std::string& dir)
{
    DaemonConfig config;
    config.recording.directory = dir;
    config.recording.keepDays = 30;
    return config;
}

} // namespace

TEST(Recording, HourlyFilesHoldEveryPacketFramedAsOnTheLine)
{
    TempDir dir;
    const std::vector<ParsedPacket> packets = ParseAllPackets(ReadCapture("receiver-a.bin"));
    ASSERT_GT(packets.size(), 100u);
    // Left from earlier runs: one file past keep_days, one within, another port's, someone else's.
    const std::string old = RotatingRecorder::NameOf("COM1", kDecember9At1259 - 31 * 86400 - 3600);
    const std::string recent = RotatingRecorder::NameOf("COM1", kDecember9At1259 - 29 * 86400);
    const std::string otherPort = RotatingRecorder::NameOf("COM2", kDecember9At1259 - 40 * 86400);
    for (const std::string& name : {old, recent, otherPort, std::string("notes.txt")})
        WriteFileText(dir.file(name), "x");

    int64_t utc = kDecember9At1259;
    std::ostringstream journal;
    {
        Daemon daemon(RecordingConfig(dir.path()), {[] { return 0.0; }, [&utc] { return utc; }}, journal);
        // Half the packets before 13:00, half after.
        for (size_t i = 0; i < packets.size(); ++i) {
            utc = kDecember9At1259 + static_cast<int64_t>(i * 120 / packets.size());
            daemon.OnPacket(0, packets[i].id, packets[i].data.data(), static_cast<uint32_t>(packets[i].data.size()));
        }
    } // the daemon closes its files as it goes
    EXPECT_EQ(journal.str(), "");
    EXPECT_EQ(FileNames(dir.path()), (std::vector<std::string>{recent, "COM1_20261209T120000Z.zlk", "COM1_20261209T130000Z.zlk",
                                                               otherPort, "notes.txt"}));
    std::vector<uint8_t> expected;
    for (const ParsedPacket& p : packets)
        AppendRawFrame(static_cast<uint8_t>(p.id), p.data.data(), static_cast<uint32_t>(p.data.size()), expected);
    std::vector<uint8_t> recorded = ReadFileBytes(dir.file("COM1_20261209T120000Z.zlk"));
    const std::vector<uint8_t> second = ReadFileBytes(dir.file("COM1_20261209T130000Z.zlk"));
    EXPECT_GT(recorded.size(), expected.size() / 4);
    EXPECT_GT(second.size(), expected.size() / 4);
    recorded.insert(recorded.end(), second.begin(), second.end());
    EXPECT_EQ(recorded, expected);
    EXPECT_EQ(ParseAllPackets(recorded), packets);
}

TEST(Recording, AFileThatCannotBeWrittenRaisesOneAlarmAndTheOtherPortsGoOn)
{
    TempDir dir;
    ClearComMapping();
    SetComDevice(1, "/dev/big-talker");
    SetComDevice(2, "/dev/small-talker");
    std::ostringstream journal;
    Daemon daemon(RecordingConfig(dir.path()), {[] { return 0.0; }, [] { return kDecember9At1259; }}, journal);
    const std::vector<uint8_t> big(500, 0x20), small(4, 0x21);
    {
        FileSizeLimit limit(4096); // as a full disk: writes past it fall short
        for (int i = 0; i < 40; ++i) {
            daemon.OnPacket(0, 0x58, big.data(), static_cast<uint32_t>(big.size()));
            daemon.OnPacket(1, 0x46, small.data(), static_cast<uint32_t>(small.size()));
        }
    }
    const std::string text = journal.str();
    EXPECT_EQ(text.rfind("<4>COM1 (/dev/big-talker): alarm recording_failed raised: cannot write " + dir.path() +
                             "/COM1_20261209T120000Z.zlk: ",
                         0),
              0u)
        << text;
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 1);
    // Whole frames only in the full file; every frame in the other.
    EXPECT_EQ(ReadFileBytes(dir.file("COM1_20261209T120000Z.zlk")).size() % 504, 0u);
    EXPECT_EQ(ReadFileBytes(dir.file("COM2_20261209T120000Z.zlk")).size(), 40u * 8u);
    const std::vector<PortMetrics> metrics = daemon.CurrentMetrics();
    EXPECT_TRUE(metrics[0].alarms[static_cast<size_t>(AlarmKind::RecordingFailed)].active);
    EXPECT_FALSE(metrics[1].alarms[static_cast<size_t>(AlarmKind::RecordingFailed)].active);
    // Room again: the next write clears it.
    daemon.OnPacket(0, 0x58, big.data(), static_cast<uint32_t>(big.size()));
    EXPECT_NE(journal.str().find("<5>COM1 (/dev/big-talker): alarm recording_failed cleared"), std::string::npos);
    ClearComMapping();
}
