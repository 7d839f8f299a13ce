// Software version reports: the product window, the status bar's firmware
// field and the unlocking of the datum controls.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>

#include "config/form_io_options.h"
#include "core/main_window.h"
#include "display/form_product.h"
#include "support/main_ui.h"
#include "support/monitor_gui.h"
#include "report_delivery.h"

namespace {

constexpr int kDisplaySlot = 1; // COM2
constexpr int kMonitoredSlot = 5;

Report45 Versions(uint8_t major, uint8_t minor)
{
    Report45 r;
    r.navigation = {major, minor, 3, 7, 1};
    r.signal = {4, 2, 12, 31, 255};
    return r;
}

class ProductDisplay : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_NE(StartMonitorOnFake(kDisplaySlot + 1), nullptr);
        other = AttachFakeSerial(kMonitoredSlot);
        PortTable[kMonitoredSlot].monitored = 1;
        datumLabel = Ui<Label>(Form_IOOptions, "Label_Datum");
        datumList = Ui<QComboBox>(Form_IOOptions, "ComboBox_Datum");
    }

    // The datum row of both windows is enabled and drawn in the window colour.
    bool DatumUnlocked() const
    {
        return datumLabel->isEnabled() && datumList->isEnabled() &&
               datumList->palette().color(QPalette::Base) == WindowColour() &&
               MainLabel("Label_DatumMain")->isEnabled() && MainPanel("Panel_Datum")->colour() == WindowColour();
    }

    std::shared_ptr<FakeSerial::State> other;
    Label* datumLabel = nullptr;
    QComboBox* datumList = nullptr;
};

TEST_F(ProductDisplay, VersionsAndDatesFillTheProductWindowAndStatusBar)
{
    EXPECT_EQ(Ui<Panel>(Form_Product, "Panel_NavVersion")->caption(), "?");
    EXPECT_EQ(Ui<Panel>(Form_Product, "Panel_SigDate")->caption(), "?");
    EXPECT_EQ(MainPanel("Panel_Version")->caption(), "");

    Deliver(kDisplaySlot, Versions(1, 12), &EncodeReport45);
    EXPECT_EQ(Ui<Panel>(Form_Product, "Panel_NavVersion")->caption(), "1.12");
    EXPECT_EQ(Ui<Panel>(Form_Product, "Panel_NavDate")->caption(), "3/7/2001");
    EXPECT_EQ(Ui<Panel>(Form_Product, "Panel_SigVersion")->caption(), "4.2");
    EXPECT_EQ(Ui<Panel>(Form_Product, "Panel_SigDate")->caption(), "12/31/2255");
    EXPECT_EQ(MainPanel("Panel_Version")->caption(), "1.12");
    EXPECT_FALSE(Form_Product->isVisible());
}

TEST_F(ProductDisplay, DatumControlsUnlockFromVersionOneTwelveComparingEachPartAlone)
{
    // As the windows start: the datum rows disabled, the main window's field in the panel colour.
    EXPECT_FALSE(MainLabel("Label_DatumMain")->isEnabled());
    EXPECT_EQ(MainPanel("Panel_Datum")->colour(), ButtonFaceColour());
    EXPECT_EQ(MainLabel("Label_DatumMain")->text(), "Datum");
    EXPECT_FALSE(datumLabel->isEnabled());

    Deliver(kDisplaySlot, Versions(1, 11), &EncodeReport45);
    EXPECT_EQ(MainPanel("Panel_Version")->caption(), "1.11");
    EXPECT_FALSE(DatumUnlocked());
    EXPECT_FALSE(datumList->isEnabled());

    Deliver(kDisplaySlot, Versions(0, 12), &EncodeReport45);
    EXPECT_TRUE(DatumUnlocked());
}

TEST_F(ProductDisplay, MajorVersionTwoUnlocksAndOlderFirmwareLaterDoesNotLockAgain)
{
    Deliver(kDisplaySlot, Versions(2, 0), &EncodeReport45);
    EXPECT_EQ(MainPanel("Panel_Version")->caption(), "2.0");
    EXPECT_TRUE(DatumUnlocked());
    Deliver(kDisplaySlot, Versions(1, 0), &EncodeReport45);
    EXPECT_EQ(MainPanel("Panel_Version")->caption(), "1.0");
    EXPECT_TRUE(DatumUnlocked());
}

TEST_F(ProductDisplay, ReportOfWrongLengthChangesNothing)
{
    Deliver(kDisplaySlot, Versions(2, 0), &EncodeReport45, -1);
    Deliver(kDisplaySlot, Versions(2, 0), &EncodeReport45, +1);
    EXPECT_EQ(Ui<Panel>(Form_Product, "Panel_NavVersion")->caption(), "?");
    EXPECT_EQ(Ui<Panel>(Form_Product, "Panel_NavDate")->caption(), "?");
    EXPECT_EQ(MainPanel("Panel_Version")->caption(), "");
    EXPECT_FALSE(datumList->isEnabled());
}

TEST_F(ProductDisplay, MonitoredPortVersionsAreNotShown)
{
    Deliver(kMonitoredSlot, Versions(2, 0), &EncodeReport45);
    EXPECT_EQ(Ui<Panel>(Form_Product, "Panel_NavVersion")->caption(), "?");
    EXPECT_EQ(MainPanel("Panel_Version")->caption(), "");
    EXPECT_FALSE(datumList->isEnabled());
    EXPECT_TRUE(PortTable[kMonitoredSlot].packetSeen);
}

TEST_F(ProductDisplay, WindowLayoutNamesItsGroupsAndHint)
{
    EXPECT_EQ(Form_Product->windowTitle(), "Product Information");
    EXPECT_EQ(HintOf(Form_Product), "Software versions: packets 1F, 45.");
    // Each processor's fields sit in their own framed group.
    auto* nav = qobject_cast<QGroupBox*>(Ui<Panel>(Form_Product, "Panel_NavDate")->parentWidget());
    auto* sig = qobject_cast<QGroupBox*>(Ui<Panel>(Form_Product, "Panel_SigVersion")->parentWidget());
    ASSERT_TRUE(nav && sig);
    EXPECT_EQ(nav->title(), "Navigation Processor:");
    EXPECT_EQ(sig->title(), "Signal Processor:");
}

} // namespace
