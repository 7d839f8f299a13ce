// Today's receivers played into the monitor from their recordings: the
// timing, compact-fix, multi-GNSS and version reports reach the model, the
// main window and the Timing Receiver window. Expected values are the worked
// values of the recordings' notes (first fixes to the 1e-6 degree, places of
// static receivers to a few hundred metres, times of week to the millisecond).
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "core/main_window.h"
#include "link/port_table.h"
#include "model/history_feed.h"
#include "model/port_reports.h"
#include "notify/receiver_notifier.h"
#include "support/captures.h"
#include "support/main_ui.h"
#include "support/monitor_gui.h"
#include "views/form_ports.h"
#include "views/form_timing.h"

namespace {

constexpr int kDisplayCom = 2;
constexpr size_t kSlot = kDisplayCom - 1;
constexpr double kNone = std::numeric_limits<double>::quiet_NaN();

struct Seen {
    int positions = 0;
    double firstLat = kNone, firstLon = kNone, lastLat = kNone, lastLon = kNone;
    int times = 0;
    double firstTow = kNone, lastTow = kNone;
    int week = 0;
};

bool IsGeodetic(uint8_t id) { return id != 0x42 && id != 0x83; }

// Plays the recording on the display port in small reads; stop (if given)
// ends it early, once true after a tick.
Seen Play(const std::string& capture, bool (*stop)() = nullptr)
{
    Seen seen;
    auto line = StartMonitorOnFake(kDisplayCom);
    if (!line)
        return seen;
    QObject context;
    const PortReportRecord& r = PortReports[kSlot];
    QObject::connect(&Receivers(), &ReceiverNotifier::positionChanged, &context, [&](int slot) {
        if (slot != static_cast<int>(kSlot) || !IsGeodetic(r.positionId))
            return;
        if (seen.positions++ == 0)
            seen.firstLat = r.latDeg, seen.firstLon = r.lonDeg;
        seen.lastLat = r.latDeg, seen.lastLon = r.lonDeg;
    });
    QObject::connect(&Receivers(), &ReceiverNotifier::timeChanged, &context, [&](int slot) {
        if (slot != static_cast<int>(kSlot))
            return;
        if (seen.times++ == 0)
            seen.firstTow = r.timeOfWeekS;
        seen.lastTow = r.timeOfWeekS;
        seen.week = r.gpsWeek;
    });
    const std::vector<uint8_t> bytes = ReadCapture(capture);
    for (size_t at = 0; at < bytes.size(); at += 64) {
        Feed(*line, std::vector<uint8_t>(bytes.begin() + static_cast<long>(at),
                                         bytes.begin() + static_cast<long>(std::min(bytes.size(), at + 64))));
        Tick();
        if (stop && stop())
            break;
    }
    return seen;
}

struct CaptureCase {
    const char* file;
    int week;
    double firstTow, lastTow;
    double lat, lon;  // the first fix (kNone: not given)
    double firstTol;  // degrees, for the first fix
    double placeTol;  // degrees, for the last fix against the same place
};

// h's first time is its first 0x8F-AB: its only 0x41 (one second older) comes later.
// Places: a, e, k and g from their worked values; b is a's receiver on the
// same day, f the same station as e, d and h the same as g, l near k.
const CaptureCase kCases[] = {
    {"receiver-a.bin", 1403, 5073.630, 5119.520, 53.5377481, -113.4932580, 1e-6, 0.001},
    {"receiver-b.bin", 1403, 25063.477, 25143.430, 53.5377481, -113.4932580, 0.01, 0.01},
    {"receiver-c.bin", 1406, 446991.531, 447026.438, 20.6, kNone, 0.1, 0.1},
    {"receiver-d.bin", 2077, 517078.469, 517103.438, 44.07, -121.3, 0.05, 0.05},
    {"receiver-e.bin", 2076, 239909, 239967, 41.3395069, -75.7059360, 1e-6, 1e-6},
    {"receiver-f.bin", 2085, 72888, 72917, 41.3395069, -75.7059360, 0.001, 0.001},
    {"receiver-g.bin", 2302, 80586, 80623, 44.07, -121.3, 0.05, 0.05},
    {"receiver-h.bin", 2304, 254135, 254161, 44.07, -121.3, 0.05, 0.05},
    {"receiver-k.bin", 1851, 332803.188, 333156.188, -37.7586086, 144.9989792, 1e-6, 0.001},
    {"receiver-l.bin", 1849, 520351, 520457, -37.7586086, 144.9989792, 0.2, 0.2},
};

class TodayCaptures : public testing::TestWithParam<CaptureCase> {};

TEST_P(TodayCaptures, FirstAndLastPositionAndTime)
{
    const CaptureCase& c = GetParam();
    const Seen seen = Play(c.file);
    ASSERT_GT(seen.positions, 0) << c.file;
    ASSERT_GT(seen.times, 0) << c.file;
    EXPECT_EQ(seen.week, c.week);
    EXPECT_NEAR(seen.firstTow, c.firstTow, 0.001);
    EXPECT_NEAR(seen.lastTow, c.lastTow, 0.001);
    EXPECT_NEAR(seen.firstLat, c.lat, c.firstTol);
    EXPECT_NEAR(seen.lastLat, c.lat, c.placeTol);
    if (!std::isnan(c.lon)) {
        EXPECT_NEAR(seen.firstLon, c.lon, c.firstTol);
        EXPECT_NEAR(seen.lastLon, c.lon, c.placeTol);
    }
}

INSTANTIATE_TEST_SUITE_P(Receivers, TodayCaptures, testing::ValuesIn(kCases),
                         [](const testing::TestParamInfo<CaptureCase>& param) {
                             return std::string(param.param.file).substr(9, 1);
                         });

// Capture e fills the time and position panels from 0x8F-AB and 0x8F-AC, and
// the Timing Receiver window, shown before the status comes, shows it as it comes.
TEST(TodayWindows, TimingReceiverInTheMainAndTimingWindows)
{
    Play("receiver-e.bin", [] {
        if (!Form_Timing->isVisible())
            Form_Timing->showForm();
        return PortReports[kSlot].timingStatusSeen;
    });
    EXPECT_EQ(MainPanel("Panel_Week")->caption(), "2076");
    EXPECT_EQ(MainPanel("Panel_Date")->caption(), " Oct 22, 2019");
    EXPECT_EQ(MainLabel("Label_TimeMode")->caption(), "GPS");
    const QString tow = MainPanel("Panel_TOW")->caption();
    EXPECT_TRUE(tow.startsWith("2399")) << tow.toStdString();
    EXPECT_EQ(MainPanel("Panel_LatDeg")->caption(), QString("41") + QChar(0x00B0));
    EXPECT_EQ(MainPanel("Panel_NorthSouth")->caption(), "N");
    EXPECT_EQ(MainPanel("Panel_LonDeg")->caption(), QString("75") + QChar(0x00B0));
    EXPECT_EQ(MainPanel("Panel_EastWest")->caption(), "W");
    EXPECT_EQ(MainPanel("Panel_Alt_Z")->caption(), "210.6");
    EXPECT_FALSE(MainPanel("Panel_DeltaLat")->isHidden());

    EXPECT_EQ(Ui<Panel>(Form_Timing, "Panel_ReceiverMode")->caption(), "Over-determined clock");
    EXPECT_EQ(Ui<Panel>(Form_Timing, "Panel_Survey")->caption(), "complete (100 %)");
    EXPECT_EQ(Ui<Panel>(Form_Timing, "Panel_Temperature")->caption(), QString("30.04 ") + QChar(0x00B0) + "C");
    EXPECT_EQ(Ui<Panel>(Form_Timing, "Panel_PpsOffset")->caption(), "0.99 ns");
    EXPECT_EQ(Ui<Panel>(Form_Timing, "Panel_Quantisation")->caption(), "1.60 ns");
    EXPECT_EQ(Ui<Panel>(Form_Timing, "Panel_Minor")->caption(), "none");
    EXPECT_EQ(Ui<Shape>(Form_Timing, "Shape_Critical")->fill(), Colours::Lime);
    EXPECT_EQ(Ui<Panel>(Form_Timing, "Panel_ReceiverMode")->colour(), WindowColour());
}

// Capture k: the compact fix in the southern and eastern hemispheres; a port
// without the timing status leaves the Timing Receiver window greyed.
TEST(TodayWindows, CompactFixSouthEastAndNoTimingStatus)
{
    Play("receiver-k.bin");
    EXPECT_EQ(MainPanel("Panel_LatDeg")->caption(), QString("37") + QChar(0x00B0));
    EXPECT_EQ(MainPanel("Panel_NorthSouth")->caption(), "S");
    EXPECT_EQ(MainPanel("Panel_LonDeg")->caption(), QString("144") + QChar(0x00B0));
    EXPECT_EQ(MainPanel("Panel_EastWest")->caption(), "E");
    EXPECT_EQ(MainPanel("Panel_Week")->caption(), "1851");
    EXPECT_EQ(MainLabel("Label_PanelVel")->caption(), "ENU Velocity");
    Form_Timing->showForm();
    EXPECT_EQ(Ui<Panel>(Form_Timing, "Panel_ReceiverMode")->caption(), "");
    EXPECT_EQ(Ui<Panel>(Form_Timing, "Panel_ReceiverMode")->colour(), ButtonFaceColour());
}

// Capture h: multi-GNSS rows with their system letters, the version from 0x1C-81.
TEST(TodayWindows, MultiGnssRowsAndVersions)
{
    Play("receiver-h.bin");
    EXPECT_EQ(MainPanel("Panel_SV", 0)->caption(), "G25");
    const QString lastRow = MainPanel("Panel_SV", 7)->caption();
    EXPECT_TRUE(lastRow.startsWith("R")) << lastRow.toStdString();
    EXPECT_EQ(MainPanel("Panel_Version")->caption(), "1.05");
    EXPECT_EQ(MainPanel("Panel_TDOP")->caption(), "1.0");
    EXPECT_EQ(PortReports[kSlot].hardware.serialNumber, 1195000112u);
    // 0x6C counts its 11 satellites in a byte of its own, not in the mode byte:
    // the main window, All Receivers and the history all take that count.
    EXPECT_EQ(MainPanel("Panel_RecMode")->caption(), "4-D  (11 SV)");
    Form_Ports->Refresh();
    const std::vector<QStringList> rows = Form_Ports->Rows();
    ASSERT_FALSE(rows.empty());
    EXPECT_EQ(rows.front().value(4), "4-D (11 SV)");
    float lastFixTime = 0;
    const HistorySample sample = SampleOfPort(PortTable[kSlot], PortReports[kSlot], 0, &lastFixTime);
    EXPECT_EQ(sample.satellites, 11);
    // Holding its position, the receiver reports its clock in 0x54 alone: the
    // history's clock bias and bias rate come from there.
    EXPECT_NEAR(sample.clockBiasS * 1e9, 19203.28, 0.01);
    EXPECT_NEAR(sample.biasRatePpb, 209.039, 0.001);
    EXPECT_EQ(sample.fixSecond, 254161);
}

} // namespace
