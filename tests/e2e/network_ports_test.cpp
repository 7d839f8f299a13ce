// Network ports on the real path: the receiver simulator on pseudo-terminals,
// the real ser2net in front of them on 127.0.0.1 (one raw TCP port, one
// RFC 2217 port), and the monitor's ticks reading them through the COM mapping.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QCoreApplication>
#include <QTimer>
#include <chrono>
#include <cmath>
#include <functional>

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

#include "monitor/monitor.h"
#include "config/form_serial.h"
#include "config/serial_apply.h"
#include "core/main_window.h"
#include "monitor/poll_timer.h"
#include "core/startup.h"
#include "model/port_reports.h"
#include "link/port_table.h"
#include "platform/port_enumeration.h"
#include "sim/line_runner.h"
#include "sim/receiver_simulator.h"
#include "support/loopback_listener.h"
#include "support/main_ui.h"
#include "support/monitor_gui.h"
#include "support/ser2net.h"
#include "support/ui_script_gui.h"

namespace {

constexpr double kLatDeg = 47.5;
constexpr double kLonDeg = 8.25;

SimOptions QuickReceiver()
{
    SimOptions o;
    o.firstFixSeconds = 0;
    o.timeFromSkySeconds = 0;
    o.track.centre = {kLatDeg * M_PI / 180, kLonDeg * M_PI / 180, 500};
    return o;
}

// The speed of a pseudo-terminal as its own termios says.
speed_t DeviceSpeed(const std::string& path)
{
    const int fd = open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    termios tio{};
    const bool ok = fd >= 0 && tcgetattr(fd, &tio) == 0;
    if (fd >= 0)
        close(fd);
    return ok ? cfgetospeed(&tio) : B0;
}

class NetworkPorts : public testing::Test {
protected:
    void SetUp() override
    {
        std::string error;
        for (int i = 0; i < 2; ++i)
            ASSERT_TRUE(receivers.Add(std::make_unique<ReceiverSimulator>(QuickReceiver()), &error)) << error;
        const std::vector<std::string> paths = receivers.DevicePaths();
        ports = {{paths[0], false, 0}, {paths[1], true, 0}};
        ASSERT_TRUE(ser2net.Start(ports, &error)) << error;
        SetComDevice(1, Ser2net::Url(ports[0]));
        SetComDevice(2, Ser2net::Url(ports[1]));
    }

    void StartOn(int com)
    {
        ASSERT_EQ(StartMonitor({"-c" + std::to_string(com)}), StartResult::Run);
        Monitor::Instance().Stop();
        Monitor::Instance().SetAutoQuery(false);
    }

    // Runs the receivers and the monitor's ticks until done, for at most 20 s.
    bool RunUntil(const std::function<bool()>& done)
    {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (!done()) {
            if (std::chrono::steady_clock::now() > deadline)
                return false;
            receivers.Poll(10);
            Tick();
        }
        return true;
    }

    static bool ShowsTheReceiver()
    {
        return MainPanel("Panel_LatDeg")->caption() == QString("47%1").arg(QChar(0x00B0)) &&
               MainPanel("Panel_NorthSouth")->caption() == "N" &&
               MainPanel("Panel_LonDeg")->caption() == QString("8%1").arg(QChar(0x00B0)) &&
               !MainPanel("Panel_Time")->caption().isEmpty() && !MainPanel("Panel_Week")->caption().isEmpty();
    }

    LineRunner receivers;
    std::vector<Ser2net::Port> ports;
    Ser2net ser2net;
    ScriptedUi ui;
};

TEST_F(NetworkPorts, RawTcpDisplayAndMonitoredRfc2217ShowTheReceivers)
{
    StartOn(1);
    ASSERT_EQ(OpenSlot(1), 0);
    PortTable[1].monitored = 1;
    EXPECT_TRUE(RunUntil([] { return ShowsTheReceiver() && std::abs(PortReports[1].latDeg - kLatDeg) < 0.01; }))
        << MainPanel("Panel_LatDeg")->caption().toStdString() << " / COM2 " << PortReports[1].latDeg;
    EXPECT_NEAR(PortReports[1].lonDeg, kLonDeg, 0.01);
    EXPECT_EQ(PortTable[0].handle->State(), DeviceState::Ready);

    // The raw port has no line to set from here: the status line says where it is set.
    ui.answers = {ui::Answer::Yes};
    ApplySerialSettings(SerialConfigRecord{0, 8, 3, 0, 0, 2, 2, 0});
    EXPECT_EQ(MainPanel("Panel_Hint")->caption().toStdString(),
              "COM1 is a raw TCP port (" + Ser2net::Url(ports[0]) + "): set 19200, 8-N-1 at the device server");
    EXPECT_EQ(DeviceSpeed(ports[0].device), static_cast<speed_t>(B9600));
}

TEST_F(NetworkPorts, Rfc2217SerialChangeReachesTheRemoteLine)
{
    StartOn(2);
    ASSERT_TRUE(RunUntil(ShowsTheReceiver));
    EXPECT_EQ(DeviceSpeed(ports[1].device), static_cast<speed_t>(B9600));
    Form_Main->ConfigureSerialClick();
    ASSERT_TRUE(RunUntil([] { return Ui<QComboBox>(Form_Serial, "ComboBox_BaudRate")->currentText() == "9600"; }));
    Ui<QComboBox>(Form_Serial, "ComboBox_BaudRate")->setCurrentText("19200");
    ui.answers = {ui::Answer::Yes, ui::Answer::No}; // change the PC side; do not save to flash
    Form_Serial->Button_Port1Click();
    EXPECT_TRUE(RunUntil([&] { return DeviceSpeed(ports[1].device) == B19200; }));
    LineSettings acknowledged;
    EXPECT_TRUE(RunUntil([&] {
        return PortTable[1].handle->GetLineSettings(acknowledged) && acknowledged.baud == 19200;
    }));
    MainPanel("Panel_Time")->setCaption("?");
    MainPanel("Panel_LatDeg")->setCaption("?");
    EXPECT_TRUE(RunUntil(ShowsTheReceiver)); // reports still arrive and decode at the new speed
}

TEST_F(NetworkPorts, StoppingSer2netLosesThePortsAndStartingItBringsThemBack)
{
    StartOn(1);
    ASSERT_EQ(OpenSlot(1), 0);
    PortTable[1].monitored = 1;
    ASSERT_TRUE(RunUntil([] { return ShowsTheReceiver() && PortReports[1].latDeg != 0; }));

    ser2net.Stop();
    EXPECT_TRUE(RunUntil([] { return PortTable[0].lost && PortTable[1].lost; }));
    EXPECT_EQ(MainPanel("Panel_MonCom", 1)->colour(), Colours::Red);
    // Refused again and again: the tries thin out to one every 5 s, no further.
    EXPECT_TRUE(RunUntil([] { return PortTable[0].reopenDelayMs == 5000 && PortTable[1].reopenDelayMs == 5000; }));
    EXPECT_NE(MainPanel("Panel_Hint")->caption().indexOf("Connection refused"), -1)
        << MainPanel("Panel_Hint")->caption().toStdString();

    std::string error;
    ASSERT_TRUE(ser2net.Restart(&error)) << error;
    MainPanel("Panel_LatDeg")->setCaption("?");
    MainPanel("Panel_Version")->setCaption("?");
    PortReports[1].latDeg = 0;
    // Back without a restart: the search sequence ran again (its version query
    // answered) and both receivers decode.
    EXPECT_TRUE(RunUntil([] {
        return !PortTable[0].lost && !PortTable[1].lost && ShowsTheReceiver() &&
               MainPanel("Panel_Version")->caption() != "?" && PortReports[1].latDeg != 0;
    }));
    EXPECT_TRUE(PortTable[1].monitored);
    // Data flows: the failure words are gone and the retries start over at their first step.
    const QString hint = MainPanel("Panel_Hint")->caption();
    EXPECT_EQ(hint.indexOf("refused"), -1) << hint.toStdString();
    EXPECT_EQ(PortTable[0].reopenDelayMs, 1000);
    EXPECT_EQ(PortTable[1].reopenDelayMs, 1000);
    EXPECT_EQ(PortTable[1].handle->State(), DeviceState::Ready);
}

TEST(NetworkPortsBlocking, AServerThatNeverAnswersLeavesTheTicksRunning)
{
    LoopbackListener server(false, 0);
    ASSERT_TRUE(server.ok());
    auto filler = OpenSerialDevice(server.Url("tcp")); // takes the only place in the backlog
    for (int i = 0; i < 100 && filler->State() == DeviceState::Connecting; ++i)
        filler->QueuedInputBytes(), usleep(10000);
    ASSERT_EQ(filler->State(), DeviceState::Ready);
    SetComDevice(1, server.Url("tcp"));
    ScriptedUi ui;
    ASSERT_EQ(StartMonitor({"-c1"}), StartResult::Run);
    Monitor::Instance().Start();
    int ticks = 0;
    int last = PollTick;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (ticks < 10 && std::chrono::steady_clock::now() < deadline) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        if (PollTick != last) {
            ++ticks;
            last = PollTick;
        }
    }
    EXPECT_EQ(ticks, 10);
    EXPECT_EQ(PortTable[0].handle->State(), DeviceState::Connecting);
    EXPECT_EQ(PortTable[0].searchStep, 7); // the start-up search waits for the connection
    EXPECT_EQ(MainPanel("Panel_Hint")->caption(), QString::fromStdString("COM1 connecting to " + server.Url("tcp")));
}

} // namespace
