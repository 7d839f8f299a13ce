// Software version reports: the product window, the status bar's firmware
// field and the unlocking of the datum controls.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>

#include "config/form_io_options.h"
#include "core/main_window.h"
#include "display/form_product.h"
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
        // The datum controls as the I/O options dialog and the main window start them.
        datumLabel = Form_IOOptions->findChild<QLabel*>("Label_Datum");
        if (!datumLabel)
            datumLabel = new QLabel("Datum:", Form_IOOptions);
        datumLabel->setObjectName("Label_Datum");
        datumList = Form_IOOptions->findChild<QComboBox*>("ComboBox_Datum");
        if (!datumList)
            datumList = new QComboBox(Form_IOOptions);
        datumList->setObjectName("ComboBox_Datum");
        datumLabel->setEnabled(false);
        datumList->setEnabled(false);
        Form_Main->Panel_Datum->setColour(ButtonFaceColour());
    }

    bool DatumUnlocked() const
    {
        return datumLabel->isEnabled() && datumList->isEnabled() &&
               datumList->palette().color(QPalette::Base) == WindowColour() &&
               Form_Main->Panel_Datum->colour() == WindowColour();
    }

    std::shared_ptr<FakeSerial::State> other;
    QLabel* datumLabel = nullptr;
    QComboBox* datumList = nullptr;
};

TEST_F(ProductDisplay, VersionsAndDatesFillTheProductWindowAndStatusBar)
{
    EXPECT_EQ(Form_Product->Panel_NavVersion->caption(), "?");
    EXPECT_EQ(Form_Product->Panel_SigDate->caption(), "?");
    EXPECT_EQ(Form_Main->Panel_Version->caption(), "");

    Deliver(kDisplaySlot, Versions(1, 12), &EncodeReport45);
    EXPECT_EQ(Form_Product->Panel_NavVersion->caption(), "1.12");
    EXPECT_EQ(Form_Product->Panel_NavDate->caption(), "3/7/2001");
    EXPECT_EQ(Form_Product->Panel_SigVersion->caption(), "4.2");
    EXPECT_EQ(Form_Product->Panel_SigDate->caption(), "12/31/2255");
    EXPECT_EQ(Form_Main->Panel_Version->caption(), "1.12");
    EXPECT_FALSE(Form_Product->isVisible());
}

TEST_F(ProductDisplay, DatumControlsUnlockFromVersionOneTwelveComparingEachPartAlone)
{
    Deliver(kDisplaySlot, Versions(1, 11), &EncodeReport45);
    EXPECT_EQ(Form_Main->Panel_Version->caption(), "1.11");
    EXPECT_FALSE(DatumUnlocked());
    EXPECT_FALSE(datumList->isEnabled());

    Deliver(kDisplaySlot, Versions(0, 12), &EncodeReport45);
    EXPECT_TRUE(DatumUnlocked());
}

TEST_F(ProductDisplay, MajorVersionTwoUnlocksAndOlderFirmwareLaterDoesNotLockAgain)
{
    Deliver(kDisplaySlot, Versions(2, 0), &EncodeReport45);
    EXPECT_EQ(Form_Main->Panel_Version->caption(), "2.0");
    EXPECT_TRUE(DatumUnlocked());
    Deliver(kDisplaySlot, Versions(1, 0), &EncodeReport45);
    EXPECT_EQ(Form_Main->Panel_Version->caption(), "1.0");
    EXPECT_TRUE(DatumUnlocked());
}

TEST_F(ProductDisplay, ReportOfWrongLengthChangesNothing)
{
    Deliver(kDisplaySlot, Versions(2, 0), &EncodeReport45, -1);
    Deliver(kDisplaySlot, Versions(2, 0), &EncodeReport45, +1);
    EXPECT_EQ(Form_Product->Panel_NavVersion->caption(), "?");
    EXPECT_EQ(Form_Product->Panel_NavDate->caption(), "?");
    EXPECT_EQ(Form_Main->Panel_Version->caption(), "");
    EXPECT_FALSE(datumList->isEnabled());
}

TEST_F(ProductDisplay, MonitoredPortVersionsAreNotShown)
{
    Deliver(kMonitoredSlot, Versions(2, 0), &EncodeReport45);
    EXPECT_EQ(Form_Product->Panel_NavVersion->caption(), "?");
    EXPECT_EQ(Form_Main->Panel_Version->caption(), "");
    EXPECT_FALSE(datumList->isEnabled());
    EXPECT_TRUE(PortTable[kMonitoredSlot].packetSeen);
}

TEST_F(ProductDisplay, WindowLayoutNamesItsGroupsAndHint)
{
    EXPECT_EQ(Form_Product->windowTitle(), "Product Information");
    EXPECT_EQ(HintOf(Form_Product), "Software versions: packets 1F, 45.");
    // Each processor's fields sit in their own framed group.
    auto* nav = qobject_cast<QGroupBox*>(Form_Product->Panel_NavDate->parentWidget());
    auto* sig = qobject_cast<QGroupBox*>(Form_Product->Panel_SigVersion->parentWidget());
    ASSERT_TRUE(nav && sig);
    EXPECT_EQ(nav->title(), "Navigation Processor:");
    EXPECT_EQ(sig->title(), "Signal Processor:");
}

} // namespace
