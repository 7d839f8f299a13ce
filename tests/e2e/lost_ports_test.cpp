// Receivers unplugged and plugged in again, on real pseudo-terminals reached
// through links given as --comN=: the display port and a monitored port lose
// their devices mid-frame, are shown lost, and come back when a new device
// appears behind the same link, with the search sequence and the same log file.
#include <gtest/gtest.h>

#include <bit>
#include <chrono>
#include <thread>

#include <QLineEdit>
#include <QPushButton>

#include "monitor/monitor.h"
#include "core/main_window.h"
#include "link/commands.h"
#include "link/frame_scanner.h"
#include "link/port_table.h"
#include "logging/form_log.h"
#include "platform/port_enumeration.h"
#include "support/main_ui.h"
#include "support/monitor_gui.h"
#include "support/pty.h"
#include "support/temp_dir.h"
#include "support/ui_script_gui.h"

namespace {

using Bytes = std::vector<uint8_t>;

// A 0x4A position report whose time of fix is tow.
Bytes Position(float tow)
{
    Bytes m(21, 0);
    m[0] = 0x4A;
    const auto bits = std::bit_cast<uint32_t>(tow);
    for (int i = 0; i < 4; ++i)
        m[17 + static_cast<size_t>(i)] = static_cast<uint8_t>(bits >> (24 - 8 * i));
    return Frame(m);
}

// Waits (bounded) until the slot has the bytes queued, then ticks once.
void TickWhenQueued(int slot, size_t bytes)
{
    for (int i = 0; i < 200; ++i) {
        SerialDevice* device = PortTable[static_cast<size_t>(slot)].handle.get();
        if (!device || device->QueuedInputBytes() >= static_cast<int>(bytes))
            break;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    Tick();
}

// The ids of the frames the peer received.
std::vector<int> ReceivedIds(PtyPair& peer)
{
    const Bytes in = peer.ReadAvailable(300, 50);
    std::vector<int> ids;
    FrameScanner scanner;
    scanner.Feed(in.data(), in.size(), [&](const ScannedPacket& p) { ids.push_back(p.id); });
    return ids;
}

TEST(LostPorts, UnpluggedPortsAreShownLostAndComeBackBehindTheirLinks)
{
    TempDir dir;
    ScriptedUi ui;
    const std::string displayLink = dir.file("by-id-a");
    const std::string monitoredLink = dir.file("by-id-b");
    auto displayPeer = std::make_unique<PtyPair>();
    auto monitoredPeer = std::make_unique<PtyPair>();
    ASSERT_TRUE(displayPeer->ok() && monitoredPeer->ok());
    PointLink(displayLink, *displayPeer);
    PointLink(monitoredLink, *monitoredPeer);
    std::vector<std::string> args = {"--com1=" + displayLink, "--com2=" + monitoredLink};
    std::string error;
    ASSERT_TRUE(TakeComArguments(args, &error)) << error;
    DisplayPort = 1;
    ASSERT_TRUE(StartMonitorOnDevice());
    Monitor::Instance().SetAutoQuery(false);
    PortTable[0].searchStep = 0;
    Form_Main->MouseLeft(1, Qt::LeftButton); // COM2 opened and monitored
    ASSERT_TRUE(PortTable[1].monitored);
    PortTable[1].searchStep = 0;
    Ui<QLineEdit>(Form_Log, "Edit_FileRoot")->setText(QString::fromStdString(dir.file("data")));
    Ui<QPushButton>(Form_Log, "Button_Start")->click();
    for (float tow : {100.0f, 101.0f}) {
        ASSERT_TRUE(monitoredPeer->Write(Position(tow)));
        TickWhenQueued(1, Position(tow).size());
    }

    ASSERT_TRUE(displayPeer->Write(Position(100.0f)));
    TickWhenQueued(0, Position(100.0f).size());
    const QString latitude = MainPanel("Panel_LatDeg")->caption();
    EXPECT_EQ(MainPanel("Panel_LatDeg")->colour(), WindowColour());

    // Both receivers are pulled out in the middle of a frame.
    const Bytes whole = Position(102.0f);
    const Bytes half(whole.begin(), whole.begin() + 9);
    ASSERT_TRUE(displayPeer->Write(half) && monitoredPeer->Write(half));
    TickWhenQueued(1, half.size());
    Unplug(*displayPeer, displayLink);
    Unplug(*monitoredPeer, monitoredLink);
    Tick(2); // the Tx lamp lit by earlier sends has faded
    RequestHealth(TX_ALL);
    RequestHealth(0);
    EXPECT_TRUE(PortTable[0].lost && PortTable[1].lost);
    EXPECT_FALSE(PortTable[0].open || PortTable[1].open);
    EXPECT_FALSE(MainShape("Shape_TxLED")->isLit()) << "nothing went out";
    EXPECT_EQ(MainPanel("Panel_MonCom", 1)->colour(), Colours::Red);
    EXPECT_EQ(MainPanel("Panel_Serial")->caption(), "COM1: device lost");
    EXPECT_EQ(MainPanel("Panel_Serial")->textColour(), Colours::Red);
    EXPECT_EQ(MainPanel("Panel_LatDeg")->caption(), latitude) << "the last value stays";
    EXPECT_EQ(MainPanel("Panel_LatDeg")->colour(), ButtonFaceColour()) << "but shows it is not current";

    // Plugged in again: new nodes behind the same links, found within 2 s of ticks.
    PtyPair displayAgain, monitoredAgain;
    ASSERT_TRUE(displayAgain.ok() && monitoredAgain.ok());
    PointLink(displayLink, displayAgain);
    PointLink(monitoredLink, monitoredAgain);
    Tick(10);
    EXPECT_TRUE(PortTable[0].open && PortTable[1].open);
    EXPECT_FALSE(PortTable[0].lost || PortTable[1].lost);
    EXPECT_EQ(MainPanel("Panel_MonCom", 1)->colour(), Colours::Yellow);
    Tick(10); // the search sequence from 9 runs to its end
    const std::vector<int> search = {0x1F, 0x62, 0x35, 0x8E, 0x21};
    EXPECT_EQ(ReceivedIds(displayAgain), search);
    EXPECT_EQ(ReceivedIds(monitoredAgain), search);
    EXPECT_EQ(MainPanel("Panel_Serial")->caption(), "COM1: 9600: 8-O-1");
    EXPECT_EQ(MainPanel("Panel_Serial")->textColour(), WindowTextColour());

    ASSERT_TRUE(displayAgain.Write(Position(103.0f)));
    TickWhenQueued(0, Position(103.0f).size());
    EXPECT_EQ(MainPanel("Panel_LatDeg")->colour(), WindowColour()) << "fresh reports";

    // Logging goes on in the same file, without repeating a record.
    ASSERT_TRUE(monitoredAgain.Write(Position(103.0f)));
    TickWhenQueued(1, Position(103.0f).size());
    EXPECT_EQ(ReadFileText(dir.file("data2.dat")), "100.00 \r\n101.00 \r\n103.00 \r\n");
    EXPECT_TRUE(ui.boxes.empty());
}

} // namespace
