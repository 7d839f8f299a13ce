#include "logging/form_log_zelk.h"

#include <cerrno>

#include <QCheckBox>
#include <QFile>
#include <QPushButton>

#include "link/shared_flags.h"
#include "logging/raw_recorder.h"
#include "logging/record_status.h"
#include "logging/replace_question.h"
#include "monitor/file_reason.h"
#include "platform/ui.h"

TForm_LogZelk* Form_LogZelk = nullptr;

namespace {

QPushButton* MakeButton(QWidget* parent, const QString& name, const QString& caption, int left, int top)
{
    auto* b = new QPushButton(caption, parent);
    Place(b, name, left, top, 75, 25);
    return b;
}

} // namespace

TForm_LogZelk::TForm_LogZelk() : Form("Form_LogZelk", "ZELK Logging Setup and Status", 441, 127)
{
    Label6 = new Label(this, "Label6", "ZELK Log Status:", 8, 8, 124, 16);
    Label6->setBold(true);
    Shape_OnOff = new Shape(this, "Shape_OnOff", 136, 12, 9);
    Label_OnOff = new Label(this, "Label_OnOff", "Off", 150, 8, 30, 16);
    Label5 = new Label(this, "Label5", "File Name", 8, 35, 60, 16);
    Panel_Filename = new Panel(this, "Panel_Filename", "", 70, 32, 280, 21);
    Panel_Filename->setColour(WindowColour());
    Panel_Filename->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    Button_Open = MakeButton(this, "Button_Open", "&Open", 358, 30);
    CheckBox_Append = new QCheckBox("Append to Log File", this);
    Place(CheckBox_Append, "CheckBox_Append", 8, 64, 150, 17);
    Label_WriteError = new Label(this, "Label_WriteError", "", 166, 64, 267, 16);
    Label_WriteError->setTextColour(Colours::Red);
    Button_Start = MakeButton(this, "Button_Start", "&Start", 184, 94);
    Button_Stop = MakeButton(this, "Button_Stop", "Sto&p", 270, 94);
    Button_Close = MakeButton(this, "Button_Close", "&Close", 356, 94);
    connect(Button_Open, &QPushButton::clicked, this, &TForm_LogZelk::Button_OpenClick);
    connect(Button_Start, &QPushButton::clicked, this, &TForm_LogZelk::Button_StartClick);
    connect(Button_Stop, &QPushButton::clicked, this, &TForm_LogZelk::Button_StopClick);
    connect(Button_Close, &QPushButton::clicked, this, &TForm_LogZelk::Button_CloseClick);
    CentreOnScreen(this);
}

TForm_LogZelk::~TForm_LogZelk()
{
    CloseRawRecordFile();
}

void TForm_LogZelk::ShowWriteFailure() { Label_WriteError->setCaption("Unable to write to data record file."); }

void TForm_LogZelk::ShowRecording(bool on)
{
    Button_Open->setEnabled(!on);
    Button_Start->setEnabled(!on);
    Label_OnOff->setCaption(on ? "On" : "Off");
    Shape_OnOff->setFill(on ? Colours::Lime : Colours::Grey);
}

void TForm_LogZelk::Button_OpenClick()
{
    ui::FileRequest request;
    request.mode = ui::FileMode::Open;
    request.filter = "ZELK Files (*.zlk)|*.zlk|All Files (*.*)|*.*";
    request.defaultExtension = "zlk";
    request.initialName = " ";
    const QString chosen = ui::ChooseFile(request);
    if (chosen.isEmpty())
        return;
    SetRawRecordFileName(QFile::encodeName(chosen).toStdString());
    Panel_Filename->setCaption(chosen);
}

void TForm_LogZelk::Button_StartClick()
{
    if (RawRecordFileName() == " ") {
        ui::Message("No ZELK file selected.", "Error", ui::Icon::Exclamation);
        return;
    }
    if (!CheckBox_Append->isChecked() && !MayEmptyFiles({RawRecordFileName()}))
        return;
    if (!OpenRawRecordFile(CheckBox_Append->isChecked())) {
        const int error = errno;
        const QString path = QFile::decodeName(QByteArray::fromStdString(RawRecordFileName()));
        ui::Message(ui::WithFileReason("Unable to open data record file.", path, ui::OpenFailureReason(path, error)),
                    "Error");
        return;
    }
    Label_WriteError->setCaption("");
    Flags.RawRecordingOn = 1;
    ShowRecordStatus();
    ShowRecording(true);
}

void TForm_LogZelk::Button_StopClick()
{
    Flags.RawRecordingOn = 0;
    ShowRecordStatus();
    ShowRecording(false);
    CloseRawRecordFile();
}

void TForm_LogZelk::Button_CloseClick() { hide(); }
