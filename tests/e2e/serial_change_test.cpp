// The serial port dialog against real devices: the receiver's report arrives
// on a pseudo-terminal, "&Set " answered Yes puts the set command on the line
// and switches the device itself, read back from the device afterwards.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QTimer>
#include <chrono>
#include <thread>

#include "monitor/monitor.h"
#include "config/form_serial.h"
#include "core/main_window.h"
#include "core/startup.h"
#include "link/commands.h"
#include "link/port_table.h"
#include "platform/port_enumeration.h"
#include "support/monitor_gui.h"
#include "support/pty.h"
#include "support/ui_find.h"
#include "support/ui_script_gui.h"

namespace {

// The receiver's 0xBC report for its port 0: 9600, 8 bits, no parity, 1 stop bit, ZELK both ways.
const std::vector<uint8_t> kReport9600 = {0xBC, 0x00, 0x07, 0x07, 0x03, 0x00, 0x00, 0x00, 0x02, 0x02, 0x00};
// The set command for 4800, 8 bits, no parity, 2 stop bits, ZELK both ways, to every receiver port.
const std::vector<uint8_t> kSet4800N2 = {0xBC, 0xFF, 0x06, 0x06, 0x03, 0x00, 0x01, 0x00, 0x02, 0x02, 0x00};

class SerialChange : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(receiver.ok());
        SetComDevice(1, receiver.devicePath());
        ASSERT_EQ(StartMonitor({"-c1"}), StartResult::Run);
        Monitor::Instance().Stop();
        Monitor::Instance().SetAutoQuery(false);
    }

    // Plays the receiver's answer and ticks until the dialog shows it.
    void ReceiveReport()
    {
        Form_Serial->showForm();
        ASSERT_TRUE(receiver.Write(Frame(kReport9600)));
        for (int i = 0; i < 20 && Ui<QComboBox>(Form_Serial, "ComboBox_BaudRate")->currentIndex() != 1; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
            Tick();
        }
        ASSERT_EQ(Ui<QComboBox>(Form_Serial, "ComboBox_BaudRate")->currentText(), "9600");
    }

    static void ChooseTwoStopBitsAt4800()
    {
        Ui<QComboBox>(Form_Serial, "ComboBox_BaudRate")->setCurrentIndex(0);
        Ui<QComboBox>(Form_Serial, "ComboBox_StopBits")->setCurrentIndex(1);
    }

    // Checks the device's own settings, read back through the serial layer and through the peer end.
    static void ExpectSwitchedTo4800N2(int slot, const PtyPair& pair)
    {
        LineSettings now;
        ASSERT_TRUE(PortTable[static_cast<size_t>(slot)].handle->GetLineSettings(now));
        EXPECT_EQ(now.baud, 4800);
        EXPECT_EQ(now.dataBits, 8);
        EXPECT_EQ(now.parity, 0);
        EXPECT_EQ(now.stopBits, 2);
        termios tio{};
        ASSERT_TRUE(pair.DeviceTermios(tio));
        EXPECT_EQ(cfgetospeed(&tio), static_cast<speed_t>(B4800));
        EXPECT_NE(tio.c_cflag & CSTOPB, 0u);
        EXPECT_EQ(PortLineCodes[static_cast<size_t>(slot)], (LineCodes{6, 3, 0, 1}));
        EXPECT_TRUE(PortTable[static_cast<size_t>(slot)].open);
    }

    PtyPair receiver;
    ScriptedUi ui;
};

TEST_F(SerialChange, YesSwitchesTheDisplayPortAfterTheCommandHasLeft)
{
    ReceiveReport();
    ChooseTwoStopBitsAt4800();
    receiver.ReadAvailable(); // the start-up queries
    ui.answers = {ui::Answer::Yes, ui::Answer::No};
    Form_Serial->Button_Port1Click();
    EXPECT_EQ(receiver.Read(Frame(kSet4800N2).size()), Frame(kSet4800N2));
    ExpectSwitchedTo4800N2(0, receiver);
    EXPECT_EQ(Form_Main->Panel_Serial->caption(), "COM1 4800, 8-N-2");
    EXPECT_TRUE(receiver.ReadAvailable(50).empty()); // no save command after No
}

TEST_F(SerialChange, TxAllSwitchesEveryOpenPort)
{
    PtyPair second;
    ASSERT_TRUE(second.ok());
    SetComDevice(2, second.devicePath());
    ASSERT_EQ(OpenSlot(1), 0);
    ReceiveReport();
    ChooseTwoStopBitsAt4800();
    receiver.ReadAvailable();
    second.ReadAvailable();
    TxAllLit = true;
    ui.answers = {ui::Answer::Yes, ui::Answer::No};
    Form_Serial->Button_Port1Click();
    EXPECT_EQ(receiver.Read(Frame(kSet4800N2).size()), Frame(kSet4800N2));
    EXPECT_EQ(second.Read(Frame(kSet4800N2).size()), Frame(kSet4800N2));
    ExpectSwitchedTo4800N2(0, receiver);
    ExpectSwitchedTo4800N2(1, second);
}

} // namespace
