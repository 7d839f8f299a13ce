// The main menu and the pop-up menus of the COM panel and the serial status panel.
#include <QAction>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>

#include "core/main_window.h"
#include "core/replay_ports.h"
#include "views/form_packets.h"
#include "views/form_ports.h"
#include "views/form_scatter.h"
#include "views/form_signal.h"
#include "views/form_sky.h"
#include "views/form_timing.h"
#include "views/form_trends.h"

namespace {

using Handler = void (TForm_Main::*)();

QMenu* AddMenu(QMenuBar* bar, const QString& name, const QString& caption)
{
    QMenu* menu = bar->addMenu(caption);
    menu->setObjectName(name);
    return menu;
}

QAction* AddItem(TForm_Main* form, QMenu* menu, const QString& name, const QString& caption, Handler handler,
                 const QKeySequence& shortcut = {})
{
    QAction* action = menu->addAction(caption);
    action->setObjectName(name);
    action->setShortcut(shortcut);
    QObject::connect(action, &QAction::triggered, form, handler);
    return action;
}

void AddSeparator(QMenu* menu, const QString& name) { menu->addSeparator()->setObjectName(name); }

// A line that opens a view; the view is looked up when chosen, as it is made after the menu.
template <class View>
void AddViewItem(TForm_Main* form, QMenu* menu, const QString& name, const QString& caption, View*& view)
{
    QAction* action = menu->addAction(caption);
    action->setObjectName(name);
    QObject::connect(action, &QAction::triggered, form, [&view] {
        if (view)
            view->showForm();
    });
}

// The views: the display port's, then those of every port.
void AddViewItems(TForm_Main* form, QMenu* m)
{
    AddSeparator(m, "N_Views");
    AddViewItem(form, m, "WindowSky", "S&ky Plot...", Form_Sky);
    AddViewItem(form, m, "WindowSignal", "Signal &Levels...", Form_Signal);
    AddViewItem(form, m, "WindowScatter", "Position &Scatter...", Form_Scatter);
    AddViewItem(form, m, "WindowTiming", "Timin&g Receiver...", Form_Timing);
    // The views of every port.
    AddSeparator(m, "N_Receivers");
    AddViewItem(form, m, "WindowPorts", "&All Receivers...", Form_Ports);
    AddViewItem(form, m, "WindowPackets", "Packet &Console...", Form_Packets);
    AddViewItem(form, m, "WindowTrends", "T&rends...", Form_Trends);
}

} // namespace

void TForm_Main::BuildMainMenu()
{
    menuBar()->setObjectName("MainMenu_Main");
    BuildFileMenu();
    AddRecordingItem(this);
    BuildInitializeMenu();
    BuildConfigureMenu();
    BuildLogMenu();
    BuildWindowMenu();
    HelpMenu = AddMenu(menuBar(), "HelpMenu", "&Help");
    HelpAbout = AddItem(this, HelpMenu, "HelpAbout", "&About...", &TForm_Main::HelpAboutClick);
    BuildComPopup();
    BuildSerialPopup();
}

// In front of the receiver menus: the ports as a whole, the mapping kept for
// later starts, and the end of the program. Items that open files (a
// recording to play back, Ctrl+O) go at the top, before "N_FilePorts".
void TForm_Main::BuildFileMenu()
{
    QMenu* m = FileMenu = AddMenu(menuBar(), "FileMenu", "&File");
    AddSeparator(m, "N_FilePorts");
    FileOpenAll = AddItem(this, m, "FileOpenAll", "&Open All Ports", &TForm_Main::MenuCOM_OpenAllClick);
    FileCloseAll = AddItem(this, m, "FileCloseAll", "&Close All Ports", &TForm_Main::MenuCOM_CloseAllClick);
    FileEnablePorts = AddItem(this, m, "FileEnablePorts", "&Enable All Ports", &TForm_Main::MenuCOM_EnablePortsClick);
    FileSavePorts = AddItem(this, m, "FileSavePorts", "&Save Port Mapping", &TForm_Main::FileSavePortsClick);
    AddSeparator(m, "N_FileQuit");
    FileQuit = AddItem(this, m, "FileQuit", "&Quit", &TForm_Main::FileQuitClick, QKeySequence("Ctrl+Q"));
}

void TForm_Main::BuildInitializeMenu()
{
    QMenu* m = InitializeMenu = AddMenu(menuBar(), "InitializeMenu", "&Initialize");
    InitializeCold = AddItem(this, m, "InitializeCold", "&Cold Reset", &TForm_Main::InitializeColdClick,
                             QKeySequence("Ctrl+K"));
    InitializeWarm = AddItem(this, m, "InitializeWarm", "&Soft Reset", &TForm_Main::InitializeWarmClick,
                             QKeySequence("Ctrl+R"));
    InitializeFactory = AddItem(this, m, "InitializeFactory", "&Factory Reset", &TForm_Main::InitializeFactoryClick,
                                QKeySequence("Ctrl+F"));
    AddSeparator(m, "N1");
    InitializeUpload = AddItem(this, m, "InitializeUpload", "&Upload Almanac...", &TForm_Main::InitializeUploadClick);
    InitializeEphemeris =
        AddItem(this, m, "InitializeEphemeris", "Upload &Ephemeris...", &TForm_Main::InitializeEphemerisClick);
    InitializePosition =
        AddItem(this, m, "InitializePosition", "Upload &Position...", &TForm_Main::InitializePositionClick);
    InitializeTime = AddItem(this, m, "InitializeTime", "Upload &Time From PC...", &TForm_Main::InitializeTimeClick);
    AddSeparator(m, "N2");
    InitializeDownload =
        AddItem(this, m, "InitializeDownload", "Download &Almanac...", &TForm_Main::InitializeDownloadClick);
    DownloadEphemeris =
        AddItem(this, m, "DownloadEphemeris", "D&ownload Ephemeris...", &TForm_Main::DownloadEphemerisClick);
    InitializeDownloadPos =
        AddItem(this, m, "InitializeDownloadPos", "&Download Position...", &TForm_Main::InitializeDownloadPosClick);
    InitializeTimeToPC =
        AddItem(this, m, "InitializeTimeToPC", "Down&load Time To PC", &TForm_Main::InitializeTimeToPCClick);
}

void TForm_Main::BuildConfigureMenu()
{
    QMenu* m = ConfigureMenu = AddMenu(menuBar(), "ConfigureMenu", "&Configure");
    ConfigureIO = AddItem(this, m, "ConfigureIO", "&I/O Options...", &TForm_Main::ConfigureIOClick);
    ConfigureGPS = AddItem(this, m, "ConfigureGPS", "&GPS...", &TForm_Main::ConfigureGPSClick);
    ConfigureFilters = AddItem(this, m, "ConfigureFilters", "&Filters...", &TForm_Main::ConfigureFiltersClick);
    ConfigureSerial = AddItem(this, m, "ConfigureSerial", "Serial &Port...", &TForm_Main::ConfigureSerialClick);
    AddSeparator(m, "N7");
    ConfigureSEE = AddItem(this, m, "ConfigureSEE", "&Save to Flash", &TForm_Main::ConfigureSEEClick);
}

void TForm_Main::BuildLogMenu()
{
    QMenu* m = LogMenu = AddMenu(menuBar(), "LogMenu", "&Logging");
    LoggingData = AddItem(this, m, "LoggingData", "&Data...", &TForm_Main::LoggingDataClick);
    LoggingZELK = AddItem(this, m, "LoggingZELK", "&ZELK...", &TForm_Main::LoggingZELKClick);
    AddSeparator(m, "N6");
    LoggingAutoQuery = AddItem(this, m, "LoggingAutoQuery", "&Auto Query", &TForm_Main::LoggingAutoQueryClick);
    LoggingAutoQuery->setCheckable(true);
    LoggingAutoQuery->setChecked(true);
}

void TForm_Main::BuildWindowMenu()
{
    QMenu* m = WindowMenu = AddMenu(menuBar(), "WindowMenu", "&Window");
    WindowTrack = AddItem(this, m, "WindowTrack", "&Track Status...", &TForm_Main::WindowTrackClick);
    WindowBias = AddItem(this, m, "WindowBias", "Timing &Outputs...", &TForm_Main::WindowBiasClick);
    WindowProductInfo =
        AddItem(this, m, "WindowProductInfo", "&Product Info...", &TForm_Main::WindowProductInfoClick);
    WindowMultiPort = AddItem(this, m, "WindowMultiPort", "&Multiport", &TForm_Main::WindowMultiPortClick,
                              QKeySequence("Ctrl+M"));
    WindowMultiPort->setCheckable(true);
    AddViewItems(this, m);
}

void TForm_Main::BuildComPopup()
{
    QMenu* m = PopupMenu_COM = new QMenu(this);
    m->setObjectName("PopupMenu_COM");
    MenuCOM_OpenAll = AddItem(this, m, "MenuCOM_OpenAll", "&Open All Ports", &TForm_Main::MenuCOM_OpenAllClick);
    MenuCOM_FindAll = AddItem(this, m, "MenuCOM_FindAll", "&Auto Find All Receivers",
                              &TForm_Main::MenuCOM_FindAllClick, QKeySequence("Ctrl+A"));
    AddSeparator(m, "N3");
    MenuCOM_BreakAll = AddItem(this, m, "MenuCOM_BreakAll", "Send &Break to All", &TForm_Main::MenuCOM_BreakAllClick,
                               QKeySequence("Ctrl+B"));
    AddSeparator(m, "N5");
    MenuCOM_CloseAll = AddItem(this, m, "MenuCOM_CloseAll", "&Close All Ports", &TForm_Main::MenuCOM_CloseAllClick);
    MenuCOM_CloseQuiet =
        AddItem(this, m, "MenuCOM_CloseQuiet", "Close All &Quiet Ports", &TForm_Main::MenuCOM_CloseQuietClick);
    AddSeparator(m, "N4");
    MenuCOM_EnablePorts =
        AddItem(this, m, "MenuCOM_EnablePorts", "&Enable All Ports", &TForm_Main::MenuCOM_EnablePortsClick);
    // The shortcuts work while the main window is active, as with the menu bar.
    addAction(MenuCOM_FindAll);
    addAction(MenuCOM_BreakAll);
    Panel_Com->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(Panel_Com, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { PopupMenu_COM->popup(Panel_Com->mapToGlobal(at)); });
}

void TForm_Main::BuildSerialPopup()
{
    QMenu* m = PopupMenu_MP = new QMenu(this);
    m->setObjectName("PopupMenu_MP");
    MenuMP_MultiPort = AddItem(this, m, "MenuMP_MultiPort", "&Multiport", &TForm_Main::WindowMultiPortClick);
    MenuMP_MultiPort->setCheckable(true);
    Panel_Serial->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(Panel_Serial, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { PopupMenu_MP->popup(Panel_Serial->mapToGlobal(at)); });
}
