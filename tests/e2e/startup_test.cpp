// The start-up sequence from the arguments to the running windows: options by
// their second character, the port list, the port selection dialog, the
// display port that will not open, and our own long options.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QTimer>

#include <cstdio>

#include <fcntl.h>
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "monitor/monitor.h"
#include "core/form_comm.h"
#include "core/main_window.h"
#include "core/open_failure.h"
#include "core/run_options.h"
#include "core/startup.h"
#include "monitor/dispatch.h"
#include "core/windows.h"
#include "link/port_table.h"
#include "platform/port_enumeration.h"
#include "support/main_ui.h"
#include "support/monitor_gui.h"
#include "support/pty.h"
#include "support/state_reset.h"
#include "support/temp_dir.h"
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
        QComboBox* rows = Ui<QComboBox>(&comm, "ComboBox_Com");
        for (int i = 0; i < rows->count(); ++i) {
            *offered << rows->itemText(i);
            rows->setCurrentIndex(i);
            if (devices)
                *devices << Ui<QLabel>(&comm, "Label_Device")->text();
        }
        rows->setCurrentIndex(row);
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
    EXPECT_TRUE(Monitor::Instance().IsRunning());
    EXPECT_EQ(Main<QComboBox>("ComboBox_DisplayCom")->currentText(), "COM5");
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
    EXPECT_TRUE(MainPanel("Panel_MonCom", 11)->isEnabled());
    EXPECT_FALSE(MainPanel("Panel_MonCom", 1)->isEnabled());
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

// Runs f with stderr going to a file; returns what it printed there.
template <typename F>
std::string CaptureStderr(F&& f)
{
    TempDir dir;
    const std::string path = dir.file("stderr");
    std::fflush(stderr);
    const int saved = dup(2);
    const int file = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    dup2(file, 2);
    close(file);
    f();
    std::fflush(stderr);
    dup2(saved, 2);
    close(saved);
    return ReadFileText(path);
}

// A display port that will not open: no device mapped, a missing path, a
// device another holder has. The box keeps its first line and says why; the
// same words go to stderr; the program ends.
TEST(Startup, ADisplayPortThatWillNotOpenSaysWhyInTheBoxAndOnStderr)
{
    PtyPair held;
    ASSERT_TRUE(held.ok());
    auto holder = OpenSerialDevice(held.devicePath());
    ASSERT_NE(holder, nullptr);
    const struct {
        std::string path;
        std::string secondLine;
    } cases[] = {
        {"", "No device is mapped to COM7 (see jx_monitor --list-ports)."},
        {"/dev/ttyUSB-unplugged", "/dev/ttyUSB-unplugged: No such file or directory"},
        {held.devicePath(), held.devicePath() + ": Device or resource busy"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.secondLine);
        ResetAllProgramState();
        if (!c.path.empty())
            SetComDevice(7, c.path);
        ScriptedUi ui;
        StartResult result{};
        const std::string err = CaptureStderr([&] { result = StartMonitor({"-c7"}); });
        EXPECT_EQ(result, StartResult::PortFailed);
        const std::string text = "Could not initialize COM7.\n" + c.secondLine;
        ASSERT_EQ(ui.boxes.size(), 1u);
        EXPECT_EQ(ui.boxes[0].text.toStdString(), text);
        EXPECT_EQ(ui.boxes[0].title, "Serial Port Error");
        EXPECT_EQ(ui.boxes[0].buttons, ui::Buttons::Ok);
        EXPECT_EQ(err, "jx_monitor: " + text + "\n");
        EXPECT_EQ(Form_Main, nullptr);
        EXPECT_EQ(Form_Alm, nullptr);
    }
}

// A user without access to the device (not in its group): the open
// runs in a child that has given up root, and the words it would show come
// back through a pipe.
TEST(Startup, APermissionRefusalSaysHowToGetAccess)
{
    PtyPair device; // owned by root, not writable for others
    ASSERT_TRUE(device.ok());
    const passwd* nobody = getpwnam("nobody");
    if (!nobody || geteuid() != 0)
        GTEST_SKIP() << "needs to run as root with a user 'nobody' to drop privileges to";
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        close(fds[0]);
        if (setgroups(0, nullptr) != 0 || setgid(nobody->pw_gid) != 0 || setuid(nobody->pw_uid) != 0)
            _exit(2);
        OpenError error;
        if (OpenSerialDevice(device.devicePath(), error))
            _exit(3);
        const std::string text = OpenFailureText(4, device.devicePath(), error);
        _exit(write(fds[1], text.data(), text.size()) == static_cast<ssize_t>(text.size()) ? 0 : 4);
    }
    close(fds[1]);
    std::string text;
    char buffer[512];
    for (ssize_t n; (n = read(fds[0], buffer, sizeof buffer)) > 0;)
        text.append(buffer, static_cast<size_t>(n));
    close(fds[0]);
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    ASSERT_NE(WEXITSTATUS(status), 2) << "could not drop privileges";
    ASSERT_NE(WEXITSTATUS(status), 3) << "the unprivileged user could open the device";
    // A pseudo-terminal's group may only write to it: no group to join would help.
    struct stat info {};
    ASSERT_EQ(stat(device.devicePath().c_str(), &info), 0);
    // getgrgid answers in one static record: each name is copied before the next call.
    const group* found = getgrgid(info.st_gid);
    ASSERT_NE(found, nullptr);
    const std::string owner = found->gr_name;
    found = getgrgid(nobody->pw_gid);
    ASSERT_NE(found, nullptr);
    const std::string nobodyGroup = found->gr_name;
    EXPECT_EQ(text, "Could not initialize COM4.\n" + device.devicePath() + ": Permission denied\nThe device belongs to the group " +
                        owner + ". Your groups: " + nobodyGroup +
                        ".\nJoining a group would not help: give the device to a group such as dialout with a udev "
                        "rule (see 60-gps-receiver.rules.example).");
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
                                     "--demo", "--show", "Form_Track", "--show-all", "/m"};
    RunOptions options;
    std::string error;
    ASSERT_TRUE(TakeRunOptions(args, options, &error)) << error;
    EXPECT_EQ(args, (std::vector<std::string>{"-c3", "/m"}));
    EXPECT_EQ(options.screenshot, "/tmp/a.png");
    EXPECT_DOUBLE_EQ(options.quitAfter, 2.5);
    EXPECT_TRUE(options.listPorts);
    EXPECT_TRUE(options.demo);
    EXPECT_EQ(options.showWindow, "Form_Track");
    EXPECT_TRUE(options.showAll);
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
