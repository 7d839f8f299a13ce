// The time index beside a recording and playing a recording by it: the
// format read back, a torn or cut index, appending, and recordings without
// an index paced by their own fix times.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "model/formats/time_index.h"
#include "model/replay/recording_timeline.h"
#include "support/captures.h"
#include "support/replay_playback.h"
#include "support/scripted_receiver.h"
#include "support/temp_dir.h"

namespace {

constexpr int64_t kSecondNs = 1000000000;
constexpr int64_t kStartNs = 1760000000LL * kSecondNs;

void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes, size_t count)
{
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                static_cast<std::streamsize>(count));
}

// Plays as fast as possible to the end and returns what the port received.
std::vector<uint8_t> PlayWhole(const std::string& recording)
{
    VirtualPlayback playback({recording});
    playback.Player().SetSpeed(kAsFastAsPossible);
    playback.Player().Play();
    for (int i = 0; i < 100000 && !playback.Player().Finished(); ++i)
        playback.Run(VirtualPlayback::kTickNs);
    playback.ReadAll();
    return playback.bytes.empty() ? std::vector<uint8_t>{} : playback.bytes[0];
}

TEST(TimeIndex, ReadsBackWhatTheRecorderWroteAndFindsTimesByBinarySearch)
{
    TempDir dir;
    const std::string path = dir.file("a.zlk");
    const auto packets = ScriptPackets({.seconds = 20, .silenceFrom = 5, .silenceSeconds = 3});
    WriteIndexedRecording(path, packets, kStartNs);

    TimeIndexReader index;
    ASSERT_TRUE(index.Open(TimeIndexPath(path), std::filesystem::file_size(path)));
    EXPECT_EQ(index.Header().port, 3);
    EXPECT_EQ(index.Header().device, "/dev/ttyUSB0");
    ASSERT_EQ(index.Count(), packets.size());
    uint64_t offset = 0;
    for (size_t i = 0; i < packets.size(); ++i) {
        EXPECT_EQ(index.At(i), (TimeIndexRecord{offset, kStartNs + packets[i].atNs})) << i;
        offset += FramesOf({packets[i]}).size();
    }
    // The first packet after the silence (seconds 5 and 6), by time; one past the last when beyond.
    EXPECT_EQ(index.FirstAtOrAfter(kStartNs + 5 * kSecondNs), 15u);
    EXPECT_EQ(index.At(15).utcNs, kStartNs + 7 * kSecondNs);
    EXPECT_EQ(index.FirstAfter(kStartNs + 4 * kSecondNs), 13u);
    EXPECT_EQ(index.FirstAtOrAfter(kStartNs + 100 * kSecondNs), packets.size());

    // A recording cut back behind its index: a record of a frame no longer in it does not count.
    const uint64_t lastFrame = offset - FramesOf({packets.back()}).size();
    std::filesystem::resize_file(path, lastFrame);
    ASSERT_TRUE(index.Open(TimeIndexPath(path), lastFrame));
    EXPECT_EQ(index.Count(), packets.size() - 1);
}

TEST(TimeIndex, AnIndexCutAtAnyBytePlaysTheWholeRecording)
{
    TempDir dir;
    const std::string path = dir.file("cut.zlk");
    const auto packets = ScriptPackets({.seconds = 6, .silenceFrom = 2, .silenceSeconds = 3});
    WriteIndexedRecording(path, packets, kStartNs);
    const std::vector<uint8_t> recording = ReadFileBytes(path);
    const std::vector<uint8_t> index = ReadFileBytes(TimeIndexPath(path));
    ASSERT_EQ(index.size(), kTimeIndexHeaderBytes + packets.size() * kTimeIndexRecordBytes);

    for (size_t cut = 0; cut <= index.size(); ++cut) {
        WriteBytes(TimeIndexPath(path), index, cut);
        RecordingTimeline timeline;
        ASSERT_TRUE(timeline.Open(path, nullptr));
        // A header and one whole record make an index; less is paced by fix times.
        EXPECT_EQ(timeline.Indexed(), cut >= kTimeIndexHeaderBytes + kTimeIndexRecordBytes) << cut;
        timeline.Close();
        ASSERT_EQ(PlayWhole(path), recording) << "index cut at " << cut;
    }
}

TEST(TimeIndex, AppendingKeepsTheWholeRecordsAndDropsATornTail)
{
    TempDir dir;
    const std::string path = dir.file("append.idx");
    TimeIndexWriter writer;
    ASSERT_TRUE(writer.Open(path, false, {kTimeIndexVersion, 2, "tcp://host:4001"}, 0));
    writer.Add(0, 50);
    writer.Add(10, 40); // a clock stepped back: the time stays where it was
    writer.Close();
    std::filesystem::resize_file(path, std::filesystem::file_size(path) - 3);

    ASSERT_TRUE(writer.Open(path, true, {kTimeIndexVersion, 9, "other"}, 20));
    writer.Add(20, 70);
    writer.Close();

    TimeIndexReader reader;
    ASSERT_TRUE(reader.Open(path, 30));
    EXPECT_EQ(reader.Header().port, 2); // the index's own header is kept
    ASSERT_EQ(reader.Count(), 2u);
    EXPECT_EQ(reader.At(0), (TimeIndexRecord{0, 50}));
    EXPECT_EQ(reader.At(1), (TimeIndexRecord{20, 70}));

    // Not an index (or another version): started afresh, never appended to.
    WriteFileText(path, std::string(200, 'x'));
    ASSERT_TRUE(writer.Open(path, true, {kTimeIndexVersion, 4, ""}, 0));
    writer.Close();
    EXPECT_EQ(std::filesystem::file_size(path), kTimeIndexHeaderBytes);
}

TEST(TimeIndex, WithoutAnIndexFixTimesPaceTheRecordingAndKeepItsGap)
{
    TempDir dir;
    const std::string path = dir.file("plain.zlk");
    const auto packets = ScriptPackets({});
    const std::vector<uint8_t> frames = FramesOf(packets);
    WriteBytes(path, frames, frames.size());

    VirtualPlayback playback({path});
    playback.Player().Play();
    playback.Run(70 * kSecondNs);
    std::vector<int64_t> fixes;
    for (const Arrival& a : playback.arrivals)
        if (a.id == 0x4A)
            fixes.push_back(a.atNs);
    ASSERT_EQ(fixes.size(), 51u);
    EXPECT_EQ(playback.bytes[0], frames);
    // Fix 24 is the last before the silence, 34 the first after it.
    for (size_t i = 1; i < fixes.size(); ++i)
        EXPECT_NEAR(static_cast<double>(fixes[i] - fixes[i - 1]) / 1e9, i == 25 ? 10.0 : 1.0, 0.2) << i;
}

TEST(TimeIndex, EveryCaptureWithoutAnIndexPlaysWhole)
{
    TempDir dir;
    for (const std::string& name : CaptureNames()) {
        const std::vector<uint8_t> capture = ReadCapture(name);
        const std::string path = dir.file(name);
        WriteBytes(path, capture, capture.size());
        EXPECT_EQ(PlayWhole(path), capture) << name;
    }
}

} // namespace
