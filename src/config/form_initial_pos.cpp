#include "config/form_initial_pos.h"

#include <QFile>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include "model/formats/decimal_text.h"
#include "config/dialog_controls.h"
#include "config/number_field.h"
#include "model/formats/position_file_reader.h"
#include "config/radio_group.h"
#include "model/port_reports.h"
#include "link/commands.h"
#include "platform/ui.h"

TForm_InitialPos* Form_InitialPos = nullptr;

namespace {

const QString kFileError = QStringLiteral("Error");

// One row of a coordinate group: caption, field and unit.
QLineEdit* AddRow(QGroupBox* group, const QString& name, const QString& caption, const QString& unit, int top)
{
    // The field holds a signed ECEF coordinate to the centimetre (up to "-6400000.00") or an angle.
    new Label(group, QStringLiteral("Label_") + name, caption, 8, top + 3, 56, 16);
    auto* edit = new QLineEdit(group);
    Place(edit, QStringLiteral("Edit_") + name, 64, top, 92, 21);
    new Label(group, QStringLiteral("Label_") + name + QStringLiteral("Unit"), unit, 160, top + 3, 48, 16);
    return edit;
}

QPushButton* AddFileButton(QGroupBox* group, const QString& name)
{
    auto* button = new QPushButton(QStringLiteral("&From File"), group);
    Place(button, name, 68, 110, 75, 25);
    button->setAutoDefault(false); // Enter presses "&OK", not this
    return button;
}

void SetCaptionColour(QGroupBox* group, const QColor& colour)
{
    QPalette p = group->palette();
    p.setColor(QPalette::Active, QPalette::WindowText, colour);
    p.setColor(QPalette::Inactive, QPalette::WindowText, colour);
    p.setColor(QPalette::Disabled, QPalette::WindowText, colour);
    group->setPalette(p);
}

// Degrees to radians: the product is taken in extended precision.
std::optional<float> ReadAngleField(const QLineEdit* edit)
{
    return ReadFloatField(edit, static_cast<long double>(DegToRad));
}

QString Fixed(float value, int decimals) { return QString::asprintf("%.*f", decimals, static_cast<double>(value)); }

} // namespace

TForm_InitialPos::TForm_InitialPos() : Form("Form_InitialPos", "Initial Position", 396, 200)
{
    SetHint(this, QStringLiteral("Set Initial Position: packets 23, 2B, 31, 33."));
    RadioGroup_PosMode = new RadioGroup(
        this, QStringLiteral("RadioGroup_PosMode"), QStringLiteral("Upload Options"),
        {QStringLiteral("Approximate LLA"), QStringLiteral("Approximate ECEF"), QStringLiteral("Exact LLA"),
         QStringLiteral("Exact ECEF")},
        8, 8, 160, 110);
    for (QRadioButton* row : RadioGroup_PosMode->findChildren<QRadioButton*>())
        connect(row, &QRadioButton::clicked, this, &TForm_InitialPos::RadioGroup_PosModeClick);
    BuildLlaGroup();
    BuildEcefGroup();
    BuildButtons();
    CentreOnScreen(this);
}

void TForm_InitialPos::BuildLlaGroup()
{
    GroupBox_LLA = new QGroupBox(QStringLiteral("Initial LLA "), this);
    Place(GroupBox_LLA, QStringLiteral("GroupBox_LLA"), 176, 8, 212, 146);
    Edit_Lat = AddRow(GroupBox_LLA, QStringLiteral("Lat"), QStringLiteral("Latitude"), QStringLiteral("degrees"), 20);
    Edit_Lon = AddRow(GroupBox_LLA, QStringLiteral("Lon"), QStringLiteral("Longitude"), QStringLiteral("degrees"), 48);
    Edit_Alt = AddRow(GroupBox_LLA, QStringLiteral("Alt"), QStringLiteral("Altitude"), QStringLiteral("meters"), 76);
    Button_File1 = AddFileButton(GroupBox_LLA, QStringLiteral("Button_File1"));
    connect(Button_File1, &QPushButton::clicked, this, &TForm_InitialPos::Button_FileClick);
    // Until a mode is chosen the group shows greyed, caption included.
    GroupBox_LLA->setEnabled(false);
    SetCaptionColour(GroupBox_LLA, InactiveCaptionTextColour());
    Button_File1->setEnabled(false);
}

void TForm_InitialPos::BuildEcefGroup()
{
    GroupBox_ECEF = new QGroupBox(QStringLiteral("Initial ECEF Position"), this);
    Place(GroupBox_ECEF, QStringLiteral("GroupBox_ECEF"), 176, 8, 212, 146);
    Edit_X = AddRow(GroupBox_ECEF, QStringLiteral("X"), QStringLiteral("X"), QStringLiteral("meters"), 20);
    Edit_Y = AddRow(GroupBox_ECEF, QStringLiteral("Y"), QStringLiteral("Y"), QStringLiteral("meters"), 48);
    Edit_Z = AddRow(GroupBox_ECEF, QStringLiteral("Z"), QStringLiteral("Z"), QStringLiteral("meters"), 76);
    Button_File2 = AddFileButton(GroupBox_ECEF, QStringLiteral("Button_File2"));
    connect(Button_File2, &QPushButton::clicked, this, &TForm_InitialPos::Button_FileClick);
    GroupBox_ECEF->setEnabled(false);
    GroupBox_ECEF->setVisible(false);
    Button_File2->setEnabled(false);
}

void TForm_InitialPos::BuildButtons()
{
    const DialogButtons buttons = AddDialogButtons(this, 142, 164);
    Button_OK = buttons.ok;
    Button_Apply = buttons.apply;
    Button_Cancel = buttons.close;
    for (QPushButton* button : {Button_Apply, Button_Cancel})
        button->setAutoDefault(false);
    Button_OK->setDefault(true);
    connect(Button_OK, &QPushButton::clicked, this, &TForm_InitialPos::Button_OKClick);
    connect(Button_Apply, &QPushButton::clicked, this, &TForm_InitialPos::Button_ApplyClick);
    connect(Button_Cancel, &QPushButton::clicked, this, &TForm_InitialPos::Button_CancelClick);
}

bool TForm_InitialPos::ModeIsLla() const
{
    const int mode = RadioGroup_PosMode->itemIndex();
    return mode == ApproximateLla || mode == ExactLla;
}

void TForm_InitialPos::RadioGroup_PosModeClick()
{
    const bool lla = ModeIsLla();
    QGroupBox* shown = lla ? GroupBox_LLA : GroupBox_ECEF;
    QGroupBox* hidden = lla ? GroupBox_ECEF : GroupBox_LLA;
    hidden->setVisible(false);
    hidden->setEnabled(false);
    shown->setVisible(true);
    shown->setEnabled(true);
    if (lla)
        SetCaptionColour(GroupBox_LLA, WindowTextColour());
    Button_File1->setEnabled(true);
    Button_File2->setEnabled(true);
}

void TForm_InitialPos::Button_FileClick()
{
    ui::FileRequest request;
    request.mode = ui::FileMode::Open;
    request.title = QStringLiteral("Open");
    request.filter = QStringLiteral("Data Files (*.dat)|*.dat|All Files (*.*)|*.*");
    request.defaultExtension = QStringLiteral("dat");
    request.initialName = QStringLiteral(" ");
    const QString name = ui::ChooseFile(request);
    const PositionFileResult file =
        name.isEmpty() ? PositionFileResult{} : ReadPositionFile(QFile::encodeName(name).toStdString());
    switch (file.status) {
    case PositionFileStatus::CannotOpen:
        ui::Message(QStringLiteral("Couldn't open position data file."), kFileError);
        return;
    case PositionFileStatus::FormatIncorrect:
        ui::Message(QStringLiteral("Position data file format incorrect"), kFileError);
        return;
    case PositionFileStatus::Ok:
        ShowFilePosition(file.data);
        return;
    }
}

void TForm_InitialPos::ShowFilePosition(const PositionFileData& position)
{
    const bool fileIsLla = position.kind == PositionKind::Geodetic;
    if (RadioGroup_PosMode->itemIndex() < 0 || fileIsLla != ModeIsLla()) {
        ui::Message(fileIsLla ? QStringLiteral("Position data is in LLA.") : QStringLiteral("Position data is in ECEF."),
                    kFileError, ui::Icon::Exclamation);
        return;
    }
    const float* v = position.values;
    if (fileIsLla) {
        Edit_Lat->setText(Fixed(v[0], 3));
        Edit_Lon->setText(Fixed(v[1], 3));
        Edit_Alt->setText(Fixed(v[2], 1));
    } else {
        Edit_X->setText(Fixed(v[0], 2));
        Edit_Y->setText(Fixed(v[1], 2));
        Edit_Z->setText(Fixed(v[2], 2));
    }
}

std::optional<std::array<float, 3>> TForm_InitialPos::ReadLlaFields()
{
    const auto lat = ReadAngleField(Edit_Lat);
    if (!lat)
        return std::nullopt;
    const auto lon = ReadAngleField(Edit_Lon);
    if (!lon)
        return std::nullopt;
    const auto alt = ReadFloatField(Edit_Alt);
    if (!alt)
        return std::nullopt;
    return std::array<float, 3>{*lat, *lon, *alt};
}

std::optional<std::array<float, 3>> TForm_InitialPos::ReadEcefFields()
{
    const auto x = ReadFloatField(Edit_X);
    if (!x)
        return std::nullopt;
    const auto y = ReadFloatField(Edit_Y);
    if (!y)
        return std::nullopt;
    const auto z = ReadFloatField(Edit_Z);
    if (!z)
        return std::nullopt;
    return std::array<float, 3>{*x, *y, *z};
}

bool TForm_InitialPos::SendPosition()
{
    const int mode = RadioGroup_PosMode->itemIndex();
    if (mode < 0)
        return true;
    const auto v = ModeIsLla() ? ReadLlaFields() : ReadEcefFields();
    if (!v)
        return false;
    switch (mode) {
    case ApproximateLla:
        SendInitialPosLLA(TX_DEFAULT, (*v)[0], (*v)[1], (*v)[2]);
        break;
    case ApproximateEcef:
        SendInitialPosXYZ(TX_DEFAULT, (*v)[0], (*v)[1], (*v)[2]);
        break;
    case ExactLla:
        SendAccuratePosLLA(TX_DEFAULT, (*v)[0], (*v)[1], (*v)[2]);
        break;
    case ExactEcef:
        SendAccuratePosXYZ(TX_DEFAULT, (*v)[0], (*v)[1], (*v)[2]);
        break;
    default:
        break;
    }
    return true;
}

void TForm_InitialPos::Button_OKClick()
{
    if (SendPosition())
        hide();
}

void TForm_InitialPos::Button_ApplyClick() { SendPosition(); }

void TForm_InitialPos::Button_CancelClick() { hide(); }
