// The menus: items in order with their captions, shortcuts and check marks.
#include <gtest/gtest.h>

#include <QAction>
#include <QMenu>
#include <QMap>
#include <QMenuBar>

#include "monitor/monitor.h"
#include "config/form_bias.h"
#include "core/main_window.h"
#include "core/run_options.h"
#include "display/form_product.h"
#include "display/form_track.h"
#include "views/form_packets.h"
#include "views/form_ports.h"
#include "link/commands.h"
#include "link/port_table.h"
#include "support/fake_serial.h"
#include "support/main_ui.h"
#include "support/monitor_gui.h"

namespace {

struct Item {
    const char* name;
    const char* caption; // "-" for a separator
    const char* shortcut;
};

void ExpectItems(const QMenu* menu, const std::vector<Item>& items)
{
    const QList<QAction*> actions = menu->actions();
    ASSERT_EQ(actions.size(), static_cast<qsizetype>(items.size())) << menu->objectName().toStdString();
    for (size_t i = 0; i < items.size(); ++i) {
        const QAction* a = actions[static_cast<qsizetype>(i)];
        EXPECT_EQ(a->objectName(), items[i].name);
        if (std::string(items[i].caption) == "-") {
            EXPECT_TRUE(a->isSeparator()) << items[i].name;
            continue;
        }
        EXPECT_EQ(a->text(), items[i].caption);
        EXPECT_EQ(a->shortcut(), QKeySequence(items[i].shortcut)) << items[i].name;
    }
}

class MainMenu : public testing::Test {
protected:
    void SetUp() override { ASSERT_NE(StartMonitorOnFake(1), nullptr); }
};

// The letter after "&" in a caption, lower case; 0 when there is none.
QChar Mnemonic(const QString& caption)
{
    for (qsizetype i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != '&')
            continue;
        if (caption[i + 1] != '&')
            return caption[i + 1].toLower();
        ++i; // "&&" is a plain ampersand
    }
    return QChar();
}

// Every menu's items, and the menu bar's titles, can each be reached by a
// letter of their own: items added later by other windows are checked too.
TEST_F(MainMenu, EveryMenuHasUniqueMnemonics)
{
    QList<const QWidget*> menus = {Form_Main->menuBar()};
    for (const QMenu* menu : Form_Main->findChildren<QMenu*>())
        menus << menu;
    ASSERT_GE(menus.size(), 8);
    for (const QWidget* menu : menus) {
        QMap<QChar, QString> seen;
        for (const QAction* a : menu->actions()) {
            if (a->isSeparator())
                continue;
            const QChar key = Mnemonic(a->text());
            EXPECT_FALSE(key.isNull()) << a->text().toStdString() << " has no mnemonic";
            if (key.isNull())
                continue;
            EXPECT_FALSE(seen.contains(key)) << menu->objectName().toStdString() << ": " << a->text().toStdString()
                                             << " and " << seen.value(key).toStdString();
            seen.insert(key, a->text());
        }
    }
}

TEST_F(MainMenu, MenuBarHoldsTheFileMenuThenTheFiveMenusInOrder)
{
    QStringList titles;
    for (QAction* a : Form_Main->menuBar()->actions())
        titles << a->text();
    EXPECT_EQ(titles, QStringList({"&File", "&Initialize", "&Configure", "&Logging", "&Window", "&Help"}));
    EXPECT_EQ(Form_Main->menuBar()->objectName(), "MainMenu_Main");
    ExpectItems(Main<QMenu>("FileMenu"), {{"FileOpenRecording", "Open &Recording...", "Ctrl+O"},
                                      {"N_FilePorts", "-", ""},
                                      {"FileOpenAll", "&Open All Ports", ""},
                                      {"FileCloseAll", "&Close All Ports", ""},
                                      {"FileEnablePorts", "&Enable All Ports", ""},
                                      {"FileSavePorts", "&Save Port Mapping", ""},
                                      {"N_FileQuit", "-", ""},
                                      {"FileQuit", "&Quit", "Ctrl+Q"}});
    // The port items run the COM panel's commands.
    AttachFakeSerial(4);
    PortTable[4].monitored = 1;
    MainAction("FileCloseAll")->trigger();
    EXPECT_FALSE(PortTable[4].open);
    EXPECT_TRUE(PortTable[0].open) << "the display port stays open";
}

TEST_F(MainMenu, InitializeAndConfigureItems)
{
    ExpectItems(Main<QMenu>("InitializeMenu"),
                {{"InitializeCold", "&Cold Reset", "Ctrl+K"},
                 {"InitializeWarm", "&Soft Reset", "Ctrl+R"},
                 {"InitializeFactory", "&Factory Reset", "Ctrl+F"},
                 {"N1", "-", ""},
                 {"InitializeUpload", "&Upload Almanac...", ""},
                 {"InitializeEphemeris", "Upload &Ephemeris...", ""},
                 {"InitializePosition", "Upload &Position...", ""},
                 {"InitializeTime", "Upload &Time From PC...", ""},
                 {"N2", "-", ""},
                 {"InitializeDownload", "Download &Almanac...", ""},
                 {"DownloadEphemeris", "D&ownload Ephemeris...", ""},
                 {"InitializeDownloadPos", "&Download Position...", ""},
                 {"InitializeTimeToPC", "Down&load Time To PC", ""}});
    ExpectItems(Main<QMenu>("ConfigureMenu"), {{"ConfigureIO", "&I/O Options...", ""},
                                           {"ConfigureGPS", "&GPS...", ""},
                                           {"ConfigureFilters", "&Filters...", ""},
                                           {"ConfigureSerial", "Serial &Port...", ""},
                                           {"N7", "-", ""},
                                           {"ConfigureSEE", "&Save to Flash", ""}});
}

TEST_F(MainMenu, LoggingWindowAndHelpItemsWithCheckMarks)
{
    ExpectItems(Main<QMenu>("LogMenu"), {{"LoggingData", "&Data...", ""},
                                     {"LoggingZELK", "&ZELK...", ""},
                                     {"N6", "-", ""},
                                     {"LoggingAutoQuery", "&Auto Query", ""}});
    ExpectItems(Main<QMenu>("WindowMenu"), {{"WindowTrack", "&Track Status...", ""},
                                        {"WindowBias", "Timing &Outputs...", ""},
                                        {"WindowProductInfo", "&Product Info...", ""},
                                        {"WindowMultiPort", "&Multiport", "Ctrl+M"},
                                        {"N_Views", "-", ""},
                                        {"WindowSky", "S&ky Plot...", ""},
                                        {"WindowSignal", "Signal &Levels...", ""},
                                        {"WindowScatter", "Position &Scatter...", ""},
                                        {"WindowTiming", "Timin&g Receiver...", ""},
                                        {"N_Receivers", "-", ""},
                                        {"WindowPorts", "&All Receivers...", ""},
                                        {"WindowPackets", "Packet &Console...", ""},
                                        {"WindowTrends", "T&rends...", ""}});
    for (const char* name : {"WindowPorts", "WindowPackets"})
        Main<QMenu>("WindowMenu")->findChild<QAction*>(name)->trigger();
    EXPECT_TRUE(Form_Ports->isVisible());
    EXPECT_TRUE(Form_Packets->isVisible());
    ExpectItems(Main<QMenu>("HelpMenu"), {{"HelpAbout", "&About...", ""}});
    EXPECT_TRUE(MainAction("LoggingAutoQuery")->isChecked());
    EXPECT_FALSE(MainAction("WindowMultiPort")->isChecked());
}

// What --show-all and the dispatch benchmark open: each window of the Window
// menu; the layout switch stays as it was, single or multiport.
TEST_F(MainMenu, EveryWindowOfTheWindowMenuOpensAtOnce)
{
    const int visible = OpenEveryWindowOfTheWindowMenu();
    for (QWidget* form : {static_cast<QWidget*>(Form_Track), static_cast<QWidget*>(Form_Bias),
                          static_cast<QWidget*>(Form_Product)})
        EXPECT_TRUE(form->isVisible()) << form->objectName().toStdString();
    EXPECT_GE(visible, 3); // those three (the tests do not show the main window)
    EXPECT_FALSE(MainAction("WindowMultiPort")->isChecked()); // the layout switch is left as it was
    Form_Main->WindowMultiPortClick();
    OpenEveryWindowOfTheWindowMenu();
    EXPECT_TRUE(MainAction("WindowMultiPort")->isChecked());
}

TEST_F(MainMenu, PopupMenusOfTheComPanelAndTheSerialPanel)
{
    ExpectItems(Main<QMenu>("PopupMenu_COM"), {{"MenuCOM_OpenAll", "&Open All Ports", ""},
                                           {"MenuCOM_FindAll", "&Auto Find All Receivers", "Ctrl+A"},
                                           {"N3", "-", ""},
                                           {"MenuCOM_BreakAll", "Send &Break to All", "Ctrl+B"},
                                           {"N5", "-", ""},
                                           {"MenuCOM_CloseAll", "&Close All Ports", ""},
                                           {"MenuCOM_CloseQuiet", "Close All &Quiet Ports", ""},
                                           {"N4", "-", ""},
                                           {"MenuCOM_EnablePorts", "&Enable All Ports", ""}});
    ExpectItems(Main<QMenu>("PopupMenu_MP"), {{"MenuMP_MultiPort", "&Multiport", ""}});
}

TEST_F(MainMenu, AutoQueryTogglesItsCheckMarkAndBlanksTheValueFields)
{
    MainPanel("Panel_Health")->setCaption("Doing position fixes");
    MainPanel("Panel_SV", 0)->setColour(Colours::Lime);
    MainShape("Shape_Err2")->setFill(Colours::Red);
    MainAction("LoggingAutoQuery")->trigger();
    EXPECT_FALSE(Monitor::Instance().AutoQuery());
    EXPECT_FALSE(MainAction("LoggingAutoQuery")->isChecked());
    EXPECT_EQ(MainPanel("Panel_Health")->caption(), "?");
    EXPECT_EQ(MainPanel("Panel_SV", 0)->caption(), "?");
    EXPECT_EQ(MainPanel("Panel_SV", 0)->colour(), WindowColour());
    EXPECT_EQ(MainShape("Shape_Err2")->fill(), Colours::Grey);
    // Untagged captions are left alone.
    EXPECT_EQ(MainPanel("Panel_Record")->caption(), "Off");
    MainAction("LoggingAutoQuery")->trigger();
    EXPECT_TRUE(Monitor::Instance().AutoQuery());
    EXPECT_TRUE(MainAction("LoggingAutoQuery")->isChecked());
}

TEST_F(MainMenu, TxAllButtonTogglesTheLampAndTheSendTarget)
{
    Main<QPushButton>("Button_TxAll")->click();
    EXPECT_EQ(MainShape("Shape_TxAll")->fill(), Colours::Lime);
    EXPECT_EQ(MainShape("Shape_TxAll")->accessibleName(), "lit");
    EXPECT_TRUE(TxAllLit);
    Main<QPushButton>("Button_TxAll")->click();
    EXPECT_EQ(MainShape("Shape_TxAll")->fill(), Colours::Grey);
    EXPECT_FALSE(TxAllLit);
}

} // namespace
