// Recorded receiver traffic read by the poll timer from the display port:
// the status panels, satellite rows and product window show what the
// receivers said (values worked out from the recordings by hand).
#include <gtest/gtest.h>

#include "core/main_window.h"
#include "display/form_product.h"
#include "display/form_track.h"
#include "model/port_reports.h"
#include "support/captures.h"
#include "support/main_ui.h"
#include "support/monitor_gui.h"

namespace {

constexpr int kDisplayCom = 2;

void PlayOnDisplayPort(const std::string& capture)
{
    auto line = StartMonitorOnFake(kDisplayCom);
    ASSERT_NE(line, nullptr);
    Feed(*line, ReadCapture(capture));
    for (int tick = 0; tick < 50 && !line->input.empty(); ++tick)
        Tick();
    ASSERT_TRUE(line->input.empty());
}

// The eight rows of a column of the main window's satellite table ("Panel_SV", ...).
QStringList SatelliteColumn(const QString& column)
{
    QStringList texts;
    for (int row = 0; row < 8; ++row)
        texts << MainPanel(column, row)->caption();
    return texts;
}

// A timing receiver: fix code 5, ten satellites in the fix, twelve channels,
// a health code without a text of its own.
TEST(StatusCaptures, TimingReceiverWithMoreThanEightChannelsAndSatellites)
{
    PlayOnDisplayPort("receiver-f.bin");
    EXPECT_EQ(MainPanel("Panel_RecMode")->caption(), "4-D  (10 SV)");
    EXPECT_EQ(MainPanel("Panel_PDOP")->caption(), "0.0");
    EXPECT_EQ(MainPanel("Panel_TDOP")->caption(), "1.0");
    EXPECT_EQ(Ui<Panel>(Form_Track, "Panel_SVSel")->caption(), "  16  14  29   3  26  23  22  31  32  25");
    EXPECT_EQ(PortReports[kDisplayCom - 1].fixSvs, (std::array<int32_t, 8>{16, 14, 29, 3, 26, 23, 22, 31}));

    EXPECT_EQ(MainPanel("Panel_Health")->caption(), "Status code 187");
    EXPECT_EQ(MainShape("Shape_Err1")->fill(), Colours::Yellow); // error byte 0x01
    EXPECT_EQ(MainShape("Shape_Err2")->fill(), Colours::Lime);
    EXPECT_EQ(MainShape("Shape_Err3")->fill(), Colours::Yellow); // status byte 0x02
    EXPECT_EQ(MainShape("Shape_Err4")->fill(), Colours::Lime);

    // Channels 8 and 9 were reported too; only 0 to 7 have rows.
    EXPECT_EQ(SatelliteColumn("Panel_SV"), (QStringList{"31", "14", "26", "22", "03", "32", "16", "29"}));
    EXPECT_EQ(SatelliteColumn("Panel_AMU"),
              (QStringList{" 34.0", " 29.0", " 44.0", " 47.0", " 43.0", " 25.0", " 48.0", " 25.0"}));
    EXPECT_EQ(SatelliteColumn("Panel_AZ"),
              (QStringList{" 32.0", "108.0", "187.0", "266.0", "295.0", "123.0", "198.0", " 79.0"}));
    EXPECT_EQ(SatelliteColumn("Panel_EL"),
              (QStringList{" 68.0", " 63.0", " 60.0", " 42.0", " 37.0", " 34.0", " 31.0", " 20.0"}));
    EXPECT_TRUE(Ui<Panel>(Form_Track, "Panel_TS", 4)->caption().startsWith("  3  0   5"));
}

TEST(StatusCaptures, NavigationReceiverFixModeHealthAndDgps)
{
    PlayOnDisplayPort("receiver-a.bin");
    EXPECT_EQ(MainPanel("Panel_RecMode")->caption(), "2-D  (4 SV)");
    EXPECT_EQ(Ui<Panel>(Form_Track, "Panel_SVSel")->caption(), "   2  10  30  24");
    EXPECT_EQ(MainPanel("Panel_PDOP")->caption(), "5.2");
    EXPECT_EQ(MainPanel("Panel_VDOP")->caption(), "0.0");
    EXPECT_EQ(MainPanel("Panel_Health")->caption(), "Doing Position Fixes");
    EXPECT_EQ(MainPanel("Panel_DGPS")->caption(), "Auto (Diff. currently off)");
    for (Shape* lamp : StatusLamps())
        EXPECT_EQ(lamp->fill(), Colours::Lime);
    // Channels 2 and 3 were never reported.
    EXPECT_EQ(SatelliteColumn("Panel_SV"), (QStringList{"26", "24", "", "", "06", "29", "02", "21"}));
}

TEST(StatusCaptures, ProductVersionsOfTheRichestReceiver)
{
    PlayOnDisplayPort("receiver-h.bin");
    EXPECT_EQ(Ui<Panel>(Form_Product, "Panel_NavVersion")->caption(), "1.5");
    EXPECT_EQ(Ui<Panel>(Form_Product, "Panel_NavDate")->caption(), "4/3/2018");
    EXPECT_EQ(Ui<Panel>(Form_Product, "Panel_SigVersion")->caption(), "3.86");
    EXPECT_EQ(Ui<Panel>(Form_Product, "Panel_SigDate")->caption(), "2/6/2018");
    // 0x1C-81 came after 0x45 with the same firmware: the last report's text.
    EXPECT_EQ(MainPanel("Panel_Version")->caption(), "1.05");
}

} // namespace
