// Velocity reports 0x43 and 0x56: per-port store, the velocity panel of the
// display port and the bias rate in the timing outputs window.
#include <gtest/gtest.h>

#include "config/form_bias.h"
#include "core/main_window.h"
#include "model/port_reports.h"
#include "report_delivery.h"
#include "support/main_ui.h"
#include "support/monitor_gui.h"

namespace {

constexpr int kDisplaySlot = 2;   // COM3
constexpr int kMonitoredSlot = 5; // COM6

class VelocityReports : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_NE(StartMonitorOnFake(kDisplaySlot + 1), nullptr);
        AttachFakeSerial(kMonitoredSlot);
        PortTable[kMonitoredSlot].monitored = 1;
        PortReports.fill(PortReportRecord{});
    }
    void TearDown() override { PortReports.fill(PortReportRecord{}); }

    QStringList Rows() const
    {
        QStringList rows;
        for (size_t i = 0; i < 3; ++i)
            rows << MainLabel("Label_Vel", i)->text() + " " + MainPanel("Panel_Vel", i)->text();
        return rows;
    }
};

TEST_F(VelocityReports, EnuShowsMagnitudesWithDirectionWords)
{
    Deliver(kDisplaySlot, Report56{-1.234f, 2.5f, 0.0f, 0.299792458f, 0}, &EncodeReport56);
    EXPECT_EQ(MainLabel("Label_PanelVel")->text(), "ENU Velocity");
    EXPECT_EQ(HintOf(MainPanel("Panel_Velocity")), "Velocity: Packet 56");
    EXPECT_EQ(Rows(), QStringList({"West 1.23", "North 2.50", "Up 0.00"}));
    EXPECT_EQ(Ui<Panel>(Form_Bias, "Panel_BiasRate")->text(), "1.00");

    const PortReportRecord& r = PortReports[kDisplaySlot];
    EXPECT_EQ(r.velEast, -1.234f);
    EXPECT_EQ(r.velNorth, 2.5f);
    EXPECT_EQ(r.velUp, 0.0f);
    EXPECT_NEAR(r.biasRatePpb, 1.0f, 1e-6f);
}

TEST_F(VelocityReports, EnuOppositeDirectionsAndMinusZero)
{
    Deliver(kDisplaySlot, Report56{3.0f, -0.5f, -0.0f, 0, 0}, &EncodeReport56);
    EXPECT_EQ(Rows(), QStringList({"East 3.00", "South 0.50", "Up 0.00"}));
    Deliver(kDisplaySlot, Report56{0, 0, -3.5f, 0, 0}, &EncodeReport56);
    EXPECT_EQ(Rows(), QStringList({"East 0.00", "North 0.00", "Down 3.50"}));
}

TEST_F(VelocityReports, EcefShowsSignedComponents)
{
    Deliver(kDisplaySlot, Report56{-1, -1, -1, 0, 0}, &EncodeReport56);
    Deliver(kDisplaySlot, Report43{-1.5f, 2.25f, -0.75f, 2.99792458f, 0}, &EncodeReport43);
    EXPECT_EQ(MainLabel("Label_PanelVel")->text(), "ECEF Velocity");
    EXPECT_EQ(HintOf(MainPanel("Panel_Velocity")), "Velocity: Packet 43");
    EXPECT_EQ(Rows(), QStringList({"X -1.50", "Y 2.25", "Z -0.75"}));
    EXPECT_EQ(Ui<Panel>(Form_Bias, "Panel_BiasRate")->text(), "10.00");

    const PortReportRecord& r = PortReports[kDisplaySlot];
    EXPECT_EQ(r.velX, -1.5f);
    EXPECT_EQ(r.velZ, -0.75f);
    EXPECT_EQ(r.velEast, -1.0f); // the other frame keeps its last values
    EXPECT_NEAR(r.biasRatePpb, 10.0f, 1e-5f);
}

TEST_F(VelocityReports, MonitoredPortIsStoredButShowsNothing)
{
    Deliver(kMonitoredSlot, Report43{1, 2, 3, 0.299792458f, 0}, &EncodeReport43);
    EXPECT_EQ(PortReports[kMonitoredSlot].velY, 2.0f);
    EXPECT_NEAR(PortReports[kMonitoredSlot].biasRatePpb, 1.0f, 1e-6f);
    EXPECT_EQ(MainLabel("Label_PanelVel")->text(), "Velocity:");
    EXPECT_EQ(Rows(), QStringList({"X ?", "Y ?", "Z ?"}));
    EXPECT_EQ(Ui<Panel>(Form_Bias, "Panel_BiasRate")->text(), "");
}

TEST_F(VelocityReports, WrongLengthIsIgnored)
{
    std::vector<uint8_t> message = Message(Report56{1, 2, 3, 4, 5}, &EncodeReport56);
    message.pop_back(); // 19 data bytes
    DeliverMessage(kDisplaySlot, message);
    EXPECT_EQ(Rows(), QStringList({"X ?", "Y ?", "Z ?"}));
    EXPECT_EQ(PortReports[kDisplaySlot].velNorth, 0.0f);
}

} // namespace
