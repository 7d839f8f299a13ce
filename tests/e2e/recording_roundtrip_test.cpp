// A recording of simulated receiver traffic, made on the real tick path, read
// back by the recording decoder (zelk_dump's own code) and by the monitor's
// receive parser: both must give exactly the packets the dispatch handed to
// the recorder, and those must be exactly the whole frames sent on the line.
#include <gtest/gtest.h>

#include <QPushButton>

#include <algorithm>
#include <cstdio>
#include <sstream>

#include "monitor/dispatch.h"
#include "core/main_window.h"
#include "link/shared_flags.h"
#include "logging/form_log_zelk.h"
#include "sim/receiver_simulator.h"
#include "sim/virtual_line.h"
#include "support/monitor_gui.h"
#include "support/parsed_packets.h"
#include "support/temp_dir.h"
#include "support/ui_find.h"
#include "support/ui_script_gui.h"
#include "tools/dump/dump_run.h"

namespace {

constexpr uint8_t kDle = 0x10;
constexpr uint8_t kEtx = 0x03;

// Framing written out here from the line format, so the expected packets do
// not come from the code under test.
std::vector<uint8_t> Stuffed(int id, const std::vector<uint8_t>& data)
{
    std::vector<uint8_t> frame = {kDle, static_cast<uint8_t>(id)};
    for (uint8_t b : data) {
        if (b == kDle)
            frame.push_back(kDle);
        frame.push_back(b);
    }
    frame.push_back(kDle);
    frame.push_back(kEtx);
    return frame;
}

// The whole frames of well-formed line traffic; a frame cut off at the end is
// left out. Anything else than whole frames fails the test.
std::vector<ParsedPacket> WholeFrames(const std::vector<uint8_t>& wire)
{
    std::vector<ParsedPacket> packets;
    size_t i = 0;
    while (i + 1 < wire.size()) {
        if (wire[i] != kDle) {
            ADD_FAILURE() << "byte " << i << " is not a frame start";
            return packets;
        }
        ParsedPacket p{wire[i + 1], {}};
        size_t j = i + 2;
        bool closed = false;
        while (j + 1 < wire.size()) {
            if (wire[j] != kDle) {
                p.data.push_back(wire[j++]);
                continue;
            }
            if (wire[j + 1] == kEtx) {
                closed = true;
                j += 2;
                break;
            }
            EXPECT_EQ(wire[j + 1], kDle) << "lone DLE at " << j;
            p.data.push_back(kDle);
            j += 2;
        }
        if (!closed)
            break;
        packets.push_back(std::move(p));
        i = j;
    }
    return packets;
}

std::string HexOf(const std::vector<uint8_t>& data)
{
    std::string s;
    char two[3];
    for (uint8_t b : data) {
        std::snprintf(two, sizeof two, "%02x", b);
        s += two;
    }
    return s;
}

std::string KeyOf(const ParsedPacket& p)
{
    char key[8];
    if (p.id == 0x8F && !p.data.empty())
        std::snprintf(key, sizeof key, "%02X-%02X", p.id, p.data[0]);
    else
        std::snprintf(key, sizeof key, "%02X", p.id);
    return key;
}

// One field of a JSON Lines object written by the decoder: the text between
// "name": and the next comma or closing brace, quotes removed.
std::string JsonField(const std::string& line, const std::string& name)
{
    const std::string tag = "\"" + name + "\":";
    const size_t at = line.find(tag);
    if (at == std::string::npos)
        return "?";
    size_t from = at + tag.size();
    size_t to = line.find_first_of(",}", from);
    if (line[from] == '"') {
        ++from;
        to = line.find('"', from);
    }
    return line.substr(from, to - from);
}

// Adds frames of its own between the receiver's frames, so they travel the
// paced line like the receiver's traffic.
class SourceWithExtraFrames : public LineSource {
public:
    explicit SourceWithExtraFrames(ReceiverSimulator& receiver) : receiver_(receiver) {}
    void Receive(const uint8_t* bytes, size_t count) override { receiver_.Receive(bytes, count); }
    void Advance(double seconds) override { receiver_.Advance(seconds); }
    std::vector<uint8_t> TakeOutput() override
    {
        std::vector<uint8_t> out = receiver_.TakeOutput();
        out.insert(out.end(), extra_.begin(), extra_.end());
        extra_.clear();
        return out;
    }
    int LineBaud() const override { return receiver_.LineBaud(); }
    void Add(const std::vector<uint8_t>& frame) { extra_.insert(extra_.end(), frame.begin(), frame.end()); }

private:
    ReceiverSimulator& receiver_;
    std::vector<uint8_t> extra_;
};

std::vector<ParsedPacket> g_handedToRecorder;
void (*g_recorder)(int, const uint8_t*, uint32_t) = nullptr;

void ObserveRecorderInput(int id, const uint8_t* data, uint32_t length)
{
    g_handedToRecorder.push_back({id, {data, data + length}});
    g_recorder(id, data, length);
}

class RecordingRoundTrip : public testing::Test {
protected:
    void SetUp() override
    {
        line = StartMonitorOnFake(1);
        ASSERT_NE(line, nullptr);
        line->responder = [this](FakeSerial::State&, const uint8_t* bytes, size_t count) {
            wireLine.Receive(bytes, count);
        };
        g_handedToRecorder.clear();
        ASSERT_NE(RawPacketHook, nullptr);
        g_recorder = RawPacketHook;
        RawPacketHook = &ObserveRecorderInput;
        path = dir.file("traffic.zlk");
        ui.fileNames.push_back(QString::fromStdString(path));
        Form_LogZelk->Button_OpenClick();
    }

    // Ticks of 200 ms on both ends of the line; every byte delivered is kept.
    void Run(int ticks)
    {
        for (int i = 0; i < ticks; ++i) {
            std::vector<uint8_t> arrived;
            wireLine.Run(0.2, line->settings.baud, arrived);
            wire.insert(wire.end(), arrived.begin(), arrived.end());
            Feed(*line, arrived);
            Tick();
        }
    }

    ReceiverSimulator receiver{SimOptions{}};
    SourceWithExtraFrames source{receiver};
    VirtualLine wireLine{source};
    std::shared_ptr<FakeSerial::State> line;
    std::vector<uint8_t> wire;
    ScriptedUi ui;
    TempDir dir;
    std::string path;
};

TEST_F(RecordingRoundTrip, DecoderAndParserGiveBackEveryDispatchedPacket)
{
    Ui<QPushButton>(Form_LogZelk, "Button_Start")->click();
    ASSERT_TRUE(Flags.RawRecordingOn);
    std::vector<uint8_t> big(511);
    for (size_t i = 0; i < big.size(); ++i)
        big[i] = static_cast<uint8_t>(i % 7 == 0 ? kDle : i * 37);
    Run(30);
    source.Add(Stuffed(0x99, {kDle, 0x00, kDle, kDle, kEtx, kDle})); // no decoder has 0x99
    source.Add(Stuffed(0x7E, {}));
    Run(50);
    source.Add(Stuffed(0x58, big));
    source.Add(Stuffed(0x8F, {0x15, kDle, kDle, 0x01}));
    Run(60);
    Ui<QPushButton>(Form_LogZelk, "Button_Stop")->click();

    const std::vector<ParsedPacket> expected = WholeFrames(wire);
    ASSERT_GT(expected.size(), 200u); // 28 s of queries answered and reports sent
    size_t withDle = 0;
    for (const ParsedPacket& p : expected)
        withDle += std::count(p.data.begin(), p.data.end(), kDle) > 0;
    EXPECT_GT(withDle, 4u); // the extra frames and some of the receiver's own
    for (const ParsedPacket& extra : {ParsedPacket{0x99, {kDle, 0x00, kDle, kDle, kEtx, kDle}}, ParsedPacket{0x7E, {}},
                                      ParsedPacket{0x58, big}, ParsedPacket{0x8F, {0x15, kDle, kDle, 0x01}}})
        EXPECT_EQ(std::count(expected.begin(), expected.end(), extra), 1) << KeyOf(extra);
    EXPECT_EQ(g_handedToRecorder, expected);

    const std::vector<uint8_t> file = ReadFileBytes(path);
    EXPECT_EQ(ParseAllPackets(file), expected);

    std::ostringstream json;
    const DumpSummary summary = DumpBuffer(file.data(), file.size(), true, json, true);
    EXPECT_EQ(summary.packets, expected.size());
    EXPECT_EQ(summary.bytesOutsideFrames, 0u);
    EXPECT_EQ(summary.incompleteTailBytes, 0u);
    std::istringstream lines(json.str());
    std::string jsonLine;
    uint64_t offset = 0;
    for (const ParsedPacket& p : expected) {
        ASSERT_TRUE(std::getline(lines, jsonLine));
        SCOPED_TRACE(jsonLine);
        EXPECT_EQ(JsonField(jsonLine, "id"), KeyOf(p));
        EXPECT_EQ(JsonField(jsonLine, "offset"), std::to_string(offset));
        EXPECT_EQ(JsonField(jsonLine, "len"), std::to_string(p.data.size()));
        EXPECT_EQ(JsonField(jsonLine, "hex"), HexOf(p.data));
        offset += Stuffed(p.id, p.data).size();
    }
    EXPECT_FALSE(std::getline(lines, jsonLine));
    EXPECT_EQ(file.size(), offset);
}

} // namespace
