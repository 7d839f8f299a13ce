#include "config/form_io_options.h"

#include <QComboBox>
#include <QPalette>
#include <QPushButton>

#include "config/datum_names.h"
#include "config/dialog_controls.h"
#include "config/radio_group.h"
#include "config/settings_follow.h"
#include "link/commands.h"
#include "model/port_reports.h"
#include "notify/receiver_notifier.h"
#include "platform/ui.h"

TForm_IOOptions* Form_IOOptions = nullptr;

namespace {

using namespace IoOptionBits;

const QStringList kAltitudeRows = {"HAE (datum)", "MSL geoid"};
const QStringList kCartesianRows = {"XYZ ECEF", "LLA"};

Panel* AddRegion(QWidget* parent, const QString& name, const QString& heading, int left, int top, int width,
                 int height)
{
    auto* panel = new Panel(parent, name, QString(), left, top, width, height, Panel::Bevel::Raised);
    auto* title = new Label(panel, name + "_Title", heading, 8, 4, width - 16, 18);
    title->setBold(true);
    return panel;
}

RadioGroup* AddGroup(QWidget* parent, const QString& name, const QString& caption, const QStringList& rows,
                     const QString& hint, int left, int top)
{
    auto* group = new RadioGroup(parent, name, caption, rows, left, top, 140, 64);
    SetHint(group, hint);
    return group;
}

int Bit(uint8_t byte, uint8_t mask) { return (byte & mask) ? 1 : 0; }

void SetListColour(QComboBox* list, const QColor& colour)
{
    QPalette p = list->palette();
    p.setColor(QPalette::Base, colour);
    p.setColor(QPalette::Button, colour);
    list->setPalette(p);
}

} // namespace

TForm_IOOptions::TForm_IOOptions() : Form("Form_IOOptions", "I/O Options", 480, 330)
{
    SetHint(this, "Input/Output Options: Packets 35, 8E-15, 55, 8F-15.");
    BuildPosition();
    Panel_Velocity = AddRegion(this, "Panel_Velocity", "Velocity:", 326, 8, 146, 100);
    RadioGroup_Velocity = AddGroup(Panel_Velocity, "RadioGroup_Velocity", "Output", {"XYZ ECEF", "ENU"},
                                   "Velocity output: packets 35, 55.", 3, 28);
    Panel_Timing = AddRegion(this, "Panel_Timing", "Timing:", 326, 116, 146, 100);
    RadioGroup_Timing = AddGroup(Panel_Timing, "RadioGroup_Timing", "Output", {"GPS time", "UTC time"},
                                 "Timing output: packets 35, 55.", 3, 28);
    const DialogButtons buttons = AddDialogButtons(this, 115, 292);
    Button_OK = buttons.ok;
    Button_Apply = buttons.apply;
    Button_Cancel = buttons.close;
    connect(Button_OK, &QPushButton::clicked, this, &TForm_IOOptions::Button_OKClick);
    connect(Button_Apply, &QPushButton::clicked, this, &TForm_IOOptions::Button_ApplyClick);
    connect(Button_Cancel, &QPushButton::clicked, this, &TForm_IOOptions::Button_CancelClick);
    connect(&Receivers(), &ReceiverNotifier::productChanged, this, &TForm_IOOptions::ShowProduct);
    FollowReceivedSettings(this, [this] { ShowReceived(); });
    CentreOnScreen(this);
}

void TForm_IOOptions::ShowReceived()
{
    if (const Report55* options = shownOptions_.Newer(&PortSettingsRecord::ioOptions))
        ShowOptions(*options);
    if (const Report8F15* datum = shownDatum_.Newer(&PortSettingsRecord::datum))
        ShowDatum(datum->datumIndex);
}

void TForm_IOOptions::BuildPosition()
{
    Panel_Position = AddRegion(this, "Panel_Position", "Position:", 8, 8, 310, 244);
    QWidget* p = Panel_Position;
    RadioGroup_Format =
        AddGroup(p, "RadioGroup_Format", "Output Format", kCartesianRows, "Position output: packets 35, 55.", 8, 28);
    RadioGroup_AltOut = AddGroup(p, "RadioGroup_AltOut", "LLA Altitude output", kAltitudeRows,
                                 "LLA altitude output: packets 35, 55.", 160, 28);
    RadioGroup_Precision = AddGroup(p, "RadioGroup_Precision", "Precision of Output", {"single", "double"},
                                    "Precision of output: packets 35, 55.", 8, 100);
    RadioGroup_AltIn = AddGroup(p, "RadioGroup_AltIn", "Altitude Input", kAltitudeRows,
                                "LLA  altitude input: packets 35, 55.", 160, 100);
    BuildDatum(p);
}

void TForm_IOOptions::BuildDatum(QWidget* panel)
{
    Label_Datum = new Label(panel, "Label_Datum", "Datum:", 8, 184, 60, 20);
    QStringList names;
    for (const char* name : DatumNames)
        names << name;
    ComboBox_Datum = AddList(panel, "ComboBox_Datum", names, 8, 206, 292);
    const QString hint = "Set datum: packets 8E-15, 8F-15.";
    Label_Datum->setHint(hint);
    SetHint(ComboBox_Datum, hint);
    // Older receivers know no datums until the product report says otherwise.
    Label_Datum->setEnabled(false);
    ComboBox_Datum->setEnabled(false);
    SetListColour(ComboBox_Datum, ButtonFaceColour());
}

void TForm_IOOptions::EnableDatum()
{
    Label_Datum->setEnabled(true);
    ComboBox_Datum->setEnabled(true);
    SetListColour(ComboBox_Datum, WindowColour());
}

void TForm_IOOptions::ShowProduct(int slot)
{
    if (SupportsDatums(PortReports[static_cast<size_t>(slot)].navigation))
        EnableDatum();
}

void TForm_IOOptions::ShowOptions(const IoOptionsRecord& options)
{
    RadioGroup_Format->setItemIndex(Bit(options.position, kLla));
    RadioGroup_AltOut->setItemIndex(Bit(options.position, kMslOut));
    RadioGroup_AltIn->setItemIndex(Bit(options.position, kMslIn));
    RadioGroup_Precision->setItemIndex(Bit(options.position, kDouble));
    RadioGroup_Velocity->setItemIndex(Bit(options.velocity, kEnu));
    RadioGroup_Timing->setItemIndex(Bit(options.timing, kUtc));
}

void TForm_IOOptions::ShowDatum(int datum) { SelectRow(ComboBox_Datum, datum); }

std::optional<IoOptionsRecord> TForm_IOOptions::BuildOptions() const
{
    const std::pair<const RadioGroup*, const char*> groups[] = {
        {RadioGroup_Format, "Position: Output Format"},   {RadioGroup_AltOut, "Position: LLA Altitude output"},
        {RadioGroup_Precision, "Position: Precision of Output"}, {RadioGroup_AltIn, "Position: Altitude Input"},
        {RadioGroup_Velocity, "Velocity: Output"},         {RadioGroup_Timing, "Timing: Output"}};
    for (const auto& [group, name] : groups) {
        // Without a row the option byte has no defined bit: send nothing rather than guess.
        if (group->itemIndex() < 0) {
            ui::Message(QString("Nothing is selected in \"%1\". Choose a setting there before sending.").arg(name),
                        "I/O Options", ui::Icon::Warning);
            return std::nullopt;
        }
    }
    IoOptionsRecord options;
    const int format = RadioGroup_Format->itemIndex();
    options.position = static_cast<uint8_t>((format == 0 ? kEcef : 0) + kLla * format +
                                            kMslOut * RadioGroup_AltOut->itemIndex() +
                                            kMslIn * RadioGroup_AltIn->itemIndex() +
                                            kDouble * RadioGroup_Precision->itemIndex());
    const int velocity = RadioGroup_Velocity->itemIndex();
    options.velocity = static_cast<uint8_t>((velocity == 0 ? kEcef : 0) + kEnu * velocity);
    options.timing = static_cast<uint8_t>(RadioGroup_Timing->itemIndex());
    return options;
}

bool TForm_IOOptions::SendSettings()
{
    const std::optional<IoOptionsRecord> options = BuildOptions();
    if (!options)
        return false;
    const uint8_t bytes[4] = {options->position, options->velocity, options->timing, options->reserved};
    SendIoOptions(TX_DEFAULT, bytes);
    // Sent even while the list is locked; no row goes out as 0xFFFF.
    SendDatum(TX_DEFAULT, static_cast<int16_t>(ComboBox_Datum->currentIndex()));
    return true;
}

void TForm_IOOptions::Button_OKClick()
{
    if (SendSettings())
        hide();
}

void TForm_IOOptions::Button_ApplyClick() { SendSettings(); }

void TForm_IOOptions::Button_CancelClick() { hide(); }
