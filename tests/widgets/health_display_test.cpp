// Health, status, fix mode and DGPS reports: the Status panel's texts and
// lamps, the DOP fields of both windows, the tracking window's satellite list
// and each port's stored values.
#include <gtest/gtest.h>

#include "core/main_window.h"
#include "display/form_track.h"
#include "model/port_reports.h"
#include "support/main_ui.h"
#include "support/monitor_gui.h"
#include "report_delivery.h"

namespace {

constexpr int kDisplaySlot = 0; // COM1
constexpr int kMonitoredSlot = 3;

class HealthDisplay : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_NE(StartMonitorOnFake(kDisplaySlot + 1), nullptr);
        other = AttachFakeSerial(kMonitoredSlot);
        PortTable[kMonitoredSlot].monitored = 1;
    }

    static void Health(int slot, uint8_t code, uint8_t errors, int lengthChange = 0)
    {
        Deliver(slot, Report46{code, errors}, &EncodeReport46, lengthChange);
    }
    static void Status(int slot, uint8_t bits, int lengthChange = 0)
    {
        Deliver(slot, Report4B{0x5A, bits, 0}, &EncodeReport4B, lengthChange);
    }
    static void Dgps(int slot, uint8_t mode, int lengthChange = 0)
    {
        Deliver(slot, Report82{mode}, &EncodeReport82, lengthChange);
    }
    static Report6D Fix(uint8_t bits, std::initializer_list<int> prns)
    {
        Report6D r;
        r.fixModeBits = bits;
        r.pdop = 1.96f;
        r.hdop = 1.23f;
        r.vdop = 0.87f;
        r.tdop = 12.34f;
        for (int prn : prns)
            r.prns[r.prnCount++] = static_cast<int8_t>(prn);
        return r;
    }
    static void SendFix(int slot, const Report6D& r, int lengthChange = 0)
    {
        Deliver(slot, r, &EncodeReport6D, lengthChange);
    }

    std::shared_ptr<FakeSerial::State> other;
};

TEST_F(HealthDisplay, HealthErrorBitsLightBbramYellowAndAntennaRed)
{
    Health(kDisplaySlot, 3, 0x11);
    EXPECT_EQ(MainPanel("Panel_Health")->caption(), "PDOP too high");
    EXPECT_EQ(MainShape("Shape_Err1")->fill(), Colours::Yellow);
    EXPECT_EQ(MainLabel("Label_BBRAMLed")->caption(), "not available at start");
    EXPECT_EQ(MainShape("Shape_Err2")->fill(), Colours::Red);
    EXPECT_EQ(MainLabel("Label_AntennaLed")->caption(), "feed line fault");
    EXPECT_EQ(PortReports[kDisplaySlot].healthCode, 3);
    EXPECT_EQ(PortReports[kDisplaySlot].healthErrors, 0x11);

    // Other bits are not read: 0xEE leaves both lamps green.
    Health(kDisplaySlot, 12, 0xEE);
    EXPECT_EQ(MainPanel("Panel_Health")->caption(), "Choosen SV is unusable");
    EXPECT_EQ(MainShape("Shape_Err1")->fill(), Colours::Lime);
    EXPECT_EQ(MainLabel("Label_BBRAMLed")->caption(), "available at start");
    EXPECT_EQ(MainShape("Shape_Err2")->fill(), Colours::Lime);
    EXPECT_EQ(MainLabel("Label_AntennaLed")->caption(), "feed line OK");
    EXPECT_EQ(PortReports[kDisplaySlot].healthErrors, 0xEE);
}

TEST_F(HealthDisplay, EveryHealthCodeWithATextShowsIt)
{
    const std::vector<std::pair<int, QString>> table = {
        {0, "Doing Position Fixes"}, {1, "Don't have GPS time"},  {2, "Need initialization"},
        {3, "PDOP too high"},        {8, "No usable satellites"}, {9, "Only 1 usable SV"},
        {10, "Only 2 usable SVs"},   {11, "Only 3 usable SVs"},   {12, "Choosen SV is unusable"}};
    for (const auto& [code, text] : table) {
        Health(kDisplaySlot, static_cast<uint8_t>(code), 0);
        EXPECT_EQ(MainPanel("Panel_Health")->caption(), text) << code;
    }
}

TEST_F(HealthDisplay, HealthCodesWithoutTextShowTheirNumberNotTheLastText)
{
    Health(kDisplaySlot, 0, 0);
    Health(kDisplaySlot, 5, 0);
    EXPECT_EQ(MainPanel("Panel_Health")->caption(), "Status code 5");
    Health(kDisplaySlot, 255, 0);
    EXPECT_EQ(MainPanel("Panel_Health")->caption(), "Status code 255");
    EXPECT_EQ(PortReports[kDisplaySlot].healthCode, 255);
}

TEST_F(HealthDisplay, StatusBitsDriveRtcAndAlmanacLamps)
{
    Status(kDisplaySlot, 0x0A);
    EXPECT_EQ(MainShape("Shape_Err3")->fill(), Colours::Yellow);
    EXPECT_EQ(MainLabel("Label_RTCLed")->caption(), "not available at start");
    EXPECT_EQ(MainShape("Shape_Err4")->fill(), Colours::Yellow);
    // Shown with one ampersand between the words.
    EXPECT_EQ(MainLabel("Label_AlmanacLed")->caption(), "not complete & current");
    EXPECT_EQ(PortReports[kDisplaySlot].statusFlags, 0x0A);

    Status(kDisplaySlot, 0x02);
    EXPECT_EQ(MainShape("Shape_Err3")->fill(), Colours::Yellow);
    EXPECT_EQ(MainShape("Shape_Err4")->fill(), Colours::Lime);
    EXPECT_EQ(MainLabel("Label_AlmanacLed")->caption(), "complete & current");

    Status(kDisplaySlot, 0xF5); // neither bit 1 nor bit 3
    EXPECT_EQ(MainShape("Shape_Err3")->fill(), Colours::Lime);
    EXPECT_EQ(MainLabel("Label_RTCLed")->caption(), "available at start");
    EXPECT_EQ(MainShape("Shape_Err4")->fill(), Colours::Lime);
}

TEST_F(HealthDisplay, WrongLengthsChangeNothing)
{
    Health(kDisplaySlot, 3, 0x11, -1);
    Health(kDisplaySlot, 3, 0x11, +1);
    Status(kDisplaySlot, 0x0A, -1);
    Status(kDisplaySlot, 0x0A, +1);
    Dgps(kDisplaySlot, 1, +1);
    SendFix(kDisplaySlot, Fix(0x44, {}), -1);
    EXPECT_EQ(MainPanel("Panel_Health")->caption(), "?");
    EXPECT_EQ(MainPanel("Panel_DGPS")->caption(), "?");
    EXPECT_EQ(MainPanel("Panel_RecMode")->caption(), "?");
    EXPECT_EQ(MainPanel("Panel_PDOP")->caption(), "?");
    for (Shape* lamp : StatusLamps())
        EXPECT_EQ(lamp->fill(), Colours::Grey);
    const PortReportRecord& stored = PortReports[kDisplaySlot];
    EXPECT_EQ(stored.healthCode, 0);
    EXPECT_EQ(stored.healthErrors, 0);
    EXPECT_EQ(stored.statusFlags, 0);
    EXPECT_EQ(stored.dgpsMode, 0);
    EXPECT_EQ(stored.fixMode, 0);
}

TEST_F(HealthDisplay, FixModeCountsSatellitesFromTheModeByteNotThePrnList)
{
    SendFix(kDisplaySlot, Fix(0x44, {3, 7, 11, 19, 22}));
    EXPECT_EQ(MainPanel("Panel_RecMode")->caption(), "3-D  (4 SV)");
    const PortReportRecord& stored = PortReports[kDisplaySlot];
    EXPECT_EQ(stored.fixMode, 0x44);
    EXPECT_EQ(stored.fixSvs, (std::array<int32_t, 8>{3, 7, 11, 19, 22, 0, 0, 0}));
    EXPECT_FLOAT_EQ(stored.pdop, 1.96f);
    EXPECT_FLOAT_EQ(stored.hdop, 1.23f);
    EXPECT_FLOAT_EQ(stored.vdop, 0.87f);
    EXPECT_FLOAT_EQ(stored.tdop, 12.34f);

    SendFix(kDisplaySlot, Fix(0x33, {}));
    EXPECT_EQ(MainPanel("Panel_RecMode")->caption(), "2-D  (3 SV)");
}

TEST_F(HealthDisplay, DopsGoToBothWindowsWithOneDecimal)
{
    SendFix(kDisplaySlot, Fix(0x44, {}));
    const std::array<std::pair<Panel*, Panel*>, 4> pairs = {
        {{MainPanel("Panel_PDOP"), Ui<Panel>(Form_Track, "Panel_PDOP")},
         {MainPanel("Panel_HDOP"), Ui<Panel>(Form_Track, "Panel_HDOP")},
         {MainPanel("Panel_VDOP"), Ui<Panel>(Form_Track, "Panel_VDOP")},
         {MainPanel("Panel_TDOP"), Ui<Panel>(Form_Track, "Panel_TDOP")}}};
    const std::array<QString, 4> expected = {"2.0", "1.2", "0.9", "12.3"};
    for (size_t i = 0; i < pairs.size(); ++i) {
        EXPECT_EQ(pairs[i].first->caption(), expected[i]);
        EXPECT_EQ(pairs[i].second->caption(), expected[i]);
    }
}

TEST_F(HealthDisplay, SelectionListRightAlignsEachPrnInFourCharacters)
{
    SendFix(kDisplaySlot, Fix(0x34, {2, 15, 29}));
    EXPECT_EQ(Ui<Panel>(Form_Track, "Panel_SVSel")->caption(), "   2  15  29");
    // A PRN byte is signed.
    SendFix(kDisplaySlot, Fix(0x14, {0xF6}));
    EXPECT_EQ(Ui<Panel>(Form_Track, "Panel_SVSel")->caption(), " -10");
    EXPECT_EQ(PortReports[kDisplaySlot].fixSvs[0], -10);
}

TEST_F(HealthDisplay, FixWithoutPrnsClearsTheListButOneByteShortIsIgnored)
{
    SendFix(kDisplaySlot, Fix(0x44, {4, 5, 6}));
    SendFix(kDisplaySlot, Fix(0x11, {}), -1); // 16 bytes
    EXPECT_EQ(Ui<Panel>(Form_Track, "Panel_SVSel")->caption(), "   4   5   6");
    EXPECT_EQ(PortReports[kDisplaySlot].fixSvs[2], 6);
    EXPECT_EQ(PortReports[kDisplaySlot].fixMode, 0x44);

    SendFix(kDisplaySlot, Fix(0x11, {})); // 17 bytes
    EXPECT_EQ(Ui<Panel>(Form_Track, "Panel_SVSel")->caption(), "");
    EXPECT_EQ(PortReports[kDisplaySlot].fixSvs, (std::array<int32_t, 8>{}));
}

TEST_F(HealthDisplay, LongSatelliteListKeepsTheFirstEightAndShowsAll)
{
    SendFix(kDisplaySlot, Fix(0xA4, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));
    EXPECT_EQ(PortReports[kDisplaySlot].fixSvs, (std::array<int32_t, 8>{1, 2, 3, 4, 5, 6, 7, 8}));
    EXPECT_EQ(Ui<Panel>(Form_Track, "Panel_SVSel")->caption(), "   1   2   3   4   5   6   7   8   9  10");

    // The longest packet the parser can complete: 494 PRNs, none of them stored past entry 7.
    Report6D longest = Fix(0xF4, {});
    longest.prnCount = static_cast<uint16_t>(kMaxFixPrns);
    longest.prns.fill(31);
    SendFix(kMonitoredSlot, longest);
    EXPECT_EQ(PortReports[kMonitoredSlot].fixSvs, (std::array<int32_t, 8>{31, 31, 31, 31, 31, 31, 31, 31}));
    EXPECT_EQ(PortReports[kMonitoredSlot + 1].fixSvs, (std::array<int32_t, 8>{}));
    SendFix(kDisplaySlot, longest);
    EXPECT_EQ(Ui<Panel>(Form_Track, "Panel_SVSel")->caption().size(), 4 * static_cast<qsizetype>(kMaxFixPrns));
}

TEST_F(HealthDisplay, DgpsModesShowTheirTextsAndOthersTheirNumber)
{
    const std::array<QString, 4> texts = {"Manual (Diff. off)", "Manual (Diff. on)", "Auto (Diff. currently off)",
                                          "Auto (Diff. currently on)"};
    for (uint8_t mode = 0; mode < 4; ++mode) {
        Dgps(kDisplaySlot, mode);
        EXPECT_EQ(MainPanel("Panel_DGPS")->caption(), texts[mode]);
        EXPECT_EQ(PortReports[kDisplaySlot].dgpsMode, mode);
    }
    Dgps(kDisplaySlot, 4);
    EXPECT_EQ(MainPanel("Panel_DGPS")->caption(), "DGPS mode 4");
}

TEST_F(HealthDisplay, MonitoredPortChangesOnlyItsStoredValues)
{
    Health(kMonitoredSlot, 2, 0x10);
    Status(kMonitoredSlot, 0x08);
    SendFix(kMonitoredSlot, Fix(0x44, {9, 12}));
    Dgps(kMonitoredSlot, 3);
    const PortReportRecord& stored = PortReports[kMonitoredSlot];
    EXPECT_EQ(stored.healthCode, 2);
    EXPECT_EQ(stored.healthErrors, 0x10);
    EXPECT_EQ(stored.statusFlags, 0x08);
    EXPECT_EQ(stored.fixMode, 0x44);
    EXPECT_EQ(stored.fixSvs[1], 12);
    EXPECT_EQ(stored.dgpsMode, 3);
    EXPECT_EQ(PortReports[kDisplaySlot].fixSvs, (std::array<int32_t, 8>{}));

    for (Panel* panel : {MainPanel("Panel_Health"), MainPanel("Panel_RecMode"), MainPanel("Panel_DGPS"),
                         MainPanel("Panel_PDOP"), Ui<Panel>(Form_Track, "Panel_PDOP")})
        EXPECT_EQ(panel->caption(), "?") << panel->objectName().toStdString();
    EXPECT_EQ(Ui<Panel>(Form_Track, "Panel_SVSel")->caption(), "");
    for (Shape* lamp : StatusLamps())
        EXPECT_EQ(lamp->fill(), Colours::Grey);
    EXPECT_FALSE(MainShape("Shape_RxLED")->isLit());
}

TEST_F(HealthDisplay, ResetDisplayForgetsTheFixSatellitesOfEveryPort)
{
    SendFix(kDisplaySlot, Fix(0x44, {5}));
    SendFix(kMonitoredSlot, Fix(0x44, {6}));
    Health(kDisplaySlot, 0, 0);
    Form_Main->ResetDisplay();
    EXPECT_EQ(PortReports[kDisplaySlot].fixSvs, (std::array<int32_t, 8>{}));
    EXPECT_EQ(PortReports[kMonitoredSlot].fixSvs, (std::array<int32_t, 8>{}));
    EXPECT_EQ(MainShape("Shape_Err1")->fill(), Colours::Grey);
    EXPECT_EQ(MainPanel("Panel_Health")->caption(), "?");
    // Other stored values stay for the data logger.
    EXPECT_EQ(PortReports[kMonitoredSlot].fixMode, 0x44);
}

} // namespace
