// Construction of the main window's client area, one region per function.
// Geometry is in pixels, relative to the region, as designed.
#include <QComboBox>
#include <QFrame>
#include <QPushButton>

#include "core/main_window.h"

namespace {

constexpr int kRowHeight = 19;

// A data field that the decoders fill: "?" on the window colour, tag 1.
Panel* Value(QWidget* parent, const QString& name, int left, int top, int width, const QString& caption = "?")
{
    auto* panel = new Panel(parent, name, caption, left, top, width, kRowHeight);
    panel->setColour(WindowColour());
    panel->setTag(1);
    return panel;
}

Label* Caption(QWidget* parent, const QString& name, const QString& text, int left, int top, int width)
{
    return new Label(parent, name, text, left, top, width, kRowHeight);
}

Label* Title(QWidget* parent, const QString& name, const QString& text, int width)
{
    Label* label = Caption(parent, name, text, 6, 3, width);
    label->setBold(true);
    return label;
}

Panel* Region(QWidget* parent, const QString& name, int left, int top, int width, int height, const QString& hint = {})
{
    auto* panel = new Panel(parent, name, QString(), left, top, width, height, Panel::Bevel::Raised);
    if (!hint.isEmpty())
        panel->setHint(hint);
    return panel;
}

} // namespace

void TForm_Main::BuildClientArea()
{
    ClientArea = new QWidget(this);
    ClientArea->setObjectName("ClientArea");
    setCentralWidget(ClientArea);
    BuildTiming();
    BuildVelocity();
    BuildDeltaPos();
    BuildPosition();
    BuildStatus();
    BuildSatellites();
    BuildDops();
    BuildCom();
    BuildStatusBar();
    ConnectRegionClicks();
}

void TForm_Main::BuildTiming()
{
    Panel_Timing = Region(ClientArea, "Panel_Timing", 1, 0, 196, 105, "Time: Packets 21, 41.");
    QWidget* p = Panel_Timing;
    Label10 = Title(p, "Label10", "Timing:", 120);
    // The time field holds " Wed 23:59:59.99" whole.
    Caption(p, "Label_Time", "Time", 6, 20, 58);
    Panel_Time = Value(p, "Panel_Time", 64, 20, 102);
    Label_TimeMode = Caption(p, "Label_TimeMode", "GPS", 168, 20, 26);
    Caption(p, "Label_Date", "Date", 6, 41, 58);
    Panel_Date = Value(p, "Panel_Date", 64, 41, 102);
    Caption(p, "Label_Week", "GPS Week", 6, 62, 58);
    Panel_Week = Value(p, "Panel_Week", 64, 62, 102);
    Caption(p, "Label_TOW", "TOW", 6, 83, 58);
    Panel_TOW = Value(p, "Panel_TOW", 64, 83, 102);
}

void TForm_Main::BuildVelocity()
{
    Panel_Velocity = Region(ClientArea, "Panel_Velocity", 1, 112, 196, 105);
    QWidget* p = Panel_Velocity;
    Label_PanelVel = Title(p, "Label_PanelVel", "Velocity:", 120);
    const char* rows[3] = {"X", "Y", "Z"};
    for (int i = 0; i < 3; ++i) {
        const int top = 24 + 24 * i;
        const QString n = QString::number(i + 1);
        Label_Vel[i] = Caption(p, "Label_Vel" + n, rows[i], 6, top, 62);
        Panel_Vel[i] = Value(p, "Panel_Vel" + n, 70, top, 92);
        Caption(p, "Label_VelUnit" + n, "m/s", 165, top, 28);
    }
}

void TForm_Main::BuildDeltaPos()
{
    Panel_DeltaPos = Region(ClientArea, "Panel_DeltaPos", 1, 224, 196, 97);
    QWidget* p = Panel_DeltaPos;
    Title(p, "Label_PanelDelta", "Change in Position:", 150);
    Caption(p, "Label_dNorth", "dNorth", 6, 24, 62);
    Panel_DeltaLat = Value(p, "Panel_DeltaLat", 70, 24, 80);
    Caption(p, "Label_dNorthUnit", "meters", 153, 24, 40);
    Caption(p, "Label_dEast", "dEast", 6, 47, 62);
    Panel_DeltaLon = Value(p, "Panel_DeltaLon", 70, 47, 80);
    Caption(p, "Label_dEastUnit", "meters", 153, 47, 40);
    // Blank covers shown while the position is ECEF, exactly over the deltas.
    Panel_Disable = new Panel(p, "Panel_Disable", QString(), 70, 24, 80, kRowHeight);
    Panel_Disable2 = new Panel(p, "Panel_Disable2", QString(), 70, 47, 80, kRowHeight);
    Button_ResetLLA = new QPushButton(p);
    Place(Button_ResetLLA, "Button_ResetLLA", 8, 73, 14, 14);
    Button_ResetLLA->setAccessibleName("Reset reference position");
    SetHint(Button_ResetLLA, "Press to set current position as initial position");
    Caption(p, "Label_ResetLLA", "Reset reference position", 28, 71, 160);
}

void TForm_Main::BuildPosition()
{
    // Wide enough for the longest datum name and the signed ECEF values.
    Panel_Position = Region(ClientArea, "Panel_Position", 201, 0, 225, 129);
    QWidget* p = Panel_Position;
    Label_PanelPos = Title(p, "Label_PanelPos", "Position:", 120);
    Label_Lat_X = Caption(p, "Label_Lat_X", "Latitude", 6, 24, 60);
    Label_Lon_Y = Caption(p, "Label_Lon_Y", "Longitude", 6, 47, 60);
    Label_Alt_Z = Caption(p, "Label_Alt_Z", "Altitude", 6, 70, 60);
    BuildPositionRows(p);
    // Datums are known only to newer firmware: report 0x45 unlocks the row.
    Label_DatumMain = Caption(p, "Label_DatumMain", "Datum", 6, 100, 40);
    Label_DatumMain->setEnabled(false);
    Panel_Datum = Value(p, "Panel_Datum", 48, 100, 170, QString());
    Panel_Datum->setColour(ButtonFaceColour());
}

void TForm_Main::BuildPositionRows(QWidget* p)
{
    Panel_X = Value(p, "Panel_X", 68, 24, 100);
    Panel_Y = Value(p, "Panel_Y", 68, 47, 100);
    Panel_X->hide();
    Panel_Y->hide();
    Label_Pmode1 = Caption(p, "Label_Pmode1", QString(), 171, 24, 14);
    Label_Pmode2 = Caption(p, "Label_Pmode2", QString(), 171, 47, 14);
    Panel_NorthSouth = Value(p, "Panel_NorthSouth", 68, 24, 18);
    Panel_LatDeg = Value(p, "Panel_LatDeg", 88, 24, 40);
    Panel_LatMin = Value(p, "Panel_LatMin", 130, 24, 76);
    Panel_EastWest = Value(p, "Panel_EastWest", 68, 47, 18);
    Panel_LonDeg = Value(p, "Panel_LonDeg", 88, 47, 40);
    Panel_LonMin = Value(p, "Panel_LonMin", 130, 47, 76);
    Panel_Alt_Z = Value(p, "Panel_Alt_Z", 68, 70, 100);
    Label_Altitude = Caption(p, "Label_Altitude", "m", 171, 70, 14);
    Label_Datum = Caption(p, "Label_Datum", QString(), 187, 70, 32);
}

void TForm_Main::BuildStatus()
{
    Panel_Status = Region(ClientArea, "Panel_Status", 201, 136, 225, 185,
                          "Health: 26, 46, 4B;  Mode: 24, 6D;  DGPS: 62, 82");
    QWidget* p = Panel_Status;
    Label26 = Title(p, "Label26", "Status:", 120);
    Label9 = Caption(p, "Label9", "Mode", 6, 24, 46);
    Panel_RecMode = Value(p, "Panel_RecMode", 54, 24, 164);
    Caption(p, "Label_Health", "Health", 6, 47, 46);
    Panel_Health = Value(p, "Panel_Health", 54, 47, 164);
    Label14 = Caption(p, "Label14", "DGPS", 6, 70, 46);
    Panel_DGPS = Value(p, "Panel_DGPS", 54, 70, 164);
    BuildStatusLamps(p);
}

void TForm_Main::BuildStatusLamps(QWidget* p)
{
    const char* captions[4] = {"BBRAM:", "Antenna:", "RTC:", "Almanac:"};
    const char* texts[4] = {"Label_BBRAMLed", "Label_AntennaLed", "Label_RTCLed", "Label_AlmanacLed"};
    Shape** lamps[4] = {&Shape_Err1, &Shape_Err2, &Shape_Err3, &Shape_Err4};
    Label** labels[4] = {&Label_BBRAMLed, &Label_AntennaLed, &Label_RTCLed, &Label_AlmanacLed};
    for (int i = 0; i < 4; ++i) {
        const int top = 98 + 21 * i;
        Caption(p, QString("Label_Err%1").arg(i + 1), captions[i], 6, top, 54);
        *lamps[i] = new Shape(p, QString("Shape_Err%1").arg(i + 1), 62, top + 3, 13);
        (*lamps[i])->setTag(1);
        (*lamps[i])->setAccessibleDescription(QString(captions[i]).chopped(1));
        *labels[i] = Caption(p, texts[i], QString(), 80, top, 140);
    }
}

void TForm_Main::BuildSatellites()
{
    Panel_Satellites = Region(ClientArea, "Panel_Satellites", 430, 0, 166, 227,
                              "Tracking Status: Pkts 3C, 5C;  SV Selection: Pkts 24, 6D");
    QWidget* p = Panel_Satellites;
    Label27 = Title(p, "Label27", "Satellite Data:", 120);
    Caption(p, "Label_SVHead", "SV", 8, 21, 26);
    Caption(p, "Label_AMUHead", "AMU", 36, 21, 38);
    Caption(p, "Label_AzHead", "Az.", 78, 21, 40);
    Caption(p, "Label_ElevHead", "Elev.", 122, 21, 40);
    for (int i = 0; i < 8; ++i) {
        const int top = 40 + 23 * i;
        const QString n = QString::number(i + 1);
        Panel_SV[i] = Value(p, "Panel_SV" + n, 6, top, 26, QString());
        Panel_SV[i]->setHint("When green, this SV is being used for fixes");
        // Angles are not wrapped: an azimuth may read "-179.9".
        Panel_AMU[i] = Value(p, "Panel_AMU" + n, 36, top, 38, QString());
        Panel_AZ[i] = Value(p, "Panel_AZ" + n, 78, top, 40, QString());
        Panel_EL[i] = Value(p, "Panel_EL" + n, 122, top, 40, QString());
    }
}

void TForm_Main::BuildDops()
{
    Panel_DOPS = Region(ClientArea, "Panel_DOPS", 430, 234, 166, 87, "Dilution of Precision: Packets 24, 6D");
    QWidget* p = Panel_DOPS;
    Title(p, "Label_PanelDops", "DOPs:", 120);
    Panel** fields[4] = {&Panel_PDOP, &Panel_HDOP, &Panel_VDOP, &Panel_TDOP};
    const char* names[4] = {"PDOP", "HDOP", "VDOP", "TDOP"};
    for (int i = 0; i < 4; ++i) {
        const int left = i % 2 == 0 ? 6 : 84;
        const int top = i < 2 ? 28 : 56;
        Caption(p, QString("Label_") + names[i], names[i], left, top, 36);
        *fields[i] = Value(p, QString("Panel_") + names[i], left + 38, top, 36);
    }
}

void TForm_Main::BuildCom()
{
    Panel_Com = Region(ClientArea, "Panel_Com", 600, 0, 81, 321);
    QWidget* p = Panel_Com;
    Title(p, "Label_PanelCom", "COM:", 60);
    Caption(p, "Label_Display", "Display", 6, 20, 60);
    ComboBox_DisplayCom = new QComboBox(p);
    Place(ComboBox_DisplayCom, "ComboBox_DisplayCom", 4, 39, 73, 22);
    ComboBox_DisplayCom->setAccessibleName("Display port");
    Caption(p, "Label_Monitor", "Monitor", 6, 64, 60);
    BuildPortPanels(p);
    Button_TxAll = new QPushButton("Tx All", p);
    Place(Button_TxAll, "Button_TxAll", 4, 262, 52, 22);
    SetHint(Button_TxAll, "Press to toggle Tx All");
    Shape_TxAll = new Shape(p, "Shape_TxAll", 60, 266, 14);
    Shape_TxAll->setAccessibleDescription("Tx All");
    Panel_LogStatus = new Panel(p, "Panel_LogStatus", "Logging Off", 4, 290, 73, 25);
    Panel_LogStatus->setHint("Data Logging: Active when green; Logged that second when yellow;");
}

void TForm_Main::BuildPortPanels(QWidget* p)
{
    for (int slot = 0; slot < 16; ++slot) {
        const int left = slot < 8 ? 6 : 42;
        const int top = 83 + 22 * (slot % 8);
        const QString n = QString::number(slot + 1);
        Panel* panel = new Panel(p, "Panel_MonCom" + n, n, left, top, 33, 20, Panel::Bevel::Raised);
        panel->setHint("When lit, this port is monitored; when green, receiving packets");
        panel->setAccessibleDescription("COM" + n);
        panel->setClickable();
        connect(panel, &Label::mouseDown, this, [this, slot](Qt::MouseButton b) { MouseLeft(slot, b); });
        Panel_MonCom[slot] = panel;
    }
}

void TForm_Main::BuildStatusBar()
{
    Bevel1 = new QFrame(ClientArea);
    Place(Bevel1, "Bevel1", 1, 325, 681, 26);
    Bevel1->setFrameStyle(QFrame::Box | QFrame::Sunken);
    Panel_TxRx = new Panel(ClientArea, "Panel_TxRx", QString(), 4, 328, 60, 20);
    Panel_TxRx->setHint("Serial Activity");
    new Label(Panel_TxRx, "Label_Tx", "Tx", 3, 2, 16, 16);
    Shape_TxLED = new Shape(Panel_TxRx, "Shape_TxLED", 19, 4, 11);
    new Label(Panel_TxRx, "Label_Rx", "Rx", 31, 2, 15, 16);
    Shape_RxLED = new Shape(Panel_TxRx, "Shape_RxLED", 46, 4, 11);
    Shape_TxLED->setAccessibleDescription("Tx");
    Shape_RxLED->setAccessibleDescription("Rx");
    Panel_Hint = new Panel(ClientArea, "Panel_Hint", QString(), 68, 328, 300, 20);
    Panel_Hint->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    Panel_Hint->setIndent(4);
    Panel_Record = new Panel(ClientArea, "Panel_Record", "Off", 0, 328, 60, 20);
    Panel_Record->setHint("Logging Status;  Either Off, Data, Zelk, or Zelk/Data.");
    Panel_Version = new Panel(ClientArea, "Panel_Version", QString(), 0, 328, 56, 20);
    Panel_Version->setHint("Firmware Version");
    Panel_Device = new Panel(ClientArea, "Panel_Device", QString(), 0, 328, 24, 20);
    Panel_Serial = new Panel(ClientArea, "Panel_Serial", QString(), 0, 328, 124, 20);
    Panel_Serial->setHint("Serial Port Configuration");
}

void TForm_Main::ConnectRegionClicks()
{
    auto bind = [this](Label* label, void (TForm_Main::*handler)()) {
        label->setClickable();
        connect(label, &Label::clicked, this, handler);
    };
    for (Label* title : {Label10, Label_PanelVel, Label_PanelPos})
        bind(title, &TForm_Main::ConfigureIOClick);
    for (Label* title : {Label26, Label9, Label14, Label27, static_cast<Label*>(Panel_RecMode),
                         static_cast<Label*>(Panel_DGPS)})
        bind(title, &TForm_Main::ConfigureGPSClick);
    bind(Panel_Serial, &TForm_Main::ConfigureSerialClick);
    bind(Panel_Version, &TForm_Main::WindowProductInfoClick);
    bind(Panel_Record, &TForm_Main::LoggingDataClick);
    bind(Panel_LogStatus, &TForm_Main::LoggingDataClick);
    connect(Button_ResetLLA, &QPushButton::clicked, this, &TForm_Main::Button_ResetLLAClick);
    connect(Button_TxAll, &QPushButton::clicked, this, &TForm_Main::Button_TxAllClick);
    connect(ComboBox_DisplayCom, &QComboBox::activated, this, &TForm_Main::ComboBox_DisplayComChange);
}
