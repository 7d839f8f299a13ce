// Menu commands that confirm before sending, and the change of display port.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QGuiApplication>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

#include "core/main_window.h"
#include "link/port_table.h"
#include "support/main_ui.h"
#include "support/monitor_gui.h"
#include "support/ui_script_gui.h"

namespace {

using Bytes = std::vector<uint8_t>;

class MainCommands : public testing::Test {
protected:
    void SetUp() override
    {
        com1 = StartMonitorOnFake(1, {1, 3, 5});
        ASSERT_NE(com1, nullptr);
    }
    std::shared_ptr<FakeSerial::State> com1;
};

TEST_F(MainCommands, ColdResetAnsweredNoSendsNothingAndKeepsThePanels)
{
    ScriptedUi ui;
    ui.answers = {ui::Answer::No};
    MainPanel("Panel_LatDeg")->setCaption("37°");
    Form_Main->InitializeColdClick();
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text, "Really clear battery backed-up RAM?");
    EXPECT_EQ(ui.boxes[0].title, "Cold reset?");
    EXPECT_EQ(ui.boxes[0].icon, ui::Icon::None);
    EXPECT_EQ(ui.boxes[0].buttons, ui::Buttons::YesNo);
    EXPECT_EQ(ui.boxes[0].defaultButton, ui::Answer::No);
    EXPECT_TRUE(com1->written.empty());
    EXPECT_EQ(MainPanel("Panel_LatDeg")->caption(), "37°");
}

// The real box: Enter alone must not wipe receivers, and with Tx All lit the
// question says how many it would reach.
TEST_F(MainCommands, ColdResetWithTxAllNamesThePortCountAndEnterAnswersNo)
{
    auto com3 = AttachFakeSerial(2);
    auto com5 = AttachFakeSerial(4);
    Main<QPushButton>("Button_TxAll")->click();
    QString shown;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        shown = box->text();
        QTest::keyClick(box, Qt::Key_Return);
    });
    ui::Answerer* const scripted = ui::InstallAnswerer(nullptr); // Qt's own box this time
    Form_Main->InitializeColdClick();
    ui::InstallAnswerer(scripted);
    EXPECT_EQ(shown, "Really clear battery backed-up RAM?\nTx All is on: this goes to 3 open ports.");
    for (const auto& port : {com1, com3, com5})
        EXPECT_TRUE(port->written.empty());
    Main<QPushButton>("Button_TxAll")->click(); // one port: no second line
    ScriptedUi ui;
    Form_Main->InitializeColdClick();
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text, "Really clear battery backed-up RAM?");
}

TEST_F(MainCommands, ColdResetAnsweredYesSendsWarnsAndBlanksThePosition)
{
    ScriptedUi ui;
    ui.answers = {ui::Answer::Yes, ui::Answer::Ok};
    MainPanel("Panel_LatDeg")->setCaption("37°");
    MainPanel("Panel_Alt_Z")->setCaption("10.0");
    MainPanel("Panel_Health")->setCaption("Doing position fixes");
    Form_Main->InitializeColdClick();
    EXPECT_EQ(TakeWritten(*com1), (Bytes{0x10, 0x1E, 0x4B, 0x10, 0x03}));
    ASSERT_EQ(ui.boxes.size(), 2u);
    EXPECT_EQ(ui.boxes[1].title, "Warning");
    EXPECT_EQ(ui.boxes[1].icon, ui::Icon::Warning);
    EXPECT_EQ(ui.boxes[1].text, "Serial port settings will revert to those saved in Flash memory.  It may be "
                                "necessary to change the PC settings to match if the receiver is no longer "
                                "communicating.");
    EXPECT_EQ(MainPanel("Panel_LatDeg")->caption(), "?");
    EXPECT_EQ(MainPanel("Panel_Alt_Z")->caption(), "?");
    EXPECT_EQ(MainPanel("Panel_Health")->caption(), "Doing position fixes");
}

TEST_F(MainCommands, SoftResetAndSaveToFlashAskFirst)
{
    ScriptedUi ui;
    ui.answers = {ui::Answer::Yes, ui::Answer::No, ui::Answer::Yes};
    Form_Main->InitializeWarmClick();
    EXPECT_EQ(TakeWritten(*com1), (Bytes{0x10, 0x25, 0x10, 0x03}));
    EXPECT_EQ(ui.boxes[0].text, "Really restart the receiver?");
    EXPECT_EQ(ui.boxes[0].title, "Soft reset?");
    Form_Main->ConfigureSEEClick();
    EXPECT_TRUE(TakeWritten(*com1).empty());
    EXPECT_EQ(ui.boxes[1].text,
              "Previous configuration information will be\nlost. Really replace receiver configuration\nin "
              "non-volatile memory?");
    EXPECT_EQ(ui.boxes[1].defaultButton, ui::Answer::No);
    EXPECT_EQ(ui.boxes[1].icon, ui::Icon::Warning);
    Form_Main->ConfigureSEEClick();
    EXPECT_EQ(TakeWritten(*com1), (Bytes{0x10, 0x8E, 0x26, 0x10, 0x03}));
}

TEST_F(MainCommands, ChangingTheDisplayPortRetargetsTheWindow)
{
    auto com3 = AttachFakeSerial(2);
    MainPanel("Panel_Health")->setCaption("Doing position fixes");
    Form_Main->ComboBox_DisplayComChange(1); // "COM3"
    EXPECT_EQ(DisplayPort, 3);
    EXPECT_FALSE(PortTable[0].open) << "the old display port was not monitored";
    EXPECT_EQ(MainPanel("Panel_Serial")->caption(), "COM3 9600, 8-O-1");
    EXPECT_EQ(Form_Main->windowTitle(), "3 JX_Monitor");
    EXPECT_EQ(MainPanel("Panel_Health")->caption(), "?");
    EXPECT_EQ(TakeWritten(*com3), (Bytes{0x10, 0x62, 0x04, 0x10, 0x03, 0x10, 0x35, 0x10, 0x03, 0x10, 0x8E, 0x15,
                                         0x10, 0x03, 0x10, 0x21, 0x10, 0x03}));
}

TEST_F(MainCommands, PickingTheCurrentDisplayPortChangesNothing)
{
    MainPanel("Panel_Health")->setCaption("Doing position fixes");
    Form_Main->ComboBox_DisplayComChange(0);
    EXPECT_TRUE(com1->written.empty());
    EXPECT_EQ(MainPanel("Panel_Health")->caption(), "Doing position fixes");
}

TEST_F(MainCommands, AMonitoredOldDisplayPortStaysOpenAndAPortThatWillNotOpenIsReported)
{
    ScriptedUi ui;
    PortTable[0].monitored = 1;
    Form_Main->ComboBox_DisplayComChange(2); // COM5 has no device
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text, "Could not initialize COM5.\nNo device is mapped to COM5 (see jx_monitor --list-ports).");
    EXPECT_EQ(ui.boxes[0].title, "Error");
    EXPECT_EQ(DisplayPort, 5) << "the display port changes all the same";
    EXPECT_TRUE(PortTable[0].open);
    EXPECT_TRUE(com1->written.empty());
}

} // namespace
