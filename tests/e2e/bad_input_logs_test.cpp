// Logging where the disk says no: a full device, a file-size limit and a
// directory that cannot be written. The user is told once, the other ports
// go on being logged, and what was written before stays on disk whole.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

#include <csignal>
#include <filesystem>
#include <thread>

#include <sys/resource.h>
#include <unistd.h>

#include "monitor/monitor.h"
#include "core/main_window.h"
#include "core/startup.h"
#include "link/packets.h"
#include "link/port_table.h"
#include "link/shared_flags.h"
#include "logging/form_log.h"
#include "logging/form_log_zelk.h"
#include "platform/port_enumeration.h"
#include "support/monitor_gui.h"
#include "support/pty.h"
#include "support/temp_dir.h"
#include "support/ui_find.h"
#include "support/ui_script_gui.h"

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;

// A 0x4A position report with only the time of fix set, framed.
Bytes PositionAt(float timeOfFix)
{
    Bytes m(kMaxPacketMessage);
    m.resize(EncodeReport4A(Report4A{0.5f, 0.5f, 10.0f, 0.0f, timeOfFix}, m.data()));
    return Frame(m);
}

// Lowers the soft file-size limit for its span and restores it after. It
// leaves the signal that a write past the limit raises alone: ignoring it
// is the program's own business.
class LoweredFileSizeLimit {
public:
    explicit LoweredFileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &saved_);
        rlimit lowered = saved_;
        lowered.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &lowered);
    }
    ~LoweredFileSizeLimit() { setrlimit(RLIMIT_FSIZE, &saved_); }
    LoweredFileSizeLimit(const LoweredFileSizeLimit&) = delete;
    LoweredFileSizeLimit& operator=(const LoweredFileSizeLimit&) = delete;

private:
    rlimit saved_{};
};

// Health reports recorded from a receiver on a real device, with the start-up
// as the program runs it: the writes past the limit fail and are told once,
// the monitor is not ended by the limit, and no torn frame stays behind.
TEST(FullDisk, RecordingPastTheFileSizeLimitIsToldOnceAndKeepsTheWholeFrames)
{
    std::signal(SIGXFSZ, SIG_DFL); // as a new process starts
    PtyPair receiver;
    ASSERT_TRUE(receiver.ok());
    SetComDevice(3, receiver.devicePath());
    ScriptedUi ui;
    ASSERT_EQ(StartMonitor({"-c3"}), StartResult::Run);
    Monitor::Instance().Stop();
    Monitor::Instance().SetAutoQuery(false);
    PortTable[2].searchStep = 0;
    TempDir dir;
    ui.fileNames.push_back(QString::fromStdString(dir.file("rec.zlk")));
    Form_LogZelk->Button_OpenClick();
    Ui<QPushButton>(Form_LogZelk, "Button_Start")->click();
    ASSERT_TRUE(Flags.RawRecordingOn);

    const Bytes health = Frame({0x46, 0x00, 0x00}); // 6 bytes on disk
    auto receive = [&] {
        ASSERT_TRUE(receiver.Write(health));
        SerialDevice* device = PortTable[2].handle.get();
        for (int i = 0; i < 200 && device->QueuedInputBytes() < static_cast<int>(health.size()); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        Tick();
    };
    {
        LoweredFileSizeLimit limit(15); // room for two frames and half of the third
        for (int i = 0; i < 4; ++i)
            receive();
    }
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text, "Unable to write to data record file.");
    EXPECT_EQ(Ui<Label>(Form_LogZelk, "Label_WriteError")->caption(), "Unable to write to data record file.");
    EXPECT_EQ(ReadFileBytes(dir.file("rec.zlk")), Bytes({0x10, 0x46, 0, 0, 0x10, 0x03, 0x10, 0x46, 0, 0, 0x10, 0x03}));
    // Room again: recording goes on without a second box.
    receive();
    EXPECT_EQ(ReadFileBytes(dir.file("rec.zlk")).size(), 18u);
    EXPECT_EQ(ui.boxes.size(), 1u);
    EXPECT_TRUE(Flags.RawRecordingOn);
}

class DataLogOnBadDisk : public testing::Test {
protected:
    void SetUp() override
    {
        const DisplayAndMonitored lines = StartDisplayAndMonitored();
        display = lines.display;
        other = lines.monitored;
        ASSERT_NE(display, nullptr);
        Ui<QLineEdit>(Form_Log, "Edit_FileRoot")->setText(QString::fromStdString(dir.file("data")));
    }

    // A position report on both ports, a second apart.
    void SendBoth(float timeOfFix)
    {
        Feed(*display, PositionAt(timeOfFix));
        Feed(*other, PositionAt(timeOfFix));
        Tick();
    }

    std::shared_ptr<FakeSerial::State> display, other;
    ScriptedUi ui;
    TempDir dir;
};

TEST_F(DataLogOnBadDisk, FullDeviceIsToldOnceAndTheOtherPortIsLogged)
{
    if (!FileExists("/dev/full"))
        GTEST_SKIP() << "no /dev/full on this system";
    ui.fileNames.push_back("/dev/full");
    Ui<QPushButton>(Form_Log, "Button_Browse")->click();
    Ui<QPushButton>(Form_Log, "Button_Start")->click();
    for (float t : {100.0f, 101.0f, 102.0f})
        SendBoth(t);
    EXPECT_EQ(ReadFileText(dir.file("data5.dat")), "100.00 \r\n101.00 \r\n102.00 \r\n");
    EXPECT_EQ(Ui<Label>(Form_Log, "Label_FileError")->caption(), "Unable to write /dev/full");
    EXPECT_EQ(Ui<Panel>(Form_Log, "Panel_DataSets")->caption(), "0"); // nothing of the active port reached the disk
    EXPECT_TRUE(ui.boxes.empty());
}

// A record that does not fit under the limit leaves no part of itself
// behind: the file holds whole lines, before and after the failure.
TEST_F(DataLogOnBadDisk, RecordPastTheFileSizeLimitLeavesOnlyWholeLines)
{
    std::signal(SIGXFSZ, SIG_IGN); // the program's start-up does this; tested above
    Ui<QPushButton>(Form_Log, "Button_Start")->click();
    SendBoth(100.0f); // "100.00 \r\n": 9 bytes in each file
    {
        LoweredFileSizeLimit limit(13);
        SendBoth(101.0f);
    }
    SendBoth(102.0f);
    EXPECT_EQ(ReadFileText(dir.file("data3.dat")), "100.00 \r\n102.00 \r\n");
    EXPECT_EQ(ReadFileText(dir.file("data5.dat")), "100.00 \r\n102.00 \r\n");
    EXPECT_EQ(Ui<Label>(Form_Log, "Label_FileError")->caption().toStdString(),
              "Unable to write " + dir.file("data3.dat") + ", " + dir.file("data5.dat"));
    EXPECT_TRUE(ui.boxes.empty());
}

// Log files whose directory is a regular file, or not writable: told once,
// and the other port, logged elsewhere, goes on.
TEST_F(DataLogOnBadDisk, UnwritableDirectoryIsToldOnceAndTheOtherPortIsLogged)
{
    WriteFileText(dir.file("plain"), "not a directory");
    Ui<QLineEdit>(Form_Log, "Edit_FileRoot")->setText(QString::fromStdString(dir.file("plain/data")));
    ui.fileNames.push_back(QString::fromStdString(dir.file("mine.dat")));
    Ui<QPushButton>(Form_Log, "Button_Browse")->click();
    Ui<QPushButton>(Form_Log, "Button_Start")->click();
    for (float t : {7.0f, 8.0f})
        SendBoth(t);
    EXPECT_EQ(ReadFileText(dir.file("mine.dat")), "7.00 \r\n8.00 \r\n");
    EXPECT_EQ(Ui<Label>(Form_Log, "Label_FileError")->caption().toStdString(),
              "Unable to write " + dir.file("plain/data5.dat"));
    EXPECT_EQ(Ui<Panel>(Form_Log, "Panel_DataSets")->caption(), "2");

    // A directory without write permission (privileged users write there all the same).
    Ui<QPushButton>(Form_Log, "Button_Stop")->click();
    const std::string locked = dir.file("locked");
    fs::create_directory(locked);
    fs::permissions(locked, fs::perms::owner_read | fs::perms::owner_exec);
    if (::access(locked.c_str(), W_OK) != 0) {
        Ui<QLineEdit>(Form_Log, "Edit_FileRoot")->setText(QString::fromStdString(locked + "/data"));
        Ui<QPushButton>(Form_Log, "Button_Start")->click();
        SendBoth(9.0f);
        EXPECT_EQ(Ui<Label>(Form_Log, "Label_FileError")->caption().toStdString(),
                  "Unable to write " + locked + "/data5.dat");
        EXPECT_EQ(ReadFileText(dir.file("mine.dat")), "9.00 \r\n");
        Ui<QPushButton>(Form_Log, "Button_Stop")->click();
    }
    fs::permissions(locked, fs::perms::owner_all);
    EXPECT_TRUE(ui.boxes.empty());
}

// A named pipe or a directory where a log or recording file should be: the
// open would wait for a reader for ever; it is refused with the usual words
// at once, and the other port is logged.
TEST_F(DataLogOnBadDisk, PipeOrDirectoryAtALogOrRecordingPathIsRefusedWithoutWaiting)
{
    const std::string pipe = dir.file("pipe.dat");
    ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
    const std::string folder = dir.file("folder.dat");
    fs::create_directory(folder);
    Ui<QCheckBox>(Form_Log, "CheckBox_Append")->setChecked(true); // the other port's file grows across both runs
    std::string otherLog;
    float timeOfFix = 1.0f;
    for (const std::string& path : {pipe, folder}) {
        SCOPED_TRACE(path);
        ui.fileNames.push_back(QString::fromStdString(path));
        Ui<QPushButton>(Form_Log, "Button_Browse")->click();
        Ui<QPushButton>(Form_Log, "Button_Start")->click();
        SendBoth(timeOfFix);
        otherLog += std::to_string(static_cast<int>(timeOfFix)) + ".00 \r\n";
        timeOfFix += 1.0f;
        EXPECT_EQ(Ui<Label>(Form_Log, "Label_FileError")->caption().toStdString(), "Unable to write " + path);
        EXPECT_EQ(ReadFileText(dir.file("data5.dat")), otherLog);
        Ui<QPushButton>(Form_Log, "Button_Stop")->click();

        ui.fileNames.push_back(QString::fromStdString(path));
        Form_LogZelk->Button_OpenClick();
        Ui<QPushButton>(Form_LogZelk, "Button_Start")->click();
        ASSERT_EQ(ui.boxes.size(), 1u);
        EXPECT_EQ(ui.boxes[0].text.toStdString(),
                  "Unable to open data record file.\n" + path +
                      (path == folder ? ": Is a directory" : ": not a regular file"));
        EXPECT_FALSE(Flags.RawRecordingOn);
        ui.boxes.clear();
    }
    EXPECT_TRUE(fs::is_fifo(pipe) && fs::is_directory(folder)) << "neither was replaced";
}

// A recording file in a directory that cannot take it is refused at Start.
TEST_F(DataLogOnBadDisk, RecordingIntoAnUnwritablePlaceIsRefusedAtStart)
{
    WriteFileText(dir.file("plain"), "not a directory");
    ui.fileNames.push_back(QString::fromStdString(dir.file("plain/rec.zlk")));
    Form_LogZelk->Button_OpenClick();
    Ui<QPushButton>(Form_LogZelk, "Button_Start")->click();
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text.toStdString(),
              "Unable to open data record file.\n" + dir.file("plain/rec.zlk") + ": Not a directory");
    EXPECT_FALSE(Flags.RawRecordingOn);
    EXPECT_EQ(Ui<Label>(Form_LogZelk, "Label_OnOff")->caption(), "Off");
}

} // namespace
