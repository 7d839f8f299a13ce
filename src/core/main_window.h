// The main window: the display receiver's time, position, velocity, status,
// satellites and DOPs, the COM panel that controls the set of open ports, the
// status bar, and the menus. Members carry the names of their controls; each
// control's objectName equals its member name (arrays: the name with 1..n).
#pragma once

#include <QMainWindow>
#include <array>

#include "platform/widgets.h"

class QAction;
class QComboBox;
class QFrame;
class QMenu;
class QPushButton;
struct PortReportRecord;

class TForm_Main : public QMainWindow {
    Q_OBJECT
public:
    TForm_Main();
    ~TForm_Main() override;

    // Opens the display port and prepares the window; false when the port cannot
    // be opened (the box has been shown and the program must end).
    bool FormCreate();
    void FormDestroy();

    void SetSingleLayout();
    void SetMultiportLayout();
    bool IsMultiport() const;
    // The designed outer width of the window (client width plus the frame of 6).
    int DesignWidth() const { return designWidth_; }

    // Port controls (COM panel).
    void FillPortControls();
    void EnableAllPorts();
    void RefreshMonitorPanels();
    void MouseLeft(int slot, Qt::MouseButton button);
    void SelectDisplayComItem();

    void ApplyHint(const QString& hint);
    // A standing note on the status line (a silent display port): shown at
    // once, a hint then shows over it and it returns when the hint goes;
    // empty removes it.
    void SetStatusNote(const QString& note);
    QString StatusNote() const { return statusNote_; }

    // Every value field (tag 1) back to "?", every tagged lamp grey.
    void ResetDisplay();

    // --- Handlers ---
    void MenuCOM_OpenAllClick();
    void MenuCOM_FindAllClick();
    void MenuCOM_BreakAllClick();
    void MenuCOM_CloseAllClick();
    void MenuCOM_CloseQuietClick();
    void MenuCOM_EnablePortsClick();

    // File menu: the port mapping kept for later starts; Quit closes the
    // recording and the ports, then ends the program.
    void FileSavePortsClick();
    void FileQuitClick();

    void InitializeColdClick();
    void InitializeWarmClick();
    void InitializeFactoryClick();
    void InitializeUploadClick();
    void InitializeEphemerisClick();
    void InitializePositionClick();
    void InitializeTimeClick();
    void InitializeDownloadClick();
    void DownloadEphemerisClick();
    void InitializeDownloadPosClick();
    void InitializeTimeToPCClick();
    void ConfigureIOClick();
    void ConfigureGPSClick();
    void ConfigureFiltersClick();
    void ConfigureSerialClick();
    void ConfigureSEEClick();
    void LoggingDataClick();
    void LoggingZELKClick();
    void LoggingAutoQueryClick();
    void WindowTrackClick();
    void WindowBiasClick();
    void WindowProductInfoClick();
    void WindowMultiPortClick();
    void HelpAboutClick();
    void Button_ResetLLAClick();
    void Button_TxAllClick();
    void ComboBox_DisplayComChange(int index);
    // Makes com the display port as choosing it in the Display list does (another window asks).
    void ChooseDisplayCom(int com);

private:
    // --- Client area and regions: tests find them by object name ---
    QWidget* ClientArea = nullptr;
    Panel* Panel_Timing = nullptr;
    Panel* Panel_Velocity = nullptr;
    Panel* Panel_DeltaPos = nullptr;
    Panel* Panel_Position = nullptr;
    Panel* Panel_Status = nullptr;
    Panel* Panel_Satellites = nullptr;
    Panel* Panel_DOPS = nullptr;
    Panel* Panel_Com = nullptr;
    QFrame* Bevel1 = nullptr;

    // Timing
    Label* Label10 = nullptr;
    Panel* Panel_Time = nullptr;
    Label* Label_TimeMode = nullptr;
    Panel* Panel_Date = nullptr;
    Panel* Panel_Week = nullptr;
    Panel* Panel_TOW = nullptr;

    // Velocity
    Label* Label_PanelVel = nullptr;
    std::array<Label*, 3> Label_Vel{};
    std::array<Panel*, 3> Panel_Vel{};

    // Change in position
    Panel* Panel_DeltaLat = nullptr;
    Panel* Panel_DeltaLon = nullptr;
    Panel* Panel_Disable = nullptr;
    Panel* Panel_Disable2 = nullptr;
    QPushButton* Button_ResetLLA = nullptr;

    // Position
    Label* Label_PanelPos = nullptr;
    Label* Label_Lat_X = nullptr;
    Label* Label_Lon_Y = nullptr;
    Label* Label_Alt_Z = nullptr;
    Label* Label_Pmode1 = nullptr;
    Label* Label_Pmode2 = nullptr;
    Label* Label_Altitude = nullptr;
    Label* Label_Datum = nullptr;
    Label* Label_DatumMain = nullptr;
    Panel* Panel_X = nullptr;
    Panel* Panel_Y = nullptr;
    Panel* Panel_Alt_Z = nullptr;
    Panel* Panel_NorthSouth = nullptr;
    Panel* Panel_LatDeg = nullptr;
    Panel* Panel_LatMin = nullptr;
    Panel* Panel_EastWest = nullptr;
    Panel* Panel_LonDeg = nullptr;
    Panel* Panel_LonMin = nullptr;
    Panel* Panel_Datum = nullptr;

    // Status
    Label* Label26 = nullptr;
    Label* Label9 = nullptr;
    Label* Label14 = nullptr;
    Panel* Panel_RecMode = nullptr;
    Panel* Panel_Health = nullptr;
    Panel* Panel_DGPS = nullptr;
    Shape* Shape_Err1 = nullptr;
    Shape* Shape_Err2 = nullptr;
    Shape* Shape_Err3 = nullptr;
    Shape* Shape_Err4 = nullptr;
    Label* Label_BBRAMLed = nullptr;
    Label* Label_AntennaLed = nullptr;
    Label* Label_RTCLed = nullptr;
    Label* Label_AlmanacLed = nullptr;

    // Satellites: row n (1..8) shows channel n-1.
    Label* Label27 = nullptr;
    std::array<Panel*, 8> Panel_SV{};
    std::array<Panel*, 8> Panel_AMU{};
    std::array<Panel*, 8> Panel_AZ{};
    std::array<Panel*, 8> Panel_EL{};

    // DOPs
    Panel* Panel_PDOP = nullptr;
    Panel* Panel_HDOP = nullptr;
    Panel* Panel_VDOP = nullptr;
    Panel* Panel_TDOP = nullptr;

    // COM panel; Panel_MonCom[slot] is the panel of COM slot+1.
    QComboBox* ComboBox_DisplayCom = nullptr;
    std::array<Panel*, 16> Panel_MonCom{};
    QPushButton* Button_TxAll = nullptr;
    Shape* Shape_TxAll = nullptr;
    Panel* Panel_LogStatus = nullptr;

    // Status bar
    Panel* Panel_TxRx = nullptr;
    Shape* Shape_TxLED = nullptr;
    Shape* Shape_RxLED = nullptr;
    Panel* Panel_Hint = nullptr;
    Panel* Panel_Record = nullptr;
    Panel* Panel_Version = nullptr;
    Panel* Panel_Device = nullptr; // the display port's device path or URL, beside Panel_Serial
    Panel* Panel_Serial = nullptr;

    // Main menu
    QMenu* FileMenu = nullptr;
    QAction* FileOpenAll = nullptr;
    QAction* FileCloseAll = nullptr;
    QAction* FileEnablePorts = nullptr;
    QAction* FileSavePorts = nullptr;
    QAction* FileQuit = nullptr;
    QMenu* InitializeMenu = nullptr;
    QAction* InitializeCold = nullptr;
    QAction* InitializeWarm = nullptr;
    QAction* InitializeFactory = nullptr;
    QAction* InitializeUpload = nullptr;
    QAction* InitializeEphemeris = nullptr;
    QAction* InitializePosition = nullptr;
    QAction* InitializeTime = nullptr;
    QAction* InitializeDownload = nullptr;
    QAction* DownloadEphemeris = nullptr;
    QAction* InitializeDownloadPos = nullptr;
    QAction* InitializeTimeToPC = nullptr;
    QMenu* ConfigureMenu = nullptr;
    QAction* ConfigureIO = nullptr;
    QAction* ConfigureGPS = nullptr;
    QAction* ConfigureFilters = nullptr;
    QAction* ConfigureSerial = nullptr;
    QAction* ConfigureSEE = nullptr;
    QMenu* LogMenu = nullptr;
    QAction* LoggingData = nullptr;
    QAction* LoggingZELK = nullptr;
    QAction* LoggingAutoQuery = nullptr;
    QMenu* WindowMenu = nullptr;
    QAction* WindowTrack = nullptr;
    QAction* WindowBias = nullptr;
    QAction* WindowProductInfo = nullptr;
    QAction* WindowMultiPort = nullptr;
    QMenu* HelpMenu = nullptr;
    QAction* HelpAbout = nullptr;

    // Pop-up menus
    QMenu* PopupMenu_COM = nullptr;
    QAction* MenuCOM_OpenAll = nullptr;
    QAction* MenuCOM_FindAll = nullptr;
    QAction* MenuCOM_BreakAll = nullptr;
    QAction* MenuCOM_CloseAll = nullptr;
    QAction* MenuCOM_CloseQuiet = nullptr;
    QAction* MenuCOM_EnablePorts = nullptr;
    QMenu* PopupMenu_MP = nullptr;
    QAction* MenuMP_MultiPort = nullptr;

    // Shows what the configuration, logging and transfer modules announce (module_links.cpp).
    void SubscribeToModules();
    // Construction, one region each (main_window_regions.cpp).
    void BuildClientArea();
    void BuildTiming();
    void BuildVelocity();
    void BuildDeltaPos();
    void BuildPosition();
    void BuildPositionRows(QWidget* p);
    void BuildStatus();
    void BuildStatusLamps(QWidget* p);
    void BuildSatellites();
    void BuildDops();
    void BuildCom();
    void BuildPortPanels(QWidget* p);
    void BuildStatusBar();
    void ConnectRegionClicks();
    // Menus (main_menu.cpp).
    void BuildMainMenu();
    void BuildFileMenu();
    void BuildInitializeMenu();
    void BuildConfigureMenu();
    void BuildLogMenu();
    void BuildWindowMenu();
    void BuildComPopup();
    void BuildSerialPopup();
    // Renders the engine's lamps, hint, port panels, line caption and stale fields (engine_view.cpp).
    void ConnectEngine();
    void ApplyLayout(int designWidth, bool multiport);
    void PlaceStatusPanels();
    // Window title "N JX_Monitor" and the device panel follow the display port.
    void ShowDisplayPortIdentity();
    // The nine position panels back to "?" after a reset.
    void BlankPositionPanels();
    // The display port's reports, as Receivers() announces them (main_window_reports.cpp,
    // main_position_panels.cpp, main_status_panels.cpp, main_channel_rows.cpp).
    void ConnectReceivers();
    void ShowPosition(int slot);
    void ShowPositionRows(const PortReportRecord& r, bool ecef, bool single);
    void ShowGeodeticRows(bool geodetic);
    void ShowDeltaPanels(bool shown);
    void ShowVelocity(int slot);
    void ShowTime(int slot);
    void ShowStatus(int slot);
    void ShowChannel(int slot, int channel);
    void BlankChannelRow(int channel);
    void ShowProduct(int slot);

    void closeEvent(QCloseEvent* event) override;
    QString NoteCaption() const;

    QString statusNote_;
    int designWidth_ = 0;
    bool created_ = false;
};

extern TForm_Main* Form_Main;
