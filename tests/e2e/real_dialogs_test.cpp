// The engine's boxes, questions and file choices on Qt's real dialogs (not
// the scripted answerer, which never runs a loop and so cannot see a dialog
// that stops the ports): each kind is opened by a report that the running
// poll timer reads, stays open for 3 s of traffic on three pseudo-terminal
// ports, and is then answered from a timer. Nothing of those 3 s may be
// missing: every periodic query the ticks sent, every log record, every
// recorded frame; and the answer must take effect.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QEventLoop>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <memory>
#include <thread>

#include "core/main_window.h"
#include "core/windows.h"
#include "link/frame_scanner.h"
#include "link/packets.h"
#include "link/port_table.h"
#include "link/shared_flags.h"
#include "link/transmit_queue.h"
#include "logging/form_log.h"
#include "logging/form_log_zelk.h"
#include "logging/raw_recorder.h"
#include "monitor/monitor.h"
#include "monitor/poll_timer.h"
#include "platform/clock.h"
#include "platform/port_enumeration.h"
#include "platform/ui.h"
#include "support/file_size_limit.h"
#include "support/monitor_gui.h"
#include "support/pty.h"
#include "support/state_reset.h"
#include "support/temp_dir.h"
#include "support/ui_find.h"

namespace {

using Bytes = std::vector<uint8_t>;
constexpr int kOpenMs = 3000;
const int kComs[3] = {3, 5, 6}; // COM3 the display port, COM5 and COM6 monitored

Bytes Message4A(float timeOfFix)
{
    Bytes m(kMaxPacketMessage);
    m.resize(EncodeReport4A(Report4A{0.5f, 0.5f, 10.0f, 0.0f, timeOfFix}, m.data()));
    return m;
}

Bytes Message41()
{
    Bytes m(kMaxPacketMessage);
    m.resize(EncodeReport41(Report41{100.0f, 152, 13.0f}, m.data()));
    return m;
}

std::vector<int> FrameIds(const Bytes& bytes)
{
    std::vector<int> ids;
    FrameScanner scanner;
    scanner.Feed(bytes.data(), bytes.size(), [&](const ScannedPacket& p) { ids.push_back(p.id); });
    return ids;
}

// One kind of dialog: what arms it, the report that opens it, what the dialog
// must look like, how the timer answers it, and what the answer must do.
struct Kind {
    const char* name;
    std::function<void()> arm;
    Bytes trigger; // the message the display port receives
    bool recordingFails;
    std::function<void(QWidget* dialog, const TempDir& dir)> answer;
    std::function<void(const TempDir& dir)> check;
};

QMessageBox* Box(QWidget* dialog)
{
    auto* box = qobject_cast<QMessageBox*>(dialog);
    EXPECT_NE(box, nullptr) << "a message box is open";
    return box;
}

void ExpectBox(QMessageBox* box, const QString& title, const QString& textStart, QMessageBox::Icon icon)
{
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->windowTitle(), title);
    EXPECT_TRUE(box->text().startsWith(textStart)) << box->text().toStdString();
    EXPECT_EQ(box->icon(), icon);
}

// Runs the event loop until pred holds or timeoutMs passed.
bool WaitFor(const std::function<bool()>& pred, int timeoutMs)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!pred() && std::chrono::steady_clock::now() < end)
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    return pred();
}

std::vector<Kind> Kinds()
{
    return {
        {"OK box of a report (0x8F-26)", [] {}, Bytes{0x8F, 0x26, 0, 0, 0, 0}, false,
         [](QWidget* dialog, const TempDir&) {
             QMessageBox* box = Box(dialog);
             ExpectBox(box, "Success", "Settings successfully saved to Flash.", QMessageBox::NoIcon);
             box->button(QMessageBox::Ok)->click();
         },
         [](const TempDir&) { EXPECT_EQ(QApplication::activeModalWidget(), nullptr); }},
        {"Yes/No question of a report (PC clock)", [] { Flags.TimeToPcPending = 1; }, Message41(), false,
         [](QWidget* dialog, const TempDir&) {
             QMessageBox* box = Box(dialog);
             ExpectBox(box, "Set PC Clock?", "The receiver's time is 1982-12-05 00:01:27 UTC",
                       QMessageBox::Warning);
             EXPECT_EQ(box->defaultButton(), box->button(QMessageBox::No));
             box->button(QMessageBox::Yes)->click();
         },
         [](const TempDir&) { EXPECT_EQ(TestClock().now, (UtcTime{1982, 12, 5, 0, 1, 27, 0})); }},
        {"download position file dialog", [] { Flags.PositionDownloadPending = 1; }, Message4A(99.0f), false,
         [](QWidget* dialog, const TempDir& dir) {
             auto* files = qobject_cast<QFileDialog*>(dialog);
             ASSERT_NE(files, nullptr) << "a file dialog is open";
             EXPECT_EQ(files->acceptMode(), QFileDialog::AcceptSave);
             // As a user types the name into the dialog's name field.
             files->setDirectory(QString::fromStdString(dir.path()));
             Ui<QLineEdit>(files, "fileNameEdit")->setText("fix");
             static_cast<QDialog*>(files)->accept(); // public in QDialog
         },
         [](const TempDir& dir) {
             // The file is written and its success box follows the dialog.
             EXPECT_FALSE(ReadFileText(dir.file("fix.dat")).empty());
             QMessageBox* box = Box(QApplication::activeModalWidget());
             ExpectBox(box, "Success", "Position successfully downloaded.", QMessageBox::NoIcon);
             if (box)
                 box->button(QMessageBox::Ok)->click();
         }},
        {"download position file dialog onto an existing file", [] { Flags.PositionDownloadPending = 1; },
         Message4A(99.0f), false,
         [](QWidget* dialog, const TempDir& dir) {
             auto* files = qobject_cast<QFileDialog*>(dialog);
             ASSERT_NE(files, nullptr) << "a file dialog is open";
             std::FILE* old = std::fopen(dir.file("fix.dat").c_str(), "w");
             ASSERT_NE(old, nullptr);
             std::fputs("an older fix", old);
             std::fclose(old);
             files->setDirectory(QString::fromStdString(dir.path()));
             Ui<QLineEdit>(files, "fileNameEdit")->setText("fix");
             static_cast<QDialog*>(files)->accept();
             // "Replace File?" follows the file dialog, opened the same way; Yes writes the fix.
             ASSERT_TRUE(WaitFor([files] { return QApplication::activeModalWidget() != files; }, 2000));
             QMessageBox* box = Box(QApplication::activeModalWidget());
             ExpectBox(box, "Replace File?", "The file", QMessageBox::Warning);
             if (!box)
                 return;
             EXPECT_EQ(box->defaultButton(), box->button(QMessageBox::No));
             EXPECT_EQ(ReadFileText(dir.file("fix.dat")), "an older fix") << "nothing written before the answer";
             box->button(QMessageBox::Yes)->click();
         },
         [](const TempDir& dir) {
             const std::string written = ReadFileText(dir.file("fix.dat"));
             EXPECT_FALSE(written.empty());
             EXPECT_EQ(written.find("older"), std::string::npos) << "the fix replaced the old text";
             QMessageBox* box = Box(QApplication::activeModalWidget());
             ExpectBox(box, "Success", "Position successfully downloaded.", QMessageBox::NoIcon);
             if (box)
                 box->button(QMessageBox::Ok)->click();
         }},
        {"write-failure box of the recorder", [] {}, Bytes{0x46, 0, 0}, true,
         [](QWidget* dialog, const TempDir&) {
             QMessageBox* box = Box(dialog);
             ExpectBox(box, "Error", "Unable to write to data record file.", QMessageBox::Warning);
             box->button(QMessageBox::Ok)->click();
         },
         [](const TempDir&) { EXPECT_EQ(QApplication::activeModalWidget(), nullptr); }},
    };
}

// Writes everything still queued for the lines (paced 10 ms apart).
void DrainTransmitQueues()
{
    for (int i = 0; i < 200 && QueuedFrames(kComs[0] - 1) > 0; ++i) {
        Monitor::Instance().ScheduleTransmit();
        std::this_thread::sleep_for(std::chrono::milliseconds(12));
    }
}

TEST(RealDialogs, EachKindStaysOpenFor3sOfTrafficOnThreePortsAndLosesNothing)
{
    for (const Kind& kind : Kinds()) {
        SCOPED_TRACE(kind.name);
        ResetAllProgramState();
        TestClock().now = UtcTime{2026, 12, 8, 13, 0, 0, 0};
        TempDir dir;
        PtyPair peers[3];
        for (int i = 0; i < 3; ++i) {
            ASSERT_TRUE(peers[i].ok());
            SetComDevice(kComs[i], peers[i].devicePath());
        }
        DisplayPort = kComs[0];
        ASSERT_TRUE(StartMonitorOnDevice()); // the poll timer is stopped
        for (int i = 1; i < 3; ++i) {
            OpenError error;
            ASSERT_TRUE(Monitor::Instance().OpenPortOn(kComs[i], peers[i].devicePath(), error)) << error.reason;
        }
        Ui<QLineEdit>(Form_Log, "Edit_FileRoot")->setText(QString::fromStdString(dir.file("data")));
        Ui<QPushButton>(Form_Log, "Button_Start")->click();
        SetRawRecordFileName(dir.file("rec.zlk"));
        Ui<QPushButton>(Form_LogZelk, "Button_Start")->click();
        kind.arm();

        // What the running engine must account for: each tick's periodic query,
        // each report sent to each port.
        std::vector<int> queriesDue;
        int ticksWhileOpen = 0;
        std::unique_ptr<FileSizeLimit> full;
        QObject::connect(&Monitor::Instance(), &Monitor::ticked, Form_Main, [&] {
            if (PollTick == 0 || PollTick == 5)
                queriesDue.push_back(0x26);
            else if (PollTick == 1 || PollTick == 6)
                queriesDue.push_back(0x24);
            else if (PollTick == 2 || PollTick == 7)
                queriesDue.push_back(0x3C);
            if (QApplication::activeModalWidget()) {
                ++ticksWhileOpen;
                full.reset(); // room on the disk again once the failure is told
            }
        });
        std::vector<int> sentToDisplay;
        int reportsPerPort = 0;
        QTimer traffic;
        QObject::connect(&traffic, &QTimer::timeout, [&] {
            const Bytes frame = Frame(Message4A(static_cast<float>(reportsPerPort++)));
            for (PtyPair& peer : peers)
                peer.Write(frame);
            sentToDisplay.push_back(0x4A);
        });

        ui::Answerer* scripted = ui::InstallAnswerer(nullptr); // Qt's own dialogs from here
        Monitor::Instance().Start();
        if (kind.recordingFails)
            full = std::make_unique<FileSizeLimit>(ReadFileBytes(dir.file("rec.zlk")).size());
        peers[0].Write(Frame(kind.trigger));
        if (!kind.recordingFails)
            sentToDisplay.push_back(kind.trigger[0]);
        ASSERT_TRUE(WaitFor([] { return QApplication::activeModalWidget() != nullptr; }, 5000))
            << "the report opened its dialog";
        QWidget* dialog = QApplication::activeModalWidget();
        traffic.start(250);
        bool answered = false;
        QTimer::singleShot(kOpenMs, [&] {
            kind.answer(dialog, dir);
            answered = true;
        });
        WaitFor([&] { return answered; }, kOpenMs + 5000);
        traffic.stop();
        WaitFor([] { return false; }, 300); // the last reports read
        Monitor::Instance().Stop();
        ui::InstallAnswerer(scripted);
        kind.check(dir);

        EXPECT_GE(ticksWhileOpen, 5) << "the poll timer ran under the open dialog";
        DrainTransmitQueues();
        std::vector<int> queries = FrameIds(peers[0].ReadAvailable(500, 100));
        queries.erase(std::remove_if(queries.begin(), queries.end(),
                                     [](int id) { return id != 0x26 && id != 0x24 && id != 0x3C; }),
                      queries.end());
        EXPECT_EQ(queries, queriesDue) << "every periodic query of the display port went out";
        std::string records;
        for (int t = 0; t < reportsPerPort; ++t)
            records += std::to_string(t) + ".00 \r\n";
        const std::string logged = (kind.trigger[0] == 0x4A ? "99.00 \r\n" : "") + records;
        EXPECT_EQ(ReadFileText(dir.file("data3.dat")), logged) << "COM3";
        for (int com : {5, 6})
            EXPECT_EQ(ReadFileText(dir.file("data" + std::to_string(com) + ".dat")), records) << "COM" << com;
        EXPECT_EQ(FrameIds(ReadFileBytes(dir.file("rec.zlk"))), sentToDisplay) << "every frame recorded";
        Ui<QPushButton>(Form_LogZelk, "Button_Stop")->click();
        Ui<QPushButton>(Form_Log, "Button_Stop")->click();
        DestroyAllWindows();
    }
}

} // namespace
