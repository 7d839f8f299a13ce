// The poll timer driven tick by tick against in-memory devices: the search
// sequence of a new port, the periodic queries, lamp fading, housekeeping and
// the delayed close of quiet ports.
#include <gtest/gtest.h>

#include <QTimer>

#include "monitor/monitor.h"
#include "monitor/dispatch.h"
#include "core/main_window.h"
#include "monitor/poll_timer.h"
#include "link/commands.h"
#include "link/port_table.h"
#include "support/main_ui.h"
#include "support/monitor_gui.h"

namespace {

using Bytes = std::vector<uint8_t>;

Bytes Concat(std::initializer_list<Bytes> parts)
{
    Bytes out;
    for (const Bytes& p : parts)
        out.insert(out.end(), p.begin(), p.end());
    return out;
}

// Frames as they must appear on the line, written out by hand.
const Bytes kVersionQuery = {0x10, 0x1F, 0x10, 0x03};
const Bytes kFourQueries = {0x10, 0x62, 0x04, 0x10, 0x03, 0x10, 0x35, 0x10, 0x03,
                            0x10, 0x8E, 0x15, 0x10, 0x03, 0x10, 0x21, 0x10, 0x03};
const Bytes kHealth = {0x10, 0x26, 0x10, 0x03};
const Bytes kSatSelection = {0x10, 0x24, 0x10, 0x03};
const Bytes kTracking = {0x10, 0x3C, 0x00, 0x10, 0x03};

TEST(PollTimer, SearchSequenceFromStartQueriesTheDisplayPortAtTicks6And7)
{
    auto com3 = StartMonitorOnFake(3);
    ASSERT_NE(com3, nullptr);
    Monitor::Instance().SetAutoQuery(false);
    EXPECT_EQ(PortTable[2].searchStep, 7);
    Tick(3);
    EXPECT_TRUE(TakeWritten(*com3).empty());
    EXPECT_EQ(MainPanel("Panel_Serial")->caption(), "");
    Tick(); // 4
    EXPECT_EQ(MainPanel("Panel_Serial")->caption(), "COM3: 9600: 8-O-1");
    Tick(); // 5
    EXPECT_TRUE(TakeWritten(*com3).empty());
    Tick(); // 6
    EXPECT_EQ(TakeWritten(*com3), kVersionQuery);
    Tick(); // 7
    EXPECT_EQ(TakeWritten(*com3), kFourQueries);
    Tick(10);
    EXPECT_TRUE(TakeWritten(*com3).empty());
    EXPECT_EQ(PortTable[2].searchStep, 0);
}

TEST(PollTimer, SearchQueriesGoToTheSlotOnlyEvenWithTxAllLit)
{
    auto com3 = StartMonitorOnFake(3);
    auto com1 = AttachFakeSerial(0);
    Monitor::Instance().SetAutoQuery(false);
    Main<QPushButton>("Button_TxAll")->click();
    ASSERT_TRUE(TxAllLit);
    Tick(6);
    EXPECT_EQ(TakeWritten(*com3), kVersionQuery);
    Tick();
    EXPECT_EQ(TakeWritten(*com3), kFourQueries);
    EXPECT_TRUE(com1->written.empty());
}

TEST(PollTimer, SearchStepFourRecordsTheLineCodesOfEverySlotButCaptionsOnlyTheDisplayPort)
{
    auto com3 = StartMonitorOnFake(3);
    AttachFakeSerial(5);
    PortTable[5].searchStep = 4;
    PortTable[2].searchStep = 0;
    PortLineCodes[5] = LineCodes{6, 3, 0, 0};
    Tick();
    EXPECT_EQ(PortLineCodes[5], (LineCodes{7, 3, 1, 0}));
    EXPECT_EQ(MainPanel("Panel_Serial")->caption(), "");
}

TEST(PollTimer, AutoQuerySendsEachQueryOncePerSecond)
{
    auto com1 = StartMonitorOnFake(1);
    PortTable[0].searchStep = 0;
    const Bytes none;
    const Bytes perTick[10] = {kSatSelection, kTracking, none, none, kHealth,
                               kSatSelection, kTracking, none, none, kHealth};
    for (int round = 0; round < 2; ++round) {
        for (int t = 0; t < 10; ++t) {
            Tick();
            EXPECT_EQ(TakeWritten(*com1), perTick[t]) << "round " << round << " tick " << t + 1;
        }
    }
}

TEST(PollTimer, AutoQueryWithTxAllLitGoesToEveryOpenPort)
{
    auto com1 = StartMonitorOnFake(1);
    auto com4 = AttachFakeSerial(3);
    PortTable[0].searchStep = 0;
    Main<QPushButton>("Button_TxAll")->click();
    Tick();
    EXPECT_EQ(TakeWritten(*com1), kSatSelection);
    EXPECT_EQ(TakeWritten(*com4), kSatSelection);
}

int g_expired = 0;
void CountExpiry() { ++g_expired; }

TEST(PollTimer, AutoQueryOffSendsNothingButChannelsStillExpireTwicePerCycle)
{
    auto com1 = StartMonitorOnFake(1);
    PortTable[0].searchStep = 0;
    g_expired = 0;
    ExpireChannelsHook = &CountExpiry;
    Form_Main->LoggingAutoQueryClick();
    ASSERT_FALSE(Monitor::Instance().AutoQuery());
    Tick(2);
    EXPECT_EQ(g_expired, 0);
    Tick(); // PollTick 3
    EXPECT_EQ(g_expired, 1);
    Tick(17);
    EXPECT_EQ(g_expired, 4);
    EXPECT_TRUE(com1->written.empty());
}

TEST(PollTimer, WithNoPortOpenNothingRunsButTheCycleCountsAndLampsFade)
{
    ASSERT_NE(StartMonitorOnFake(1), nullptr);
    ClosePort(PortTable[0]);
    g_expired = 0;
    ExpireChannelsHook = &CountExpiry;
    QuietCloseCountdown = 2;
    RequestHealth(TX_ALL); // nothing goes out: Tx stays dark
    EXPECT_EQ(MainShape("Shape_TxLED")->fill(), Colours::Grey);
    Monitor::Instance().LightTx(); // lit by the last frame before the port closed
    Tick();
    EXPECT_EQ(MainShape("Shape_TxLED")->fill(), Colours::Lime) << "noticed by the first tick";
    Tick();
    EXPECT_EQ(MainShape("Shape_TxLED")->fill(), Colours::Grey) << "darkened by the second";
    EXPECT_EQ(MainShape("Shape_TxLED")->accessibleName(), "dark");
    Tick(18);
    EXPECT_EQ(PollTick, 0);
    EXPECT_EQ(g_expired, 0);
    EXPECT_EQ(QuietCloseCountdown, 2);
}

TEST(PollTimer, ContinuedTrafficKeepsTheRxLampLit)
{
    auto com1 = StartMonitorOnFake(1);
    PortTable[0].searchStep = 0;
    Monitor::Instance().SetAutoQuery(false);
    for (int t = 0; t < 4; ++t) {
        Feed(*com1, Frame({0x41, 0x00}));
        Tick();
        EXPECT_EQ(MainShape("Shape_RxLED")->fill(), Colours::Lime) << t;
    }
    // The fade step of each tick had already seen it lit: the first quiet tick darkens it.
    Tick();
    EXPECT_EQ(MainShape("Shape_RxLED")->fill(), Colours::Grey);
    // A single packet: lit by its tick, noticed by the next, darkened by the one after.
    Feed(*com1, Frame({0x41, 0x00}));
    Tick();
    Tick();
    EXPECT_EQ(MainShape("Shape_RxLED")->fill(), Colours::Lime);
    Tick();
    EXPECT_EQ(MainShape("Shape_RxLED")->fill(), Colours::Grey);
}

TEST(PollTimer, MonitoredPanelsTurnGreenAfterAPacketAndYellowAfterAQuietPeriod)
{
    ASSERT_NE(StartMonitorOnFake(1), nullptr);
    auto com5 = AttachFakeSerial(4);
    Form_Main->MouseLeft(4, Qt::LeftButton); // open: marks it monitored
    ASSERT_TRUE(PortTable[4].monitored);
    EXPECT_EQ(MainPanel("Panel_MonCom", 4)->colour(), Colours::Yellow);
    Feed(*com5, Frame({0x46, 0x00, 0x00}));
    Tick(8);
    EXPECT_EQ(MainPanel("Panel_MonCom", 4)->colour(), Colours::Yellow) << "not before housekeeping";
    Tick(); // PollTick 9: housekeeping
    EXPECT_EQ(MainPanel("Panel_MonCom", 4)->colour(), Colours::Lime);
    EXPECT_FALSE(PortTable[4].packetSeen);
    Tick(10);
    EXPECT_EQ(MainPanel("Panel_MonCom", 4)->colour(), Colours::Yellow);
}

TEST(PollTimer, AutoFindClosesQuietPortsAtTheSecondHousekeeping)
{
    auto com2 = StartMonitorOnFake(2, {1, 2, 3});
    auto com1 = AttachFakeSerial(0);
    auto com3 = AttachFakeSerial(2);
    Monitor::Instance().FindAll(); // at PollTick 0: housekeeping after 9 and 19 ticks
    EXPECT_EQ(QuietCloseCountdown, 2);
    for (int t = 1; t <= 19; ++t) {
        if (t % 5 == 0)
            Feed(*com1, Frame({0x46, 0x00, 0x00}));
        Tick();
        if (t == 9) {
            EXPECT_TRUE(PortTable[2].open) << "still open after the first housekeeping";
            EXPECT_EQ(QuietCloseCountdown, 1);
        }
    }
    EXPECT_EQ(QuietCloseCountdown, 0);
    EXPECT_TRUE(PortTable[0].open);
    EXPECT_TRUE(PortTable[0].monitored);
    EXPECT_FALSE(PortTable[2].open);
    EXPECT_TRUE(PortTable[1].open) << "the display port is never closed";
    EXPECT_FALSE(PortTable[1].monitored);
    EXPECT_EQ(MainPanel("Panel_MonCom", 0)->colour(), Colours::Lime);
    EXPECT_EQ(MainPanel("Panel_MonCom", 2)->colour(), ButtonFaceColour());
    (void)com2;
    (void)com3;
}

TEST(PollTimer, AVanishedDeviceMarksTheSlotLostAndTheTimerGoesOn)
{
    auto com1 = StartMonitorOnFake(1);
    Monitor::Instance().Start();
    Feed(*com1, Frame({0x41, 0x00}));
    com1->gone = true;
    Tick(30);
    EXPECT_TRUE(Monitor::Instance().IsRunning());
    EXPECT_FALSE(PortTable[0].open);
    EXPECT_TRUE(PortTable[0].lost) << "closed on the PC side, kept mapped";
    EXPECT_EQ(MainPanel("Panel_MonCom", 0)->colour(), Colours::Red);
    EXPECT_EQ(MainPanel("Panel_Serial")->caption(), "COM1: device lost");
    EXPECT_EQ(PollTick, 0);
    Monitor::Instance().Stop();
}

int g_decoded = 0;
int g_tickSeenInDecoder = -1;
void NestedTickDecoder(PortRecord& port)
{
    ++g_decoded;
    EXPECT_EQ(port.length, 1u);
    Monitor::Instance().Tick(); // as a tick from a modal box's event loop would
    g_tickSeenInDecoder = PollTick;
}

TEST(PollTimer, ANestedTickInsideADecoderIsSkipped)
{
    auto com1 = StartMonitorOnFake(1);
    PortTable[0].searchStep = 0;
    g_decoded = 0;
    RegisterDecoder({0x41, kNoSubId, &NestedTickDecoder, ReportGroup::B});
    Feed(*com1, Concat({Frame({0x41, 0x10}), Frame({0x41, 0x07})}));
    Tick();
    EXPECT_EQ(g_decoded, 2) << "both packets of the read were parsed";
    EXPECT_EQ(g_tickSeenInDecoder, 0) << "the nested tick did not advance the cycle";
    EXPECT_EQ(PollTick, 1);
}

} // namespace
