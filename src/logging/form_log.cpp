#include "logging/form_log.h"

#include <QCheckBox>
#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

#include "model/gps_time.h"
#include "link/port_table.h"
#include "link/shared_flags.h"
#include "monitor/data_log.h"
#include "monitor/logging_notifier.h"
#include "logging/record_status.h"
#include "logging/replace_question.h"
#include "platform/ui.h"

TForm_Log* Form_Log = nullptr;

namespace {

struct BoxSpec {
    const char* name;
    const char* caption;
};

// In record order; three columns of four.
constexpr BoxSpec kBoxes[kLogFields] = {
    {"CheckBox_TOW", "Time of Week (s) "}, {"CheckBox_Bias", "Bias (ns) "},
    {"CheckBox_BiasRate", "Bias Rate (ppb) "}, {"CheckBox_Levels", "Signal Levels "},
    {"CheckBox_PosLLA", "Position LLA "}, {"CheckBox_PosXYZ", "Position XYZ"},
    {"CheckBox_VelENU", "Velocity ENU"}, {"CheckBox_VelXYZ", "Velocity XYZ"},
    {"CheckBox_Mode", "Receiver Mode"}, {"CheckBox_Health", "Health"},
    {"CheckBox_DGPS", "DGPS Mode"}, {"CheckBox_DOPs", "DOPs"},
};

template <class W>
W* Make(QWidget* parent, const QString& name, int left, int top, int width, int height)
{
    auto* w = new W(parent);
    Place(w, name, left, top, width, height);
    return w;
}

QPushButton* MakeButton(QWidget* parent, const QString& name, const QString& caption, int left, int top)
{
    auto* b = Make<QPushButton>(parent, name, left, top, 75, 25);
    b->setText(caption);
    return b;
}

QCheckBox* MakeCheckBox(QWidget* parent, const QString& name, const QString& caption, int left, int top, int width)
{
    auto* c = Make<QCheckBox>(parent, name, left, top, width, 17);
    c->setText(caption);
    return c;
}

Panel* MakeField(QWidget* parent, const QString& name, const QString& caption, int left, int top, int width)
{
    auto* p = new Panel(parent, name, caption, left, top, width, 21);
    p->setColour(WindowColour());
    return p;
}

void BoldTitle(QWidget* parent, const QString& name, const QString& caption)
{
    (new Label(parent, name, caption, 8, 4, 160, 16))->setBold(true);
}

QString FromPath(const std::string& path) { return QFile::decodeName(QByteArray::fromStdString(path)); }
std::string ToPath(const QString& path) { return QFile::encodeName(path).toStdString(); }
QString FullPath(const std::string& path) { return QFileInfo(FromPath(path)).absoluteFilePath(); }

} // namespace

TForm_Log::TForm_Log() : Form("Form_Log", "Data Logging Setup and Status", 473, 362)
{
    BuildDataSelection();
    BuildSetup();
    BuildStatus();
    BuildButtons();
    Timer_System = new QTimer(this);
    Timer_System->setObjectName("Timer_System");
    Timer_System->setInterval(1000);
    connect(Timer_System, &QTimer::timeout, this, &TForm_Log::Timer_SystemTimer);
    Timer_System->start();
    BiasWarned.fill(0);
    EditSettings();
    FollowLogger();
    CentreOnScreen(this);
}

void TForm_Log::EditSettings()
{
    const LogSettings& settings = DataLogSettings();
    for (size_t i = 0; i < CheckBoxes.size(); ++i) {
        CheckBoxes[i]->setChecked(settings.selection[i]);
        connect(CheckBoxes[i], &QCheckBox::toggled, this, [i](bool on) { DataLogSettings().selection[i] = on; });
    }
    Edit_Interval->setText(QString::fromStdString(settings.intervalText));
    Edit_FileRoot->setText(FromPath(settings.fileRoot));
    CheckBox_SystemTimer->setChecked(settings.systemTimer);
    CheckBox_Append->setChecked(settings.append);
    connect(Edit_Interval, &QLineEdit::textChanged, this,
            [](const QString& text) { DataLogSettings().intervalText = text.toStdString(); });
    connect(Edit_FileRoot, &QLineEdit::textChanged, this,
            [](const QString& text) { DataLogSettings().fileRoot = ToPath(text); });
    connect(CheckBox_SystemTimer, &QCheckBox::toggled, this, [](bool on) { DataLogSettings().systemTimer = on; });
    connect(CheckBox_Append, &QCheckBox::toggled, this, [](bool on) { DataLogSettings().append = on; });
}

void TForm_Log::FollowLogger()
{
    LoggingNotifier& logger = LoggingEvents();
    connect(&logger, &LoggingNotifier::logRecordWritten, this, &TForm_Log::ShowLastSet);
    connect(&logger, &LoggingNotifier::logDurationChanged, Panel_Duration, &Panel::setCaption);
    connect(&logger, &LoggingNotifier::logFileUnwritable, this, &TForm_Log::ShowUnwritable);
    connect(&logger, &LoggingNotifier::logBiasAvailable, this, &TForm_Log::SetBiasAvailable);
}

void TForm_Log::BuildDataSelection()
{
    QWidget* p = Panel_DataSelection = new Panel(this, "Panel_DataSelection", "", 8, 8, 457, 104);
    BoldTitle(p, "Label_DataSelection", "Data Set Selection:");
    for (int i = 0; i < kLogFields; ++i) {
        constexpr int kLeft[] = {12, 144, 256};
        constexpr int kWidth[] = {130, 110, 112};
        const int column = i / 4;
        const int top = 24 + (i % 4) * 19;
        CheckBoxes[static_cast<size_t>(i)] =
            MakeCheckBox(p, kBoxes[i].name, kBoxes[i].caption, kLeft[column], top, kWidth[column]);
    }
    CheckBox_TOW = CheckBoxes[0];
    CheckBox_Bias = CheckBoxes[1];
    CheckBox_BiasRate = CheckBoxes[2];
    CheckBox_Levels = CheckBoxes[3];
    CheckBox_PosLLA = CheckBoxes[4];
    CheckBox_PosXYZ = CheckBoxes[5];
    CheckBox_VelENU = CheckBoxes[6];
    CheckBox_VelXYZ = CheckBoxes[7];
    CheckBox_Mode = CheckBoxes[8];
    CheckBox_Health = CheckBoxes[9];
    CheckBox_DGPS = CheckBoxes[10];
    CheckBox_DOPs = CheckBoxes[11];
    ConnectExclusive(CheckBox_PosLLA, CheckBox_PosXYZ);
    ConnectExclusive(CheckBox_VelENU, CheckBox_VelXYZ);
    Button_SelectAll = MakeButton(p, "Button_SelectAll", "&All", 372, 24);
    Button_SelectClear = MakeButton(p, "Button_SelectClear", "Clea&r", 372, 56);
    connect(Button_SelectAll, &QPushButton::clicked, this, &TForm_Log::Button_SelectAllClick);
    connect(Button_SelectClear, &QPushButton::clicked, this, &TForm_Log::Button_SelectClearClick);
}

void TForm_Log::ConnectExclusive(QCheckBox* a, QCheckBox* b)
{
    // toggled also fires when code sets a box, so All runs the same rule.
    connect(a, &QCheckBox::toggled, this, [b](bool on) { if (on) b->setChecked(false); });
    connect(b, &QCheckBox::toggled, this, [a](bool on) { if (on) a->setChecked(false); });
}

void TForm_Log::BuildSetup()
{
    QWidget* p = Panel_Setup = new Panel(this, "Panel_Setup", "", 8, 116, 457, 98);
    BoldTitle(p, "Label_Setup", "Collection Setup:");
    new Label(p, "Label_Interval", "Interval (secs)", 12, 27, 96, 16);
    Edit_Interval = Make<QLineEdit>(p, "Edit_Interval", 110, 24, 50, 21);
    CheckBox_SystemTimer = MakeCheckBox(p, "CheckBox_SystemTimer", "Use System Timer", 180, 26, 140);
    new Label(p, "Label_FileRoot", "Filename Root", 12, 51, 96, 16);
    Edit_FileRoot = Make<QLineEdit>(p, "Edit_FileRoot", 110, 48, 120, 21);
    CheckBox_Append = MakeCheckBox(p, "CheckBox_Append", "Append to Log File", 250, 50, 150);
    new Label(p, "Label_Filename", "Active Port File", 12, 75, 96, 16);
    Panel_Filename = MakeField(p, "Panel_Filename", "", 110, 72, 180);
    Panel_Filename->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    Button_Browse = MakeButton(p, "Button_Browse", "&Browse", 296, 70);
    Button_Clear = MakeButton(p, "Button_Clear", "C&lear", 374, 70);
    connect(Button_Browse, &QPushButton::clicked, this, &TForm_Log::Button_BrowseClick);
    connect(Button_Clear, &QPushButton::clicked, this, &TForm_Log::Button_ClearClick);
}

void TForm_Log::BuildStatus()
{
    QWidget* p = Panel_Status = new Panel(this, "Panel_Status", "", 8, 218, 457, 108);
    BoldTitle(p, "Label_Status", "Data Log Status:");
    Shape_OnOff = new Shape(p, "Shape_OnOff", 140, 8, 9);
    Label_OnOff = new Label(p, "Label_OnOff", "Off", 154, 4, 30, 16);
    new Label(p, "Label_DataSets", "Data Sets", 12, 26, 80, 16);
    Panel_DataSets = MakeField(p, "Panel_DataSets", "0", 12, 42, 80);
    new Label(p, "Label_StartTime", "Start Time", 100, 26, 150, 16);
    Panel_StartTime = MakeField(p, "Panel_StartTime", "0", 100, 42, 150);
    new Label(p, "Label_Duration", "Duration", 258, 26, 120, 16);
    Panel_Duration = MakeField(p, "Panel_Duration", "0", 258, 42, 120);
    new Label(p, "Label_Data", "Last Set", 12, 69, 50, 16);
    Panel_Data = MakeField(p, "Panel_Data", "", 64, 66, 385);
    Panel_Data->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    Label_FileError = new Label(p, "Label_FileError", "", 12, 89, 437, 16);
    Label_FileError->setTextColour(Colours::Red);
}

void TForm_Log::BuildButtons()
{
    Button_Start = MakeButton(this, "Button_Start", "&Start", 150, 332);
    Button_Stop = MakeButton(this, "Button_Stop", "Sto&p", 236, 332);
    Button_Cancel = MakeButton(this, "Button_Cancel", "&Close", 322, 332);
    connect(Button_Start, &QPushButton::clicked, this, &TForm_Log::Button_StartClick);
    connect(Button_Stop, &QPushButton::clicked, this, &TForm_Log::Button_StopClick);
    connect(Button_Cancel, &QPushButton::clicked, this, &TForm_Log::Button_CancelClick);
}

void TForm_Log::ShowLastSet(int count, const std::string& line)
{
    Panel_DataSets->setCaption(QString::number(count));
    Panel_Data->setCaption(QString::fromStdString(LastSetText(line)));
}

void TForm_Log::ShowUnwritable(const std::string& fileName)
{
    unwritable_ += unwritable_.empty() ? "Unable to write " : ", ";
    unwritable_ += fileName;
    const QString text = FromPath(unwritable_);
    Label_FileError->setCaption(text);
    Label_FileError->setToolTip(text);
}

void TForm_Log::SetBiasAvailable(bool available)
{
    CheckBox_Bias->setEnabled(available);
    CheckBox_Bias->setChecked(DataLogSettings().Has(LogField::Bias));
}

void TForm_Log::SetFileRoot(const QString& root) { Edit_FileRoot->setText(root); }

void TForm_Log::StopSystemTimer() { Timer_System->stop(); }

void TForm_Log::SetSetupEnabled(bool enabled)
{
    for (QWidget* w : std::initializer_list<QWidget*>{Panel_DataSelection, Panel_Setup, Button_Browse, Button_Clear,
                                                      Button_Start, Button_SelectAll, Button_SelectClear})
        w->setEnabled(enabled);
    Label_OnOff->setCaption(enabled ? "Off" : "On");
    Shape_OnOff->setFill(enabled ? Colours::Grey : Colours::Lime);
}

void TForm_Log::Button_StartClick()
{
    if (DisplayPort >= 1 && DisplayPort <= kPortSlots) {
        PortTable[static_cast<size_t>(DisplayPort - 1)].monitored = 1;
        emit LoggingEvents().portMonitored(DisplayPort - 1);
    }
    BiasWarned.fill(0);
    if (Flags.DataLoggingOn)
        return;
    const LogSettings& settings = DataLogSettings();
    if (!settings.append && !MayEmptyFiles(LogFilesToEmpty(settings)))
        return;
    unwritable_.clear();
    Label_FileError->setCaption("");
    Label_FileError->setToolTip("");
    PrepareDataLog(settings);
    const bool haveActive = LogRun().activePort >= 0;
    const LogPortRecord* active = haveActive ? &LogPorts[static_cast<size_t>(LogRun().activePort)] : nullptr;
    ShowFilesWritten(active);
    Panel_StartTime->setCaption(active ? QString::fromStdString(FormatTimeOfWeek(active->startTime, 1)) : " ");
    Panel_DataSets->setCaption("0");
    Panel_Duration->setCaption(" ");
    Panel_Data->setCaption(" ");
    SetSetupEnabled(false);
    emit LoggingEvents().logStatusCaptionChanged("Logging On");
    emit LoggingEvents().logStatusLampChanged(LogLamp::On);
    Flags.DataLoggingOn = 1;
    ShowRecordStatus();
}

// The full path of the active port's file, and in its tool tip those of every monitored port.
void TForm_Log::ShowFilesWritten(const LogPortRecord* active)
{
    Panel_Filename->setCaption(" " + (active ? FullPath(active->fileName) : QString()));
    QStringList files;
    for (size_t n = 0; n < kPortSlots; ++n)
        if (PortTable[n].monitored)
            files << QString("COM%1: %2").arg(n + 1).arg(FullPath(LogPorts[n].fileName));
    Panel_Filename->setToolTip(files.join('\n'));
}

void TForm_Log::Button_StopClick()
{
    if (!Flags.DataLoggingOn)
        return;
    Flags.DataLoggingOn = 0;
    SetSetupEnabled(true);
    emit LoggingEvents().logStatusCaptionChanged("Logging Off");
    emit LoggingEvents().logStatusLampChanged(LogLamp::Off);
    ShowRecordStatus();
}

void TForm_Log::Button_BrowseClick()
{
    ui::FileRequest request;
    request.mode = ui::FileMode::Open;
    request.title = "Select Data File";
    request.filter = "Data Files (*.dat)|*.dat|All Files (*.*)|*.*";
    request.defaultExtension = "dat";
    request.initialName = " ";
    const QString chosen = ui::ChooseFile(request);
    if (!chosen.isEmpty())
        LogRun().browsedFileName = ToPath(chosen);
    Panel_Filename->setCaption(LogRun().browsedFileName ? FromPath(*LogRun().browsedFileName) : QString());
}

void TForm_Log::Button_ClearClick()
{
    LogRun().browsedFileName.reset();
    Panel_Filename->setCaption(" ");
}

void TForm_Log::Button_SelectAllClick()
{
    for (QCheckBox* box : CheckBoxes)
        box->setChecked(true);
}

void TForm_Log::Button_SelectClearClick()
{
    for (QCheckBox* box : CheckBoxes)
        box->setChecked(false);
}

void TForm_Log::Button_CancelClick() { hide(); }

void TForm_Log::Timer_SystemTimer() { LogSystemTick(); }
