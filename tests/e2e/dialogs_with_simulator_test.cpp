// The configuration dialogs against the receiver simulator on the real tick
// path: the dialog's query is answered, a changed setting is applied, and
// the receiver's next reports show the change.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>

#include "config/form_gps.h"
#include "config/form_io_options.h"
#include "config/form_serial.h"
#include "config/radio_group.h"
#include "core/main_window.h"
#include "sim/receiver_simulator.h"
#include "support/main_ui.h"
#include "support/monitor_gui.h"
#include "support/ui_script_gui.h"

namespace {

class DialogsWithSimulator : public testing::Test {
protected:
    void SetUp() override
    {
        line = StartMonitorOnFake(1);
        ASSERT_NE(line, nullptr);
        line->responder = [this](FakeSerial::State&, const uint8_t* bytes, size_t count) {
            receiver.Receive(bytes, count);
        };
    }

    // One poll tick of 200 ms on both sides of the line.
    void Run(int ticks)
    {
        for (int i = 0; i < ticks; ++i) {
            receiver.Advance(0.2);
            Feed(*line, receiver.TakeOutput());
            Tick();
        }
    }

    std::shared_ptr<FakeSerial::State> line;
    ReceiverSimulator receiver{SimOptions{}};
};

TEST_F(DialogsWithSimulator, IoOptionsChangeTheReportsTheMainWindowShows)
{
    Run(60); // start-up queries answered and a fix reported
    EXPECT_EQ(MainLabel("Label_PanelPos")->caption(), "LLA Position");
    Form_Main->ConfigureIOClick();
    Run(2);
    ASSERT_EQ(Ui<RadioGroup>(Form_IOOptions, "RadioGroup_Format")->itemIndex(), 1); // LLA, as the receiver answered
    Ui<RadioGroup>(Form_IOOptions, "RadioGroup_Format")->setItemIndex(0); // XYZ ECEF
    Form_IOOptions->Button_ApplyClick();
    Run(10);
    EXPECT_EQ(MainLabel("Label_PanelPos")->caption(), "ECEF Position");
    EXPECT_TRUE(MainPanel("Panel_X")->isVisibleTo(Form_Main));
}

TEST_F(DialogsWithSimulator, ElevationMaskIsKeptByTheReceiverAndReportedBack)
{
    Run(10);
    Form_Main->ConfigureGPSClick();
    Run(2);
    Ui<QLineEdit>(Form_GPS, "Edit_EMask")->setText("15");
    Form_GPS->Button_ApplyClick();
    Run(2);
    Ui<QLineEdit>(Form_GPS, "Edit_EMask")->setText("0");
    Form_Main->ConfigureGPSClick(); // asks again: the answer refills the dialog
    Run(2);
    EXPECT_EQ(Ui<QLineEdit>(Form_GPS, "Edit_EMask")->text().toDouble(), 15.0);
}

TEST_F(DialogsWithSimulator, SerialChangeTo19200KeepsTheLinkAliveOnBothSides)
{
    Run(10);
    Form_Main->ConfigureSerialClick();
    Run(2);
    Ui<QComboBox>(Form_Serial, "ComboBox_BaudRate")->setCurrentText("19200");
    ScriptedUi ui;
    ui.answers = {ui::Answer::Yes, ui::Answer::No}; // change the PC side; do not save to flash
    Form_Serial->Button_Port1Click();
    ASSERT_EQ(ui.boxes.size(), 2u);
    EXPECT_EQ(ui.boxes[0].title, "Update PC?");
    EXPECT_EQ(receiver.LineBaud(), 19200);
    EXPECT_EQ(line->settings.baud, 19200);
    TakeWritten(*line);
    MainPanel("Panel_PDOP")->setCaption("?");
    Run(15);
    EXPECT_NE(MainPanel("Panel_PDOP")->caption(), "?"); // reports still arrive and decode
}

} // namespace
