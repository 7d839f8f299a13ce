// The port commands against real devices: pseudo-terminals opened by the
// serial layer. Skipped where the serial layer cannot open them.
#include <gtest/gtest.h>

#include <QTimer>
#include <thread>

#include "monitor/monitor.h"
#include "core/main_window.h"
#include "core/startup.h"
#include "link/port_table.h"
#include "platform/port_enumeration.h"
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
    EXPECT_EQ(Form_Main->Panel_MonCom[4]->colour(), Colours::Yellow);
    const std::vector<uint8_t> health = Frame({0x46, 0x00, 0x00});
    receiver.Write(health);
    TickAfterPeerWrite(4, health.size(), 9); // to the housekeeping
    EXPECT_EQ(Form_Main->Panel_MonCom[4]->colour(), Colours::Lime);
    Form_Main->MouseLeft(4, Qt::LeftButton);
    EXPECT_FALSE(PortTable[4].open);
    EXPECT_EQ(Form_Main->Panel_MonCom[4]->colour(), ButtonFaceColour());
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

} // namespace
