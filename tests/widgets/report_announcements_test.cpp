// The seam between the decoders and the windows: a report's bytes (written
// out by hand) are stored for the port before the port is announced, and the
// windows that follow the announcements act in the order store, show, log.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <functional>

#include "core/main_window.h"
#include "logging/form_log.h"
#include "model/port_reports.h"
#include "notify/receiver_notifier.h"
#include "report_delivery.h"
#include "support/main_ui.h"
#include "support/monitor_gui.h"
#include "support/ui_script_gui.h"

namespace {

constexpr int kDisplaySlot = 0;

class ReportAnnouncements : public testing::Test {
protected:
    void SetUp() override { ASSERT_NE(StartMonitorOnFake(kDisplaySlot + 1), nullptr); }
};

struct Announced {
    const char* name;
    std::vector<uint8_t> message; // id first, fields big-endian
    void (ReceiverNotifier::*signal)(int);
    std::function<void(const PortReportRecord&)> expectStored;
};

TEST_F(ReportAnnouncements, EachReportIsStoredBeforeItsPortIsAnnounced)
{
    const std::vector<Announced> rows = {
        {"0x41 GPS time", {0x41, 0x3F, 0x80, 0, 0, 0x04, 0x12, 0x41, 0x50, 0, 0}, &ReceiverNotifier::timeChanged,
         [](const PortReportRecord& r) {
             EXPECT_EQ(r.gpsWeek, 1042);
             EXPECT_EQ(r.timeOfWeekS, 1.0f);
             EXPECT_EQ(r.utcOffsetS, 13.0f);
         }},
        {"0x45 versions", {0x45, 2, 5, 7, 15, 1, 1, 3, 12, 31, 0}, &ReceiverNotifier::productChanged,
         [](const PortReportRecord& r) {
             EXPECT_EQ(r.navigation, (FirmwareVersion{2, 5, 7, 15, 1}));
             EXPECT_EQ(r.signal, (FirmwareVersion{1, 3, 12, 31, 0}));
         }},
        {"0x4E refused", {0x4E, 'N'}, &ReceiverNotifier::timeAnswered,
         [](const PortReportRecord& r) { EXPECT_EQ(r.timeAnswer, 'N'); }},
        {"0x46 health", {0x46, 0x03, 0x10}, &ReceiverNotifier::statusChanged,
         [](const PortReportRecord& r) {
             EXPECT_EQ(r.statusId, 0x46);
             EXPECT_EQ(r.healthCode, 3);
             EXPECT_EQ(r.healthErrors, 0x10);
         }},
        {"0x4B status", {0x4B, 0x5A, 0x08, 0}, &ReceiverNotifier::statusChanged,
         [](const PortReportRecord& r) {
             EXPECT_EQ(r.statusId, 0x4B);
             EXPECT_EQ(r.statusFlags, 0x08);
         }},
        {"0x82 DGPS", {0x82, 0x03}, &ReceiverNotifier::statusChanged,
         [](const PortReportRecord& r) {
             EXPECT_EQ(r.statusId, 0x82);
             EXPECT_EQ(r.dgpsMode, 3);
         }},
        {"0x4A position",
         {0x4A, 0x3F, 0, 0, 0, 0xBF, 0x80, 0, 0, 0x42, 0xC8, 0, 0, 0, 0, 0, 0, 0x41, 0x20, 0, 0},
         &ReceiverNotifier::positionChanged,
         [](const PortReportRecord& r) {
             EXPECT_EQ(r.positionId, 0x4A);
             EXPECT_EQ(r.latRad, 0.5);
             EXPECT_EQ(r.lonRad, -1.0);
             EXPECT_EQ(r.altM, 100.0);
             EXPECT_EQ(r.fixTime, 10.0f);
         }},
    };
    for (const Announced& row : rows) {
        SCOPED_TRACE(row.name);
        PortReports[kDisplaySlot] = {};
        int announced = 0;
        const QMetaObject::Connection c = QObject::connect(&Receivers(), row.signal, [&](int slot) {
            EXPECT_EQ(slot, kDisplaySlot);
            row.expectStored(PortReports[kDisplaySlot]);
            ++announced;
        });
        DeliverMessage(kDisplaySlot, row.message);
        QObject::disconnect(c);
        EXPECT_EQ(announced, 1);
    }
}

// A 0x42 (no clock bias) on a monitored display port while the bias is to be
// logged: the position is already shown when the logger's warning opens, and
// only then does the bias box go grey and unchecked.
TEST_F(ReportAnnouncements, TheDisplayShowsAPositionBeforeTheLoggerWarnsAboutIt)
{
    PortTable[kDisplaySlot].monitored = 1;
    Ui<QCheckBox>(Form_Log, "CheckBox_Bias")->setEnabled(true);
    Ui<QCheckBox>(Form_Log, "CheckBox_Bias")->setChecked(true);
    ScriptedUi ui;
    QString shownX;
    bool boxStillChecked = false;
    ui.whileOpen = [&](const ui::MessageRequest&) {
        shownX = MainPanel("Panel_X")->caption();
        boxStillChecked = Ui<QCheckBox>(Form_Log, "CheckBox_Bias")->isChecked();
    };
    // X 1.5, Y -2, Z 4 m, fix time 8 s.
    DeliverMessage(kDisplaySlot, {0x42, 0x3F, 0xC0, 0, 0, 0xC0, 0, 0, 0, 0x40, 0x80, 0, 0, 0x41, 0, 0, 0});
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text, "Port 1 monitored but not outputting bias.");
    EXPECT_EQ(shownX, "1.50");
    EXPECT_TRUE(boxStillChecked);
    EXPECT_FALSE(Ui<QCheckBox>(Form_Log, "CheckBox_Bias")->isChecked());
    EXPECT_FALSE(Ui<QCheckBox>(Form_Log, "CheckBox_Bias")->isEnabled());
}

} // namespace
