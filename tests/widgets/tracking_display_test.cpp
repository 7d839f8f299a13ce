// Channel tracking reports: the satellite rows of the main window, the rows
// of the tracking window, each port's channel values and weakest-level latch,
// and the blanking of channels whose reports stop, driven by the poll timer.
#include <gtest/gtest.h>

#include "core/main_window.h"
#include "monitor/poll_timer.h"
#include "display/form_track.h"
#include "model/port_reports.h"
#include "monitor/tracking.h"
#include "support/main_ui.h"
#include "support/monitor_gui.h"
#include "report_delivery.h"

namespace {

constexpr int kDisplaySlot = 0; // COM1
constexpr int kMonitoredSlot = 3;

Report5C Channel(uint8_t prn, uint8_t channelSlot, float level = 43.5f)
{
    Report5C r;
    r.prn = prn;
    r.channelSlot = channelSlot;
    r.acquisitionFlag = 1;
    r.ephemerisFlag = 1;
    r.signalLevelAmu = level;
    r.lastMeasurementS = 123.4f;
    r.elevationRad = 0.7853982f; // 45 degrees
    r.azimuthRad = -0.5f;        // -28.6 degrees
    r.oldMeasurementFlag = 0;
    r.integerMsecFlag = 1;
    r.badDataFlag = 0;
    r.dataCollectionFlag = 2;
    return r;
}

void Send(int slot, const Report5C& r, int lengthChange = 0) { Deliver(slot, r, &EncodeReport5C, lengthChange); }

class TrackingDisplay : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_NE(StartMonitorOnFake(kDisplaySlot + 1), nullptr);
        other = AttachFakeSerial(kMonitoredSlot);
        PortTable[kMonitoredSlot].monitored = 1;
    }

    static QStringList MainRow(size_t chan)
    {
        return {MainPanel("Panel_SV", chan)->caption(), MainPanel("Panel_AMU", chan)->caption(),
                MainPanel("Panel_AZ", chan)->caption(), MainPanel("Panel_EL", chan)->caption()};
    }

    std::shared_ptr<FakeSerial::State> other;
};

TEST_F(TrackingDisplay, ChannelReportFillsItsRowInBothWindows)
{
    Send(kDisplaySlot, Channel(7, 0x10)); // channel 2, slot 0
    EXPECT_EQ(MainRow(2), (QStringList{"07", " 43.5", "-28.6", " 45.0"}));
    const QString row = "  7  0   3    1   1"          // PRN, slot, channel + 1, acquisition, ephemeris
                        "    43.5     123.4  45.0  -28.6" // level, time, elevation, azimuth
                        "    0    1   0   2";          // old, integer ms, bad data, collection
    EXPECT_EQ(Ui<Panel>(Form_Track, "Panel_TS", 2)->caption(), row);
    EXPECT_EQ(row.size(), 68);
    for (size_t channel : {0u, 1u, 3u, 7u}) {
        EXPECT_EQ(Ui<Panel>(Form_Track, "Panel_TS", channel)->caption(), "");
        EXPECT_EQ(MainPanel("Panel_SV", channel)->caption(), "");
    }
    EXPECT_EQ(PortReports[kDisplaySlot].chanPrn[2], 7);
    EXPECT_FLOAT_EQ(PortReports[kDisplaySlot].chanLevel[2], 43.5f);
}

// A multi-GNSS channel in the same columns; the level column says dB-Hz
// while such rows come, AMU again at the next classic channel report.
TEST_F(TrackingDisplay, MultiGnssChannelFillsItsRowWithItsSystemAndDbHz)
{
    const Report5D r{.prn = 71, // GLONASS slot 7
                     .channel = 4,
                     .acquisitionFlag = 1,
                     .signalLevelDbHz = 42.0f,
                     .lastMeasurementS = 254160.0f,
                     .elevationRad = 0.7853982f,
                     .azimuthRad = -0.5f,
                     .dataCollectionFlag = 1,
                     .system = 1};
    Deliver(kDisplaySlot, r, &EncodeReport5D);
    const QString row = "R07  -   5    1   -"             // satellite, no slot, channel + 1, acquisition, no ephemeris flag
                        "    42.0  254160.0  45.0  -28.6" // dB-Hz, time, elevation, azimuth
                        "    0    0   0   1";
    EXPECT_EQ(Ui<Panel>(Form_Track, "Panel_TS", 4)->caption(), row);
    EXPECT_EQ(Ui<Label>(Form_Track, "Label_AMU")->caption(), "dB-Hz");
    Send(kDisplaySlot, Channel(7, 0x10));
    EXPECT_EQ(Ui<Label>(Form_Track, "Label_AMU")->caption(), "AMU");
    EXPECT_EQ(Ui<Panel>(Form_Track, "Panel_TS", 4)->caption(), row); // each row keeps its own report
}

TEST_F(TrackingDisplay, ChannelAndSlotComeFromTheSameByte)
{
    Send(kDisplaySlot, Channel(7, 0x0B)); // channel 1, slot 3
    EXPECT_TRUE(Ui<Panel>(Form_Track, "Panel_TS", 1)->caption().startsWith("  7  3   2"));
    EXPECT_EQ(MainPanel("Panel_SV", 1)->caption(), "07");
}

TEST_F(TrackingDisplay, SatellitePanelIsGreenOnlyForASatelliteInTheLastFix)
{
    SendFixList(kDisplaySlot, {12, 4});
    Send(kDisplaySlot, Channel(12, 0x00));
    Send(kDisplaySlot, Channel(5, 0x08));
    Send(kDisplaySlot, Channel(0, 0x10)); // PRN 0 matches the empty fix entries but never lights
    EXPECT_EQ(MainPanel("Panel_SV", 0)->colour(), Colours::Lime);
    EXPECT_EQ(MainPanel("Panel_SV", 1)->colour(), WindowColour());
    EXPECT_EQ(MainPanel("Panel_SV", 2)->colour(), WindowColour());

    // A new fix list recolours a channel only at its next report.
    SendFixList(kDisplaySlot, {4});
    EXPECT_EQ(MainPanel("Panel_SV", 0)->colour(), Colours::Lime);
    Send(kDisplaySlot, Channel(12, 0x00));
    EXPECT_EQ(MainPanel("Panel_SV", 0)->colour(), WindowColour());

    // The fix list is the delivering port's own.
    SendFixList(kMonitoredSlot, {12});
    Send(kDisplaySlot, Channel(12, 0x00));
    EXPECT_EQ(MainPanel("Panel_SV", 0)->colour(), WindowColour());
}

TEST_F(TrackingDisplay, LatchFollowsTheWeakestLevelSinceItsRestart)
{
    PortReportRecord& stored = PortReports[kMonitoredSlot];
    Send(kMonitoredSlot, Channel(5, 0x18, 30.0f)); // before any restart the latch stays 0
    EXPECT_EQ(stored.latchedPrn[3], 0);
    EXPECT_FLOAT_EQ(stored.latchedLevel[3], 0.0f);

    stored.latchRestart.fill(1);
    Send(kMonitoredSlot, Channel(5, 0x18, 40.0f));
    Send(kMonitoredSlot, Channel(6, 0x18, 35.0f));
    Send(kMonitoredSlot, Channel(7, 0x18, 38.0f));
    EXPECT_EQ(stored.latchedPrn[3], 6);
    EXPECT_FLOAT_EQ(stored.latchedLevel[3], 35.0f);
    EXPECT_EQ(stored.latchRestart[3], 0);
    EXPECT_EQ(stored.latchRestart[2], 1); // other channels wait for their own report

    // Magnitudes compare; an equal one keeps the older entry.
    Send(kMonitoredSlot, Channel(8, 0x18, -35.0f));
    EXPECT_EQ(stored.latchedPrn[3], 6);
    Send(kMonitoredSlot, Channel(9, 0x18, -20.0f));
    EXPECT_EQ(stored.latchedPrn[3], 9);
    EXPECT_FLOAT_EQ(stored.latchedLevel[3], -20.0f);
    EXPECT_EQ(stored.chanPrn[3], 9);
    EXPECT_FLOAT_EQ(stored.chanLevel[3], -20.0f);
}

TEST_F(TrackingDisplay, ReportOfWrongLengthChangesNothingNotEvenTheCountdown)
{
    Send(kDisplaySlot, Channel(7, 0x10), -1);
    Send(kDisplaySlot, Channel(7, 0x10), +1);
    EXPECT_EQ(ChannelTimeout[2], 0);
    EXPECT_EQ(PortReports[kDisplaySlot].chanPrn[2], 0);
    EXPECT_EQ(MainPanel("Panel_SV", 2)->caption(), "");
}

TEST_F(TrackingDisplay, ChannelsEightToElevenAreStoredButNotShownAndTwelveUpAreIgnored)
{
    for (uint8_t byte1 : {uint8_t{0x58}, uint8_t{0x60}, uint8_t{0x7F}, uint8_t{0xF8}}) { // channels 11, 12, 15, 31
        PortReports[kMonitoredSlot].latchRestart.fill(1);
        Send(kDisplaySlot, Channel(21, byte1));
        Send(kMonitoredSlot, Channel(21, byte1));
    }
    EXPECT_EQ(ChannelTimeout, (std::array<int32_t, 8>{}));
    std::array<uint8_t, kTrackChannels> onlyEleven = {};
    onlyEleven[11] = 21;
    for (int slot : {kDisplaySlot, kMonitoredSlot}) {
        EXPECT_EQ(PortReports[slot].chanPrn, onlyEleven);
        EXPECT_EQ(PortReports[slot].chanTimeout[11], 5);
        EXPECT_FLOAT_EQ(PortReports[slot].chanElevationDeg[11], 45.0f);
        EXPECT_NEAR(PortReports[slot].chanAzimuthDeg[11], -28.6479f, 1e-3);
    }
    EXPECT_EQ(PortReports[kMonitoredSlot].latchedPrn, onlyEleven);
    for (size_t chan = 0; chan < 8; ++chan) {
        EXPECT_EQ(PortReports[kMonitoredSlot].latchRestart[chan], 1);
        EXPECT_EQ(MainPanel("Panel_SV", chan)->caption(), "");
        EXPECT_EQ(Ui<Panel>(Form_Track, "Panel_TS", chan)->caption(), "");
    }
}

TEST_F(TrackingDisplay, ChannelBlanksFourToFiveSecondsAfterItsLastReport)
{
    // The report may arrive at any point of the poll timer's 2-second cycle.
    for (int phase = 0; phase < 10; ++phase) {
        SCOPED_TRACE(phase);
        SendFixList(kDisplaySlot, {7});
        Send(kDisplaySlot, Channel(7, 0x10));
        ASSERT_EQ(MainPanel("Panel_SV", 2)->colour(), Colours::Lime);
        int ticks = 0;
        while (MainPanel("Panel_SV", 2)->caption() != "" && ticks < 100) {
            Tick();
            ++ticks;
            if (MainPanel("Panel_SV", 2)->caption() != "") {
                EXPECT_EQ(Ui<Panel>(Form_Track, "Panel_TS", 2)->caption().left(3), "  7");
            }
        }
        // 200 ms ticks: more than 4 s and at most 5 s.
        EXPECT_GT(ticks, 20);
        EXPECT_LE(ticks, 25);
        EXPECT_EQ(MainRow(2), (QStringList{"", "", "", ""}));
        EXPECT_EQ(Ui<Panel>(Form_Track, "Panel_TS", 2)->caption(), "");
        EXPECT_EQ(MainPanel("Panel_SV", 2)->colour(), WindowColour());
        // The stored values are the data logger's: they stay.
        EXPECT_EQ(PortReports[kDisplaySlot].chanPrn[2], 7);
        Tick(phase + 1); // move the next report to another point of the cycle
    }
}

TEST_F(TrackingDisplay, MonitoredPortKeepsTheDisplayedChannelAliveWithTheDisplayValues)
{
    Send(kDisplaySlot, Channel(7, 0x10));
    for (int second = 0; second < 12; ++second) {
        Send(kMonitoredSlot, Channel(9, 0x10, 20.0f));
        Tick(5);
    }
    EXPECT_EQ(MainRow(2), (QStringList{"07", " 43.5", "-28.6", " 45.0"}));
    EXPECT_EQ(PortReports[kMonitoredSlot].chanPrn[2], 9);
    EXPECT_EQ(PortReports[kDisplaySlot].chanPrn[2], 7);
    Tick(25);
    EXPECT_EQ(MainRow(2), (QStringList{"", "", "", ""}));
}

TEST_F(TrackingDisplay, TrackWindowHasThirteenCaptionedColumnsOverItsFixedPitchRows)
{
    const QStringList captions = {"SV",   "Slot", "Chan", "Acq",   "Eph",  "AMU", "Time",
                                  "Elev", "Azim", "Old",  "Intms", "Data", "Dcol"};
    int lastRight = 0;
    for (const QString& caption : captions) {
        const Label* label = Ui<Label>(Form_Track, "Label_" + caption);
        EXPECT_EQ(label->caption(), caption);
        EXPECT_FALSE(HintOf(label).isEmpty());
        EXPECT_GT(label->geometry().right(), lastRight);
        lastRight = label->geometry().right();
    }
    EXPECT_EQ(HintOf(Ui<Label>(Form_Track, "Label_Acq")),
              "Acquisition Flag: 0=never aquired; 1=acquired; 2=re-opened search");
    EXPECT_EQ(HintOf(Ui<Label>(Form_Track, "Label_Dcol")),
              "Data Collection Flag: >0 when trying to collect data from SV");
    EXPECT_EQ(Form_Track->windowTitle(), "Tracking Status");
    EXPECT_FALSE(Form_Track->isVisible());

    // A full row fits its panel and ends under the last caption.
    Send(kDisplaySlot, Channel(7, 0x38));
    const Panel* row = Ui<Panel>(Form_Track, "Panel_TS", 7);
    EXPECT_TRUE(row->font().fixedPitch());
    EXPECT_EQ(row->font().pixelSize(), 15);
    const int textWidth = row->fontMetrics().horizontalAdvance(row->caption());
    EXPECT_LE(textWidth, row->contentsRect().width());
    EXPECT_NEAR(row->geometry().left() + 3 + textWidth, lastRight + 1, 3);
    EXPECT_EQ(HintOf(row), "Tracking Status: Packet 3C, 5C");

    // Twelve satellites in the fix fit the selection list.
    SendFixList(kDisplaySlot, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12});
    const Panel* list = Ui<Panel>(Form_Track, "Panel_SVSel");
    EXPECT_LE(list->fontMetrics().horizontalAdvance(list->caption()), list->contentsRect().width());
}

} // namespace
