// Packets read by the poll timer reach their decoders by id and sub-id:
// group A for monitored ports and the display port, group B and the Rx lamp
// and the raw recorder for the display port only; every packet counts as activity.
#include <gtest/gtest.h>

#include <string>

#include "monitor/monitor.h"
#include "monitor/dispatch.h"
#include "core/main_window.h"
#include "link/port_table.h"
#include "link/shared_flags.h"
#include "support/main_ui.h"
#include "support/monitor_gui.h"

namespace {

// What the decoders saw, in order: "<name>@<slot>" plus the Rx lamp state.
std::vector<std::string> g_calls;

void Note(const char* name, const PortRecord& port)
{
    g_calls.push_back(std::string(name) + "@" + std::to_string(port.slot) +
                      (MainShape("Shape_RxLED")->isLit() ? " rx" : ""));
}

void Decode46(PortRecord& port) { Note("46", port); }
void Decode41(PortRecord& port) { Note("41", port); }
void Decode8F15(PortRecord& port) { Note("8F15", port); }
void Decode8F26(PortRecord& port) { Note("8F26", port); }

struct Recorded {
    int id;
    std::vector<uint8_t> data;
};
std::vector<Recorded> g_recorded;

void Record(int id, const uint8_t* data, uint32_t length) { g_recorded.push_back({id, {data, data + length}}); }

class Dispatch : public testing::Test {
protected:
    void SetUp() override
    {
        g_calls.clear();
        g_recorded.clear();
        display = StartMonitorOnFake(1);
        ASSERT_NE(display, nullptr);
        PortTable[0].searchStep = 0;
        Monitor::Instance().SetAutoQuery(false);
        other = AttachFakeSerial(3);
        PortTable[3].monitored = 1;
        RegisterDecoder({0x46, kNoSubId, &Decode46, ReportGroup::A});
        RegisterDecoder({0x41, kNoSubId, &Decode41, ReportGroup::B});
        RegisterDecoder({0x8F, 0x15, &Decode8F15, ReportGroup::B});
        RegisterDecoder({0x8F, 0x26, &Decode8F26, ReportGroup::A});
        RawPacketHook = &Record;
        Flags.RawRecordingOn = 1;
    }

    std::shared_ptr<FakeSerial::State> display, other;
};

TEST_F(Dispatch, GroupAOnAMonitoredPortIsDecodedWithoutRxLampOrRecording)
{
    Feed(*other, Frame({0x46, 0x00, 0x00}));
    Tick();
    EXPECT_EQ(g_calls, std::vector<std::string>{"46@3"});
    EXPECT_FALSE(MainShape("Shape_RxLED")->isLit());
    EXPECT_TRUE(g_recorded.empty());
    EXPECT_TRUE(PortTable[3].packetSeen);
}

TEST_F(Dispatch, GroupBOnAMonitoredPortIsOnlyCounted)
{
    Feed(*other, Frame({0x41, 0x01}));
    Tick();
    EXPECT_TRUE(g_calls.empty());
    EXPECT_TRUE(PortTable[3].packetSeen);
}

TEST_F(Dispatch, DisplayPortPacketLightsRxIsDecodedAndRecorded)
{
    Feed(*display, Frame({0x41, 0x10, 0x20}));
    Tick();
    EXPECT_EQ(g_calls, std::vector<std::string>{"41@0 rx"});
    ASSERT_EQ(g_recorded.size(), 1u);
    EXPECT_EQ(g_recorded[0].id, 0x41);
    EXPECT_EQ(g_recorded[0].data, (std::vector<uint8_t>{0x10, 0x20}));
    EXPECT_TRUE(PortTable[0].packetSeen);
}

TEST_F(Dispatch, GroupARunsBeforeTheRxLampAndGroupBAfterIt)
{
    RegisterDecoder({0x41, kNoSubId, &Decode41, ReportGroup::A});
    RegisterDecoder({0x46, kNoSubId, &Decode46, ReportGroup::B});
    Feed(*display, Frame({0x41}));
    Feed(*display, Frame({0x46}));
    Tick();
    EXPECT_EQ(g_calls, (std::vector<std::string>{"41@0", "46@0 rx"}));
}

TEST_F(Dispatch, SubIdChoosesThe8FDecoderAndUnknownSubIdsAreOnlyRecorded)
{
    Feed(*display, Frame({0x8F, 0x20, 0x01}));
    Feed(*display, Frame({0x8F, 0x15, 0x00, 0x00}));
    Feed(*other, Frame({0x8F, 0x26}));
    Feed(*other, Frame({0x8F, 0x15, 0x00, 0x00}));
    Tick();
    // Slot 0 is read first in the tick, so the lamp is already lit for slot 3.
    EXPECT_EQ(g_calls, (std::vector<std::string>{"8F15@0 rx", "8F26@3 rx"}));
    ASSERT_EQ(g_recorded.size(), 2u);
    EXPECT_EQ(g_recorded[0].data, (std::vector<uint8_t>{0x20, 0x01}));
    EXPECT_TRUE(MainShape("Shape_RxLED")->isLit());
}

TEST_F(Dispatch, An8FWithoutDataMatchesNoSubId)
{
    PortTable[0].data[0] = 0x15; // left over from an earlier packet
    Feed(*display, Frame({0x8F}));
    Tick();
    EXPECT_TRUE(g_calls.empty());
    EXPECT_EQ(g_recorded.size(), 1u);
}

TEST_F(Dispatch, APortNeitherMonitoredNorDisplayOnlyCountsActivity)
{
    PortTable[3].monitored = 0;
    Feed(*other, Frame({0x46, 0x00, 0x00}));
    Tick();
    EXPECT_TRUE(g_calls.empty());
    EXPECT_TRUE(PortTable[3].packetSeen);
    EXPECT_FALSE(MainShape("Shape_RxLED")->isLit());
}

TEST_F(Dispatch, RecordingOffRecordsNothingAndAClosedSlotIsIgnored)
{
    Flags.RawRecordingOn = 0;
    Feed(*display, Frame({0x41}));
    Tick();
    EXPECT_TRUE(g_recorded.empty());
    EXPECT_EQ(g_calls.size(), 1u);
    PortTable[5].id = 0x41;
    PortTable[5].slot = 5;
    DispatchReport(PortTable[5]);
    EXPECT_FALSE(PortTable[5].packetSeen);
    EXPECT_EQ(g_calls.size(), 1u);
}

// Ids that no built-in row decodes: 0x58 and 0x8F-77.
TEST(DispatchTable, RegisteringTheSameIdReplacesItsRowAndRestoreEmptiesIt)
{
    const size_t before = DispatchTable().size();
    RegisterDecoder({0x58, kNoSubId, &Decode46, ReportGroup::A});
    RegisterDecoder({0x58, kNoSubId, &Decode41, ReportGroup::B});
    RegisterDecoder({0x8F, 0x77, &Decode8F15, ReportGroup::B});
    EXPECT_EQ(DispatchTable().size(), before + 2);
    RestoreDispatchTable();
    EXPECT_EQ(DispatchTable().size(), before);
}

} // namespace
