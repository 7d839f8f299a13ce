// Position reports 0x42, 0x4A, 0x83 and 0x84: what each stores per port, what
// the display port shows in the position, change of position, timing and
// timing outputs fields, and what monitored ports and bad lengths change.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include <QPushButton>

#include "monitor/monitor.h"
#include "config/form_bias.h"
#include "core/main_window.h"
#include "model/port_reports.h"
#include "link/commands.h"
#include "link/shared_flags.h"
#include "monitor/data_log.h"
#include "report_delivery.h"
#include "support/monitor_gui.h"
#include "support/ui_find.h"

namespace {

constexpr int kDisplaySlot = 0;   // COM1
constexpr int kMonitoredSlot = 3; // COM4
constexpr double kPi = std::numbers::pi;
constexpr char kDegree[] = "\u00B0";

// Radians that the program turns back into exactly these degrees.
double ProgramRad(double deg) { return deg / RadToDeg; }

QString Caption(const QLabel* label) { return label->text(); }

class PositionReports : public testing::Test {
protected:
    void SetUp() override
    {
        display = StartMonitorOnFake(kDisplaySlot + 1);
        ASSERT_NE(display, nullptr);
        AttachFakeSerial(kMonitoredSlot);
        PortTable[kMonitoredSlot].monitored = 1;
        PortReports.fill(PortReportRecord{});
        f = Form_Main;
    }
    void TearDown() override { PortReports.fill(PortReportRecord{}); }

    void ExpectEcefRows() const
    {
        EXPECT_FALSE(f->Panel_X->isHidden());
        EXPECT_FALSE(f->Panel_Y->isHidden());
        for (const Panel* p : {f->Panel_NorthSouth, f->Panel_LatDeg, f->Panel_LatMin, f->Panel_EastWest,
                               f->Panel_LonDeg, f->Panel_LonMin})
            EXPECT_TRUE(p->isHidden()) << p->objectName().toStdString();
        EXPECT_EQ(Caption(f->Label_PanelPos), "ECEF Position");
        EXPECT_EQ(Caption(f->Label_Lat_X), "X");
        EXPECT_EQ(Caption(f->Label_Lon_Y), "Y");
        EXPECT_EQ(Caption(f->Label_Alt_Z), "Z");
        EXPECT_EQ(Caption(f->Label_Pmode1), "m");
        EXPECT_EQ(Caption(f->Label_Pmode2), "m");
    }

    void ExpectLlaRows() const
    {
        EXPECT_TRUE(f->Panel_X->isHidden());
        EXPECT_TRUE(f->Panel_Y->isHidden());
        for (const Panel* p : {f->Panel_NorthSouth, f->Panel_LatDeg, f->Panel_LatMin, f->Panel_EastWest,
                               f->Panel_LonDeg, f->Panel_LonMin})
            EXPECT_FALSE(p->isHidden()) << p->objectName().toStdString();
        EXPECT_EQ(Caption(f->Label_PanelPos), "LLA Position");
        EXPECT_EQ(Caption(f->Label_Lat_X), "Latitude");
        EXPECT_EQ(Caption(f->Label_Lon_Y), "Longitude");
        EXPECT_EQ(Caption(f->Label_Alt_Z), "Altitude");
        EXPECT_EQ(Caption(f->Label_Pmode1), "");
        EXPECT_EQ(Caption(f->Label_Pmode2), "");
    }

    // Change of position shown (LLA) or covered by the blank panels (ECEF).
    void ExpectDeltasShown(bool shown) const
    {
        EXPECT_EQ(f->Panel_DeltaLat->isHidden(), !shown);
        EXPECT_EQ(f->Panel_DeltaLon->isHidden(), !shown);
        EXPECT_EQ(f->Panel_Disable->isHidden(), shown);
        EXPECT_EQ(f->Panel_Disable2->isHidden(), shown);
    }

    std::shared_ptr<FakeSerial::State> display;
    TForm_Main* f = nullptr;
};

TEST_F(PositionReports, SinglePrecisionEcefFillsRowsAndTimeAndCoversTheChangeOfPosition)
{
    Deliver(kDisplaySlot, Report42{-2700000.5f, 1234567.75f, 3000.75f, 100.0f}, &EncodeReport42);

    ExpectEcefRows();
    EXPECT_EQ(HintOf(f->Panel_Position), "Position: Packet 42");
    EXPECT_EQ(Caption(f->Panel_X), "-2700000.50");
    EXPECT_EQ(Caption(f->Panel_Y), "1234567.75");
    EXPECT_EQ(Caption(f->Panel_Alt_Z), "3000.75");
    EXPECT_EQ(Caption(f->Panel_Time), " Sun 00:01:40.00"); // 100 s into the week
    EXPECT_EQ(Caption(f->Panel_TOW), "100.00");
    ExpectDeltasShown(false);
    EXPECT_EQ(Caption(f->Label_Altitude), "m");

    const PortReportRecord& r = PortReports[kDisplaySlot];
    EXPECT_EQ(r.ecefX, -2700000.5);
    EXPECT_EQ(r.ecefY, 1234567.75);
    EXPECT_EQ(r.ecefZ, 3000.75);
    EXPECT_EQ(r.fixTime, 100.0f);
}

TEST_F(PositionReports, DoublePrecisionEcefShowsTwoDecimalsAndTheBias)
{
    Deliver(kDisplaySlot, Report83{-2700000.12, 4290000.88, -3860000.5, 299.792458, 345600.5f}, &EncodeReport83);

    ExpectEcefRows();
    EXPECT_EQ(HintOf(f->Panel_Position), "Double Precision Position: Packet 83");
    EXPECT_EQ(Caption(f->Panel_X), "-2700000.12");
    EXPECT_EQ(Caption(f->Panel_Y), "4290000.88");
    EXPECT_EQ(Caption(f->Panel_Alt_Z), "-3860000.50");
    EXPECT_EQ(Caption(f->Panel_Time), " Thu 00:00:00.50"); // day 4 begins at 345600 s
    EXPECT_EQ(Caption(f->Panel_TOW), "345600.50");
    EXPECT_EQ(Caption(Ui<Panel>(Form_Bias, "Panel_Bias")), "1000.00");
    EXPECT_NEAR(PortReports[kDisplaySlot].biasNs, 1000.0, 1e-9);
    EXPECT_EQ(PortReports[kDisplaySlot].ecefY, 4290000.88);
}

TEST_F(PositionReports, SinglePrecisionLlaSouthOfTheEquatorShowsDegreesMinutesAndHemisphere)
{
    const float halfDegreeSouth = static_cast<float>(-0.5 * kPi / 180.0);
    LogPorts[kDisplaySlot].TicksSinceFix = 7;
    Deliver(kDisplaySlot, Report4A{halfDegreeSouth, 0.0f, 10.0f, 299.792458f, 100.0f}, &EncodeReport4A);

    ExpectLlaRows();
    EXPECT_EQ(HintOf(f->Panel_Position), "Position: Packet 4A");
    EXPECT_EQ(Caption(f->Panel_LatDeg), QString("0") + kDegree);
    EXPECT_EQ(Caption(f->Panel_LatMin), "30.00000'");
    EXPECT_EQ(Caption(f->Panel_NorthSouth), "S");
    EXPECT_EQ(Caption(f->Panel_LonDeg), QString("0") + kDegree);
    EXPECT_EQ(Caption(f->Panel_LonMin), "0.00000'");
    EXPECT_EQ(Caption(f->Panel_EastWest), "E");
    EXPECT_EQ(Caption(f->Panel_Alt_Z), "10.0");
    ExpectDeltasShown(true);
    EXPECT_EQ(Caption(Ui<Panel>(Form_Bias, "Panel_Bias")), "1000.00");

    const PortReportRecord& r = PortReports[kDisplaySlot];
    EXPECT_NEAR(r.latDeg, -0.5, 1e-6);
    EXPECT_EQ(r.lonDeg, 0.0);
    EXPECT_EQ(r.altM, 10.0);
    EXPECT_NEAR(r.biasNs, 1000.0, 1e-3);
    EXPECT_EQ(LogPorts[kDisplaySlot].TicksSinceFix, 0.0f); // every 0x4A restarts the count
}

TEST_F(PositionReports, LatitudeOfExactlyZeroIsNorth)
{
    Deliver(kDisplaySlot, Report4A{0.0f, -0.0f, 0.0f, 0.0f, 0.0f}, &EncodeReport4A);
    EXPECT_EQ(Caption(f->Panel_NorthSouth), "N");
    EXPECT_EQ(Caption(f->Panel_LatMin), "0.00000'");
    EXPECT_EQ(Caption(f->Panel_EastWest), "E"); // minus zero is not below zero
}

TEST_F(PositionReports, DoublePrecisionLlaShowsWestLongitudeAndOneDecimalAltitude)
{
    Deliver(kDisplaySlot, Report84{ProgramRad(37.5), ProgramRad(-122.25), 1234.56, -29.9792458, 0.0f},
            &EncodeReport84);

    ExpectLlaRows();
    EXPECT_EQ(HintOf(f->Panel_Position), "Double Precision Position: Packet 84");
    EXPECT_EQ(Caption(f->Panel_LatDeg), QString("37") + kDegree);
    EXPECT_EQ(Caption(f->Panel_LatMin), "30.00000'");
    EXPECT_EQ(Caption(f->Panel_NorthSouth), "N");
    EXPECT_EQ(Caption(f->Panel_LonDeg), QString("122") + kDegree);
    EXPECT_EQ(Caption(f->Panel_LonMin), "15.00000'");
    EXPECT_EQ(Caption(f->Panel_EastWest), "W");
    EXPECT_EQ(Caption(f->Panel_Alt_Z), "1234.6");
    EXPECT_EQ(Caption(Ui<Panel>(Form_Bias, "Panel_Bias")), "-100.00");
    EXPECT_NEAR(PortReports[kDisplaySlot].lonDeg, -122.25, 1e-9);
}

// Minutes that round up to 60 carry into the degrees, both hemispheres, both axes.
TEST_F(PositionReports, MinutesRoundingUpToSixtyCarryIntoTheDegrees)
{
    // Double precision only: a single-precision angle never lies that close below a whole degree.
    struct Row {
        double latDeg, lonDeg;
        const char *ns, *latDeg_, *ew, *lonDeg_;
    } rows[] = {
        {37.9999999999, 122.9999999999, "N", "38", "E", "123"},
        {-37.9999999999, -122.9999999999, "S", "38", "W", "123"},
        {-0.9999999999, 179.9999999999, "S", "1", "E", "180"},
    };
    for (const Row& row : rows) {
        Deliver(kDisplaySlot, Report84{ProgramRad(row.latDeg), ProgramRad(row.lonDeg), 0, 0, 0}, &EncodeReport84);
        EXPECT_EQ(Caption(f->Panel_NorthSouth), row.ns);
        EXPECT_EQ(Caption(f->Panel_LatDeg), QString(row.latDeg_) + kDegree) << row.latDeg;
        EXPECT_EQ(Caption(f->Panel_LatMin), "0.00000'") << row.latDeg;
        EXPECT_EQ(Caption(f->Panel_EastWest), row.ew);
        EXPECT_EQ(Caption(f->Panel_LonDeg), QString(row.lonDeg_) + kDegree) << row.lonDeg;
        EXPECT_EQ(Caption(f->Panel_LonMin), "0.00000'") << row.lonDeg;
    }
}

TEST_F(PositionReports, ModeFollowsTheLastReportKind)
{
    Deliver(kDisplaySlot, Report84{ProgramRad(10), ProgramRad(20), 5, 0, 0}, &EncodeReport84);
    Deliver(kDisplaySlot, Report83{1, 2, 3, 0, 0}, &EncodeReport83);
    ExpectEcefRows();
    ExpectDeltasShown(false);
    Deliver(kDisplaySlot, Report4A{0.1f, 0.2f, 3, 0, 0}, &EncodeReport4A);
    ExpectLlaRows();
    ExpectDeltasShown(true);
}

TEST_F(PositionReports, BiasPanelTurnsButtonFaceForEcefSinglePrecisionAndKeepsItsText)
{
    Deliver(kDisplaySlot, Report4A{0, 0, 0, 299.792458f, 0}, &EncodeReport4A);
    EXPECT_EQ(Ui<Panel>(Form_Bias, "Panel_Bias")->colour(), WindowColour());
    Deliver(kDisplaySlot, Report42{1, 2, 3, 4}, &EncodeReport42);
    EXPECT_EQ(Caption(Ui<Panel>(Form_Bias, "Panel_Bias")), "1000.00");
    EXPECT_EQ(Ui<Panel>(Form_Bias, "Panel_Bias")->colour(), ButtonFaceColour());
    Deliver(kDisplaySlot, Report83{1, 2, 3, 0, 0}, &EncodeReport83);
    EXPECT_EQ(Caption(Ui<Panel>(Form_Bias, "Panel_Bias")), "0.00");
    EXPECT_EQ(Ui<Panel>(Form_Bias, "Panel_Bias")->colour(), WindowColour());
}

TEST_F(PositionReports, ChangeOfPositionAgainstTheReferenceAndItsReset)
{
    // The first LLA report becomes the reference: both deltas zero.
    Deliver(kDisplaySlot, Report84{0, 0, 0, 0, 0}, &EncodeReport84);
    EXPECT_EQ(Flags.ReferenceSet, 1);
    EXPECT_EQ(Caption(f->Panel_DeltaLat), "0.00");
    EXPECT_EQ(Caption(f->Panel_DeltaLon), "0.00");

    // On the equator a radian north is b^2/a metres, a radian east a metres.
    Deliver(kDisplaySlot, Report84{1e-4, 1e-4, 0, 0, 0}, &EncodeReport84);
    EXPECT_EQ(Caption(f->Panel_DeltaLat), "633.54");
    EXPECT_EQ(Caption(f->Panel_DeltaLon), "637.81");

    f->Button_ResetLLA->click();
    EXPECT_EQ(Flags.ReferenceSet, 0);
    Deliver(kDisplaySlot, Report4A{1e-4f, 1e-4f, 0, 0, 0}, &EncodeReport4A);
    EXPECT_EQ(Caption(f->Panel_DeltaLat), "0.00");
    EXPECT_EQ(Caption(f->Panel_DeltaLon), "0.00");
    ExpectDeltasShown(true);

    Deliver(kDisplaySlot, Report42{1, 2, 3, 4}, &EncodeReport42);
    ExpectDeltasShown(false);
}

TEST_F(PositionReports, ReferenceSurvivesAChangeOfDisplayPort)
{
    Deliver(kDisplaySlot, Report84{0, 0, 0, 0, 0}, &EncodeReport84);
    DisplayPort = kMonitoredSlot + 1;
    Deliver(kMonitoredSlot, Report84{1e-4, 0, 0, 0, 0}, &EncodeReport84);
    EXPECT_EQ(Caption(f->Panel_DeltaLat), "633.54");
}

TEST_F(PositionReports, WrongLengthChangesNothing)
{
    std::vector<uint8_t> long42 = Message(Report42{1, 2, 3, 4}, &EncodeReport42);
    long42.resize(long42.size() + 4); // 20 data bytes
    DeliverMessage(kDisplaySlot, long42);
    std::vector<uint8_t> short84 = Message(Report84{0.5, 0.5, 3, 4, 5}, &EncodeReport84);
    short84.resize(short84.size() - 4); // 32 data bytes
    DeliverMessage(kDisplaySlot, short84);

    EXPECT_EQ(Caption(f->Label_PanelPos), "Position:");
    for (const Panel* p : {f->Panel_X, f->Panel_Y, f->Panel_Alt_Z, f->Panel_LatDeg, f->Panel_Time, f->Panel_TOW})
        EXPECT_EQ(Caption(p), "?") << p->objectName().toStdString();
    EXPECT_TRUE(f->Panel_X->isHidden());
    EXPECT_EQ(Flags.ReferenceSet, 0);
    EXPECT_EQ(PortReports[kDisplaySlot].ecefX, 0.0);
    EXPECT_EQ(PortReports[kDisplaySlot].fixTime, 0.0f);
    EXPECT_EQ(PortReports[kDisplaySlot].altM, 0.0);
}

TEST_F(PositionReports, MonitoredPortIsStoredButShowsNothing)
{
    Deliver(kMonitoredSlot, Report4A{0.5f, -1.0f, 100, 299.792458f, 12}, &EncodeReport4A);
    Deliver(kMonitoredSlot, Report42{7, 8, 9, 13}, &EncodeReport42);

    const PortReportRecord& r = PortReports[kMonitoredSlot];
    EXPECT_NEAR(r.latDeg, 0.5 * RadToDeg, 1e-9);
    EXPECT_NEAR(r.lonDeg, -RadToDeg, 1e-9);
    EXPECT_EQ(r.altM, 100.0);
    EXPECT_NEAR(r.biasNs, 1000.0, 1e-3);
    EXPECT_EQ(r.ecefZ, 9.0);
    EXPECT_EQ(r.fixTime, 13.0f);

    EXPECT_EQ(Caption(f->Label_PanelPos), "Position:");
    EXPECT_EQ(Caption(f->Panel_LatDeg), "?");
    EXPECT_EQ(Caption(f->Panel_Time), "?");
    EXPECT_EQ(Caption(Ui<Panel>(Form_Bias, "Panel_Bias")), "");
    EXPECT_EQ(Ui<Panel>(Form_Bias, "Panel_Bias")->colour(), WindowColour());
    EXPECT_FALSE(f->Panel_Disable->isHidden());
    EXPECT_EQ(Flags.ReferenceSet, 0);
    EXPECT_EQ(PortReports[kDisplaySlot].altM, 0.0);
}

TEST_F(PositionReports, RecordsByReportsFollowTheFirstReportKind)
{
    auto& ticks = LogPorts[kMonitoredSlot].TicksSinceFix;
    LogByReports = 1;
    LogTriggerId[kMonitoredSlot] = 0;

    ticks = 5;
    Deliver(kMonitoredSlot, Report42{1, 2, 3, 4}, &EncodeReport42);
    EXPECT_EQ(LogTriggerId[kMonitoredSlot], 0x42);
    EXPECT_EQ(ticks, 0.0f);

    ticks = 5;
    Deliver(kMonitoredSlot, Report83{1, 2, 3, 4, 5}, &EncodeReport83); // another kind: no record
    EXPECT_EQ(ticks, 5.0f);
    EXPECT_EQ(LogTriggerId[kMonitoredSlot], 0x42);

    // New I/O options: the next report of any kind writes once and unbinds,
    // the one after binds anew.
    LogTriggerId[kMonitoredSlot] = 1;
    Deliver(kMonitoredSlot, Report83{1, 2, 3, 4, 5}, &EncodeReport83);
    EXPECT_EQ(ticks, 0.0f);
    EXPECT_EQ(LogTriggerId[kMonitoredSlot], 0);
    Deliver(kMonitoredSlot, Report84{1, 2, 3, 4, 5}, &EncodeReport84);
    EXPECT_EQ(LogTriggerId[kMonitoredSlot], 0x84);
}

TEST_F(PositionReports, NoRecordTriggerWhenPacedByTheTimer)
{
    LogByReports = 0;
    LogTriggerId[kMonitoredSlot] = 0;
    LogPorts[kMonitoredSlot].TicksSinceFix = 5;
    Deliver(kMonitoredSlot, Report42{1, 2, 3, 4}, &EncodeReport42);
    EXPECT_EQ(LogTriggerId[kMonitoredSlot], 0);
    EXPECT_EQ(LogPorts[kMonitoredSlot].TicksSinceFix, 5.0f);
}

TEST_F(PositionReports, NonsenseAnglesAreShownWithoutHarm)
{
    Deliver(kDisplaySlot, Report4A{std::nanf(""), 1e30f, -1e30f, std::nanf(""), -5.0f}, &EncodeReport4A);
    EXPECT_EQ(Caption(f->Panel_NorthSouth), "S"); // not a number is not north
    EXPECT_EQ(Caption(f->Panel_EastWest), "E");
    EXPECT_TRUE(Caption(f->Panel_LonDeg).endsWith(kDegree));
    EXPECT_EQ(Caption(f->Panel_Time), " Sat 23:59:55.00"); // -5 s is 5 s before the week's end
}

TEST_F(PositionReports, ReachesTheDecoderFromTheLine)
{
    Monitor::Instance().SetAutoQuery(false);
    PortTable[kDisplaySlot].searchStep = 0;
    Feed(*display, Frame(Message(Report42{1.5f, 2.5f, 3.5f, 60.0f}, &EncodeReport42)));
    Tick();
    EXPECT_EQ(Caption(f->Panel_X), "1.50");
    EXPECT_EQ(Caption(f->Panel_TOW), "60.00");
}

} // namespace
