// The main window as designed: regions, value fields, status bar arithmetic
// in both layouts, and the companion windows.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QAction>
#include <QFrame>
#include <QPushButton>
#include <QSet>

#include "config/form_about.h"
#include "config/form_bias.h"
#include "config/form_filters.h"
#include "config/form_gps.h"
#include "config/form_initial_pos.h"
#include "config/form_initial_time.h"
#include "config/form_io_options.h"
#include "config/form_serial.h"
#include "core/main_window.h"
#include "display/form_product.h"
#include "display/form_track.h"
#include "logging/form_log.h"
#include "logging/form_log_zelk.h"
#include "platform/port_enumeration.h"
#include "support/main_ui.h"
#include "support/monitor_gui.h"
#include "transfer/form_alm.h"

namespace {

QWidget* Find(const char* name)
{
    QWidget* w = Form_Main->findChild<QWidget*>(name);
    EXPECT_NE(w, nullptr) << name;
    return w;
}

QRect Rect(const char* name)
{
    QWidget* w = Find(name);
    return w ? w->geometry() : QRect();
}

class MainWindowLayout : public testing::Test {
protected:
    void SetUp() override { ASSERT_NE(StartMonitorOnFake(3), nullptr); }
};

TEST_F(MainWindowLayout, RegionsSitWhereDesigned)
{
    struct Row {
        const char* name;
        QRect rect;
    } rows[] = {
        {"Panel_Timing", {1, 0, 196, 105}},      {"Panel_Velocity", {1, 112, 196, 105}},
        // Position and Status are 32 pixels wider than first designed, so the
        // longest datum name and status texts fit; the columns right of them move.
        {"Panel_DeltaPos", {1, 224, 196, 97}},   {"Panel_Position", {201, 0, 225, 129}},
        {"Panel_Status", {201, 136, 225, 185}},  {"Panel_Satellites", {430, 0, 166, 227}},
        {"Panel_DOPS", {430, 234, 166, 87}},     {"Panel_Com", {600, 0, 81, 321}},
        {"Panel_Record", {Rect("Panel_Record").x(), 328, 60, 20}},
    };
    for (const Row& row : rows)
        EXPECT_EQ(Rect(row.name), row.rect) << row.name;
    EXPECT_EQ(Form_Main->windowTitle(), "3 JX_Monitor");
}

// Status bar: the bevel is the window width minus 8; Serial, Device, Version
// and Record are right-aligned 3 pixels apart; the hint line fills the rest.
void ExpectStatusBar(int designWidth)
{
    const QRect bevel = Rect("Bevel1");
    EXPECT_EQ(bevel, QRect(1, 325, designWidth - 8, 26));
    const QRect serial = Rect("Panel_Serial"), version = Rect("Panel_Version"), record = Rect("Panel_Record");
    EXPECT_EQ(serial.x() + serial.width(), designWidth - 7 - 3);
    const QRect device = Rect("Panel_Device");
    EXPECT_EQ(device.x() + device.width(), serial.x() - 3);
    EXPECT_EQ(version.x() + version.width(), device.x() - 3);
    EXPECT_EQ(record.x() + record.width(), version.x() - 3);
    EXPECT_EQ(Rect("Panel_Hint").width(), record.x() - Rect("Panel_TxRx").width() - 11);
    // Nothing of the status bar overlaps: the hint line ends before Panel_Record.
    EXPECT_LT(Rect("Panel_Hint").right(), record.left());
}

TEST_F(MainWindowLayout, SinglePortLayoutEndsAfterTheSatellitePanel)
{
    Form_Main->SetSingleLayout();
    // 430 + 166 + 7: the COM panel lies beyond the window's edge.
    EXPECT_EQ(Form_Main->DesignWidth(), 603);
    EXPECT_EQ(Main<QWidget>("ClientArea")->size(), QSize(597, 351));
    ExpectStatusBar(603);
    EXPECT_FALSE(MainAction("WindowMultiPort")->isChecked());
    EXPECT_FALSE(MainAction("MenuMP_MultiPort")->isChecked());
}

// A stable device name is long: it is cut in the middle, read whole in the
// hint line, and leaves the hint line room in the narrower layout.
TEST(MainWindowStatusBar, ALongDeviceNameIsCutInTheMiddleAndReadWholeInTheHint)
{
    const QString path = "/dev/serial/by-id/usb-Adapter_Maker_Dual_RS232_Adapter_0123456789-if00-port0";
    SetComDevice(3, path.toStdString());
    ASSERT_NE(StartMonitorOnFake(3), nullptr);
    Form_Main->SetSingleLayout();
    const QString caption = MainPanel("Panel_Device")->caption();
    EXPECT_TRUE(caption.startsWith("/dev/") && caption.endsWith("port0") && caption.contains(QChar(0x2026)))
        << caption.toStdString();
    EXPECT_LE(MainPanel("Panel_Device")->fontMetrics().horizontalAdvance(caption), MainPanel("Panel_Device")->width());
    EXPECT_EQ(HintOf(MainPanel("Panel_Device")), "COM3: " + path);
    ExpectStatusBar(603);
    EXPECT_GE(Rect("Panel_Hint").width(), 100);
}

TEST_F(MainWindowLayout, MultiportLayoutShowsTheComPanelInA682PixelClient)
{
    Form_Main->SetMultiportLayout();
    EXPECT_EQ(Form_Main->DesignWidth(), 688);
    EXPECT_EQ(Main<QWidget>("ClientArea")->size(), QSize(682, 351));
    ExpectStatusBar(688);
    EXPECT_TRUE(MainAction("WindowMultiPort")->isChecked());
    EXPECT_TRUE(MainAction("MenuMP_MultiPort")->isChecked());
    // Both menu items switch back and forth.
    MainAction("MenuMP_MultiPort")->trigger();
    EXPECT_EQ(Form_Main->DesignWidth(), 603);
    EXPECT_FALSE(MainAction("WindowMultiPort")->isChecked());
    MainAction("WindowMultiPort")->trigger();
    EXPECT_EQ(Form_Main->DesignWidth(), 688);
    EXPECT_TRUE(MainAction("MenuMP_MultiPort")->isChecked());
}

QStringList ExpectedValueFields()
{
    QStringList names = {"Panel_Time",   "Panel_Date",     "Panel_Week",   "Panel_TOW",      "Panel_Vel1",
                         "Panel_Vel2",   "Panel_Vel3",     "Panel_DeltaLat", "Panel_DeltaLon", "Panel_X",
                         "Panel_Y",      "Panel_Alt_Z",    "Panel_NorthSouth", "Panel_LatDeg", "Panel_LatMin",
                         "Panel_EastWest", "Panel_LonDeg", "Panel_LonMin", "Panel_Datum",    "Panel_RecMode",
                         "Panel_Health", "Panel_DGPS",     "Panel_PDOP",   "Panel_HDOP",     "Panel_VDOP",
                         "Panel_TDOP"};
    for (int n = 1; n <= 8; ++n)
        for (const char* kind : {"Panel_SV", "Panel_AMU", "Panel_AZ", "Panel_EL"})
            names << QString("%1%2").arg(kind).arg(n);
    return names;
}

TEST_F(MainWindowLayout, The58ValueFieldsAndFourLampsStartAsDesigned)
{
    QSet<QString> tagged;
    for (Panel* p : Form_Main->findChildren<Panel*>()) {
        if (p->tag() != 1)
            continue;
        tagged.insert(p->objectName());
        // The datum field waits in the panel colour until firmware with datums answers.
        const bool datum = p->objectName() == "Panel_Datum";
        EXPECT_EQ(p->colour(), datum ? ButtonFaceColour() : WindowColour()) << p->objectName().toStdString();
        const bool blank = p->objectName().startsWith("Panel_SV") || p->objectName().startsWith("Panel_AMU") ||
                           p->objectName().startsWith("Panel_AZ") || p->objectName().startsWith("Panel_EL") ||
                           p->objectName() == "Panel_Datum";
        EXPECT_EQ(p->caption(), blank ? "" : "?") << p->objectName().toStdString();
    }
    const QStringList expected = ExpectedValueFields();
    EXPECT_EQ(expected.size(), 58);
    EXPECT_EQ(tagged, QSet<QString>(expected.begin(), expected.end()));

    QStringList lamps;
    for (Shape* s : Form_Main->findChildren<Shape*>())
        if (s->tag() == 1) {
            lamps << s->objectName();
            EXPECT_EQ(s->fill(), Colours::Grey);
            EXPECT_EQ(s->accessibleName(), "dark");
        }
    lamps.sort();
    EXPECT_EQ(lamps, QStringList({"Shape_Err1", "Shape_Err2", "Shape_Err3", "Shape_Err4"}));
    // ECEF rows hidden, the LLA trios shown, the deltas covered by the blanks.
    EXPECT_TRUE(Find("Panel_X")->isHidden());
    EXPECT_FALSE(Find("Panel_LatDeg")->isHidden());
    EXPECT_EQ(Rect("Panel_Disable"), Rect("Panel_DeltaLat"));
    EXPECT_EQ(Rect("Panel_Disable2"), Rect("Panel_DeltaLon"));
}

TEST_F(MainWindowLayout, StatusBarAndComPanelCaptions)
{
    EXPECT_EQ(MainPanel("Panel_Record")->caption(), "Off");
    EXPECT_EQ(MainPanel("Panel_LogStatus")->caption(), "Logging Off");
    EXPECT_EQ(Main<QPushButton>("Button_TxAll")->text(), "Tx All");
    EXPECT_EQ(MainShape("Shape_TxAll")->fill(), Colours::Grey);
    for (int slot = 0; slot < 16; ++slot)
        EXPECT_EQ(MainPanel("Panel_MonCom", slot)->caption(), QString::number(slot + 1));
    // Left column COM1-8, right column COM9-16.
    EXPECT_EQ(Rect("Panel_MonCom1").x(), Rect("Panel_MonCom8").x());
    EXPECT_GT(Rect("Panel_MonCom9").x(), Rect("Panel_MonCom1").x());
    EXPECT_EQ(Rect("Panel_MonCom9").y(), Rect("Panel_MonCom1").y());
}

TEST_F(MainWindowLayout, CompanionWindowsExistHiddenWithTheirCaptions)
{
    struct Row {
        QWidget* form;
        const char* name;
        const char* caption;
    } rows[] = {
        {Form_Alm, "Form_Alm", "Data Loading Status"},
        {Form_Filters, "Form_Filters", "Configure Filters"},
        {Form_InitialPos, "Form_InitialPos", "Initial Position"},
        {Form_InitialTime, "Form_InitialTime", "Time From PC"},
        {Form_IOOptions, "Form_IOOptions", "I/O Options"},
        {Form_Product, "Form_Product", "Product Information"},
        {Form_GPS, "Form_GPS", "Receiver Configuration"},
        {Form_Serial, "Form_Serial", "Serial Port Configuration"},
        {Form_Track, "Form_Track", "Tracking Status"},
        {Form_About, "Form_About", "About JX_Monitor"},
        {Form_Log, "Form_Log", "Data Logging Setup and Status"},
        {Form_Bias, "Form_Bias", "Timing Outputs"},
        {Form_LogZelk, "Form_LogZelk", "ZELK Logging Setup and Status"},
    };
    for (const Row& row : rows) {
        ASSERT_NE(row.form, nullptr) << row.name;
        EXPECT_EQ(row.form->objectName(), row.name);
        EXPECT_EQ(row.form->windowTitle(), row.caption);
        EXPECT_TRUE(row.form->isHidden()) << row.name;
    }
}

} // namespace
