#include "config/form_gps.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

#include "config/dialog_controls.h"
#include "config/number_field.h"
#include "config/settings_follow.h"
#include "link/commands.h"

TForm_GPS* Form_GPS = nullptr;

namespace {

// The one degree/radian pair of the program, as the receiver's tools use it.
constexpr double kRadToDeg = 57.29577866666166;
constexpr double kDegToRad = 0.01745329277777778;

void AddCaption(QWidget* parent, const QString& name, const QString& caption, const QString& hint, int top)
{
    auto* label = new Label(parent, name, caption, 12, top + 3, 170, 18);
    if (!hint.isEmpty())
        label->setHint(hint);
}

QString OneDecimal(double value) { return QString::asprintf("%0.1f", value); }

} // namespace

TForm_GPS::TForm_GPS() : Form("Form_GPS", "Receiver Configuration", 400, 300)
{
    SetHint(this, "Receiver Configuration: Packet BB.");
    AddCaption(this, "Label_RMode", "Receiver Mode", {}, 12);
    ComboBox_RMode = AddList(this, "ComboBox_RMode",
                             {"Automatic (2D/3D)", "--Not Used--", "--Not Used--", "Horizontal (2D)",
                              "Full Position (3D)"},
                             190, 12, 195);
    AddCaption(this, "Label_DCode", "Dynamics Code", {}, 42);
    ComboBox_DCode =
        AddList(this, "ComboBox_DCode", {"--Not Used--", "Land", "Sea", "Air", "Stationary"}, 190, 42, 195);
    AddCaption(this, "Label_DifMode", "DGPS Mode", "Differential GPS Mode", 72);
    ComboBox_DifMode =
        AddList(this, "ComboBox_DifMode", {"DGPS off", "DGPS only", "DGPS auto", "DGPS auto"}, 190, 72, 195);
    Edit_EMask = AddField("Edit_EMask", "Elevation Mask (degrees)", "Lowest satellite elevation for fixes.", 106);
    Edit_SMask = AddField("Edit_SMask", "Signal Level Mask (AMU)", "Minimum signal level for fixes.", 134);
    Edit_PMask = AddField("Edit_PMask", "PDOP Mask", "Maximum DOP for fixes.", 162);
    Edit_PSwitch = AddField("Edit_PSwitch", "PDOP Switch", "Selects 2D/3D mode.", 190);
    Edit_DGPSAge = AddField("Edit_DGPSAge", "DGPS Age Limit (seconds)", "Maximum time to use a DGPS correction.", 218);
    const DialogButtons buttons = AddDialogButtons(this, 75, 262);
    Button_OK = buttons.ok;
    Button_Apply = buttons.apply;
    Button_Cancel = buttons.close;
    connect(Button_OK, &QPushButton::clicked, this, &TForm_GPS::Button_OKClick);
    connect(Button_Apply, &QPushButton::clicked, this, &TForm_GPS::Button_ApplyClick);
    connect(Button_Cancel, &QPushButton::clicked, this, &TForm_GPS::Button_CancelClick);
    FollowReceivedSettings(this, [this] { ShowReceived(); });
    CentreOnScreen(this);
}

void TForm_GPS::ShowReceived()
{
    if (const ReportBB* report = shown_.Newer(&PortSettingsRecord::gps))
        ShowConfig(report->config);
}

QLineEdit* TForm_GPS::AddField(const QString& name, const QString& caption, const QString& hint, int top)
{
    AddCaption(this, QString(name).replace("Edit_", "Label_"), caption, hint, top);
    auto* field = new QLineEdit("-1", this);
    Place(field, name, 190, top, 100, 22);
    return field;
}

void TForm_GPS::ShowConfig(const GpsConfigRecord& config)
{
    SelectRow(ComboBox_RMode, config.receiverMode);
    SelectRow(ComboBox_DifMode, config.dgpsMode);
    SelectRow(ComboBox_DCode, config.dynamicsCode);
    Edit_EMask->setText(OneDecimal(config.elevationMaskRad * kRadToDeg));
    Edit_SMask->setText(OneDecimal(config.signalMaskAmu));
    Edit_PMask->setText(OneDecimal(config.pdopMask));
    Edit_PSwitch->setText(OneDecimal(config.pdopSwitch));
    Edit_DGPSAge->setText(QString::number(config.dgpsAgeLimitS));
}

std::optional<GpsConfigRecord> TForm_GPS::BuildConfig() const
{
    GpsConfigRecord config;
    // No selection is row -1, which the receiver gets as 255.
    config.receiverMode = static_cast<uint8_t>(ComboBox_RMode->currentIndex());
    config.dgpsMode = static_cast<uint8_t>(ComboBox_DifMode->currentIndex());
    config.dynamicsCode = static_cast<uint8_t>(ComboBox_DCode->currentIndex());
    const auto degrees = ReadFloatField(Edit_EMask);
    if (!degrees)
        return std::nullopt;
    config.elevationMaskRad = static_cast<float>(*degrees * kDegToRad);
    float* const masks[] = {&config.signalMaskAmu, &config.pdopMask, &config.pdopSwitch};
    const QLineEdit* const fields[] = {Edit_SMask, Edit_PMask, Edit_PSwitch};
    for (int i = 0; i < 3; ++i) {
        const auto value = ReadFloatField(fields[i]);
        if (!value)
            return std::nullopt;
        *masks[i] = *value;
    }
    const auto age = ReadNumberField(Edit_DGPSAge);
    if (!age)
        return std::nullopt;
    config.dgpsAgeLimitS = LowByteOfTruncated(*age);
    return config;
}

bool TForm_GPS::SendSettings()
{
    const std::optional<GpsConfigRecord> config = BuildConfig();
    if (!config)
        return false;
    SendGpsConfig(TX_DEFAULT, *config);
    return true;
}

void TForm_GPS::Button_OKClick()
{
    if (SendSettings())
        hide();
}

void TForm_GPS::Button_ApplyClick() { SendSettings(); }

void TForm_GPS::Button_CancelClick() { hide(); }
