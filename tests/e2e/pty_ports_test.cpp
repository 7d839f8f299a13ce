// The port commands against real devices: pseudo-terminals opened by the
// serial layer. Skipped where the serial layer cannot open them.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QTest>
#include <QTimer>
#include <thread>

#include "monitor/monitor.h"
#include "core/main_window.h"
#include "core/startup.h"
#include "link/port_table.h"
#include "platform/port_enumeration.h"
#include "support/main_ui.h"
#include "support/monitor_gui.h"
#include "support/pty.h"
#include "support/ui_script_gui.h"

namespace {

class PtyPorts : public testing::Test {
protected:
    // Waits (at most a second) until the peer's frame is queued on the slot's
    // device, then runs n ticks.
    static void TickAfterPeerWrite(int slot, size_t bytes, int n)
    {
        SerialDevice* device = PortTable[static_cast<size_t>(slot)].handle.get();
        for (int i = 0; i < 100 && device && device->QueuedInputBytes() < static_cast<int>(bytes); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        Tick(n);
    }
};

TEST_F(PtyPorts, StartUpOpensTheDisplayPortAndQueriesItAtTick6)
{
    PtyPair receiver;
    SetComDevice(3, receiver.devicePath());
    ScriptedUi ui;
    ASSERT_EQ(StartMonitor({"-c3"}), StartResult::Run);
    Monitor::Instance().Stop();
    Monitor::Instance().SetAutoQuery(false);
    Tick(5);
    EXPECT_TRUE(receiver.ReadAvailable(20, 20).empty());
    Tick();
    EXPECT_EQ(receiver.ReadAvailable(), (std::vector<uint8_t>{0x10, 0x1F, 0x10, 0x03}));
}

TEST_F(PtyPorts, PanelClickOpensMarksAndClosesAPort)
{
    PtyPair receiver;
    SetComDevice(5, receiver.devicePath());
    ASSERT_NE(StartMonitorOnFake(1), nullptr);
    Monitor::Instance().SetAutoQuery(false);
    Form_Main->MouseLeft(4, Qt::LeftButton);
    ASSERT_TRUE(PortTable[4].open);
    EXPECT_TRUE(PortTable[4].monitored);
    EXPECT_EQ(PortTable[4].searchStep, 9);
    EXPECT_EQ(MainPanel("Panel_MonCom", 4)->colour(), Colours::Yellow);
    const std::vector<uint8_t> health = Frame({0x46, 0x00, 0x00});
    receiver.Write(health);
    TickAfterPeerWrite(4, health.size(), 9); // to the housekeeping
    EXPECT_EQ(MainPanel("Panel_MonCom", 4)->colour(), Colours::Lime);
    Form_Main->MouseLeft(4, Qt::LeftButton);
    EXPECT_FALSE(PortTable[4].open);
    EXPECT_EQ(MainPanel("Panel_MonCom", 4)->colour(), ButtonFaceColour());
}

TEST_F(PtyPorts, AutoFindKeepsTalkingReceiversAndClosesTheQuietOnes)
{
    PtyPair talking, quiet;
    SetComDevice(2, talking.devicePath());
    SetComDevice(3, quiet.devicePath());
    ASSERT_NE(StartMonitorOnFake(1, {1, 2, 3}), nullptr);
    Monitor::Instance().FindAll();
    ASSERT_TRUE(PortTable[1].open && PortTable[2].open);
    const std::vector<uint8_t> health = Frame({0x46, 0x00, 0x00});
    talking.Write(health);
    TickAfterPeerWrite(1, health.size(), 9);
    talking.Write(health);
    TickAfterPeerWrite(1, health.size(), 10);
    EXPECT_TRUE(PortTable[1].open);
    EXPECT_FALSE(PortTable[2].open);
    EXPECT_TRUE(PortTable[0].open) << "the display port stays open";
}

// A display port that says nothing, on the real timer: the status line
// explains it after 5 s (within 6), and the words go with the first packet.
TEST_F(PtyPorts, ASilentDisplayPortIsExplainedUntilAPacketArrives)
{
    PtyPair receiver;
    SetComDevice(1, receiver.devicePath());
    ScriptedUi ui;
    ASSERT_EQ(StartMonitor({"-c1"}), StartResult::Run);
    const QString words =
        "COM1: no data for 5 s at 9600 8-O-1: check the receiver's port settings, or use Auto Find";
    QElapsedTimer clock;
    clock.start();
    ASSERT_TRUE(QTest::qWaitFor([&] { return Form_Main->StatusNote() == words; }, 6000));
    EXPECT_GE(clock.elapsed(), 4500) << "not before the 5 s are up";
    // The line shows as much as it has room for; the pointer over it reads all.
    const QString shown = MainPanel("Panel_Hint")->caption();
    EXPECT_TRUE(shown == words || (shown.endsWith(QChar(0x2026)) && words.startsWith(shown.chopped(1))))
        << shown.toStdString();
    EXPECT_TRUE(shown.startsWith("COM1: no data for 5 s")) << shown.toStdString();
    EXPECT_EQ(MainPanel("Panel_Hint")->toolTip(), words);
    receiver.Write(Frame({0x46, 0x00, 0x00}));
    EXPECT_TRUE(QTest::qWaitFor([&] { return MainPanel("Panel_Hint")->caption().isEmpty(); }, 2000));
    EXPECT_EQ(Form_Main->StatusNote(), "");
}

} // namespace
