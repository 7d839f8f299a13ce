// The start-up sequence from the arguments to the running windows: options by
// their second character, the port list, the port selection dialog, the
// display port that will not open, and our own long options.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QTimer>

#include "core/form_comm.h"
#include "core/main_window.h"
#include "core/run_options.h"
#include "core/startup.h"
#include "core/dispatch.h"
#include "core/windows.h"
#include "link/port_table.h"
#include "platform/port_enumeration.h"
#include "support/monitor_gui.h"
#include "support/ui_script_gui.h"
#include "transfer/form_alm.h"

namespace {

std::vector<int32_t> ListedPorts() { return {PortList.begin(), PortList.begin() + std::max(PortCount, 0)}; }

// Accepts the selection dialog at a row, remembering the rows it offered
// and, when asked, the device line it showed for each of them.
std::function<int(QDialog&)> ChooseRow(int row, QStringList* offered, QStringList* devices = nullptr)
{
    return [row, offered, devices](QDialog& dialog) {
        auto& comm = static_cast<TForm_Comm&>(dialog);
        for (int i = 0; i < comm.ComboBox_Com->count(); ++i) {
            *offered << comm.ComboBox_Com->itemText(i);
            comm.ComboBox_Com->setCurrentIndex(i);
            if (devices)
                *devices << comm.Label_Device->text();
        }
        comm.ComboBox_Com->setCurrentIndex(row);
        comm.Button_ContinueClick();
        return dialog.result();
    };
}

TEST(Startup, EnableAllAndDisplayPortFiveNeedNoDialog)
{
    ScriptedUi ui;
    AttachFakeSerial(4);
    EXPECT_EQ(StartMonitor({"-e", "-c5"}), StartResult::Run);
    EXPECT_EQ(PortCount, 16);
    EXPECT_EQ(DisplayPort, 5);
    EXPECT_TRUE(ui.dialogs.empty());
    EXPECT_FALSE(Form_Main->IsMultiport());
    EXPECT_EQ(PortTable[4].searchStep, 7);
    EXPECT_TRUE(Form_Main->Timer_ZELK->isActive());
    EXPECT_EQ(Form_Main->ComboBox_DisplayCom->currentText(), "COM5");
    for (const LineCodes& codes : PortLineCodes)
        EXPECT_EQ(codes, (LineCodes{7, 3, 1, 0}));
}

TEST(Startup, ADisplayPortMissingFromTheListJoinsItSortedAndMSelectsMultiport)
{
    ScriptedUi ui;
    SetComDevice(1, "/dev/absent-1");
    SetComDevice(3, "/dev/absent-3");
    AttachFakeSerial(11);
    EXPECT_EQ(StartMonitor({"/c12", "/m"}), StartResult::Run);
    EXPECT_EQ(ListedPorts(), (std::vector<int32_t>{1, 3, 12}));
    EXPECT_EQ(DisplayPort, 12);
    EXPECT_TRUE(Form_Main->IsMultiport());
    EXPECT_TRUE(ui.dialogs.empty());
    EXPECT_TRUE(Form_Main->Panel_MonCom[11]->isEnabled());
    EXPECT_FALSE(Form_Main->Panel_MonCom[1]->isEnabled());
}

TEST(Startup, NoArgumentsAlwaysAsksAndTheBuiltInRowThreeMeansCom3)
{
    ScriptedUi ui;
    QStringList offered;
    ui.dialogHandler = ChooseRow(2, &offered);
    AttachFakeSerial(2);
    EXPECT_EQ(StartMonitor({}), StartResult::Run);
    EXPECT_EQ(ui.dialogs, std::vector<QString>{"Form_Comm"});
    EXPECT_EQ(offered, QStringList({"COM 1", "COM 2", "COM 3", "COM 4"}));
    EXPECT_EQ(DisplayPort, 3);
    EXPECT_EQ(PortCount, 16) << "no list known: all ports enabled";
    EXPECT_FALSE(Form_Main->IsMultiport());
}

TEST(Startup, TheDialogOffersTheListedPortsAndItsRowIndexesTheList)
{
    ScriptedUi ui;
    QStringList offered, devices;
    ui.dialogHandler = ChooseRow(1, &offered, &devices);
    SetComDevice(2, "/dev/absent-2");
    SetComDevice(7, "/dev/absent-7");
    AttachFakeSerial(6);
    EXPECT_EQ(StartMonitor({}), StartResult::Run);
    EXPECT_EQ(offered, QStringList({"COM2", "COM7"}));
    EXPECT_EQ(devices, QStringList({"COM2: /dev/absent-2", "COM7: /dev/absent-7"}));
    EXPECT_EQ(DisplayPort, 7);
}

TEST(Startup, ASingleLetterArgumentAppliesNoOption)
{
    ScriptedUi ui;
    QStringList offered;
    ui.dialogHandler = ChooseRow(0, &offered);
    AttachFakeSerial(0);
    EXPECT_EQ(StartMonitor({"x"}), StartResult::Run);
    EXPECT_EQ(ui.dialogs.size(), 1u);
    EXPECT_EQ(DisplayPort, 1);
    EXPECT_FALSE(Form_Main->IsMultiport());
}

TEST(Startup, OnlyTheFirstArgumentWithALetterCounts)
{
    ScriptedUi ui;
    AttachFakeSerial(3);
    EXPECT_EQ(StartMonitor({"-c4", "-c6", "-mx", "-e"}), StartResult::Run);
    EXPECT_EQ(DisplayPort, 4);
    EXPECT_TRUE(Form_Main->IsMultiport());
    EXPECT_EQ(PortCount, 16);
}

TEST(Startup, CancellingTheSelectionEndsQuietly)
{
    ScriptedUi ui; // no handler: the dialog is rejected
    EXPECT_EQ(StartMonitor({"-c0"}), StartResult::Cancelled);
    EXPECT_EQ(ui.dialogs.size(), 1u);
    EXPECT_EQ(Form_Main, nullptr);
    EXPECT_TRUE(ui.boxes.empty());
    for (const PortRecord& port : PortTable)
        EXPECT_FALSE(port.open);
}

TEST(Startup, ADisplayPortThatWillNotOpenShowsTheBoxAndEnds)
{
    ScriptedUi ui;
    EXPECT_EQ(StartMonitor({"-c7"}), StartResult::PortFailed);
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text, "Could not initialize COM7.");
    EXPECT_EQ(ui.boxes[0].title, "Serial Port Error");
    EXPECT_EQ(ui.boxes[0].buttons, ui::Buttons::Ok);
    EXPECT_EQ(Form_Main, nullptr);
    EXPECT_EQ(Form_Alm, nullptr);
}

int g_recordingClosed = 0;
void CountRecordingClose() { ++g_recordingClosed; }

TEST(Startup, ProgramEndClosesTheRecordingAndEveryOpenPort)
{
    ScriptedUi ui;
    AttachFakeSerial(1);
    ASSERT_EQ(StartMonitor({"-c2"}), StartResult::Run);
    AttachFakeSerial(9);
    g_recordingClosed = 0;
    CloseRawRecordingHook = &CountRecordingClose;
    DestroyAllWindows();
    EXPECT_EQ(g_recordingClosed, 1);
    EXPECT_FALSE(PortTable[1].open);
    EXPECT_FALSE(PortTable[9].open);
    EXPECT_EQ(Form_Main, nullptr);
}

TEST(RunOptions, OurLongOptionsAreTakenOutBeforeTheLetterScan)
{
    std::vector<std::string> args = {"--screenshot", "/tmp/a.png", "-c3", "--quit-after", "2.5", "--list-ports",
                                     "--demo", "--show", "Form_Track", "/m"};
    RunOptions options;
    std::string error;
    ASSERT_TRUE(TakeRunOptions(args, options, &error)) << error;
    EXPECT_EQ(args, (std::vector<std::string>{"-c3", "/m"}));
    EXPECT_EQ(options.screenshot, "/tmp/a.png");
    EXPECT_DOUBLE_EQ(options.quitAfter, 2.5);
    EXPECT_TRUE(options.listPorts);
    EXPECT_TRUE(options.demo);
    EXPECT_EQ(options.showWindow, "Form_Track");
}

TEST(RunOptions, AMissingOrBadValueIsRefused)
{
    RunOptions options;
    std::string error;
    std::vector<std::string> missing = {"--screenshot"};
    EXPECT_FALSE(TakeRunOptions(missing, options, &error));
    EXPECT_NE(error.find("--screenshot"), std::string::npos);
    std::vector<std::string> bad = {"--quit-after", "soon"};
    EXPECT_FALSE(TakeRunOptions(bad, options, &error));
}

} // namespace
