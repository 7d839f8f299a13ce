#include "config/form_filters.h"

#include <QCheckBox>
#include <QPushButton>

#include "config/dialog_controls.h"
#include "config/settings_follow.h"
#include "link/commands.h"

TForm_Filters* Form_Filters = nullptr;

namespace {

QCheckBox* AddCheckBox(QWidget* parent, const QString& name, const QString& caption, int top)
{
    auto* box = new QCheckBox(caption, parent);
    Place(box, name, 40, top, 220, 22);
    return box;
}

uint8_t OnOff(const QCheckBox* box) { return box->isChecked() ? 1 : 0; }

} // namespace

TForm_Filters::TForm_Filters() : Form("Form_Filters", "Configure Filters", 300, 200)
{
    SetHint(this, "Filter Configuration: packet 70.");
    CheckBox_Dynamic = AddCheckBox(this, "CheckBox_Dynamic", "Position-Velocity Filter", 24);
    CheckBox_Static = AddCheckBox(this, "CheckBox_Static", "Static Filter", 60);
    SetHint(CheckBox_Static, "Static filter will not work unless PV filter is on.");
    CheckBox_Altitude = AddCheckBox(this, "CheckBox_Altitude", "Altitude Filter", 96);
    const DialogButtons buttons = AddDialogButtons(this, 20, 156);
    Button_OK = buttons.ok;
    Button_Apply = buttons.apply;
    Button_Cancel = buttons.close;
    connect(CheckBox_Dynamic, &QCheckBox::toggled, this, &TForm_Filters::CheckBox_DynamicClick);
    connect(Button_OK, &QPushButton::clicked, this, &TForm_Filters::Button_OKClick);
    connect(Button_Apply, &QPushButton::clicked, this, &TForm_Filters::Button_ApplyClick);
    connect(Button_Cancel, &QPushButton::clicked, this, &TForm_Filters::Button_CancelClick);
    FollowReceivedSettings(this, [this] { ShowReceived(); });
    CentreOnScreen(this);
}

void TForm_Filters::ShowReceived()
{
    if (const Report70* report = shown_.Newer(&PortSettingsRecord::filters))
        ShowFilters(*report);
}

void TForm_Filters::CheckBox_DynamicClick()
{
    if (CheckBox_Dynamic->isChecked()) {
        CheckBox_Static->setEnabled(true);
        return;
    }
    CheckBox_Static->setChecked(false);
    CheckBox_Static->setEnabled(false);
}

void TForm_Filters::ShowFilters(const FilterRecord& filters)
{
    CheckBox_Dynamic->setChecked(filters.positionVelocity != 0); // a change runs the coupling
    if (!CheckBox_Dynamic->isChecked())
        CheckBox_Static->setEnabled(false);
    // Shown as reported even while greyed out, so the dialog mirrors the receiver.
    CheckBox_Static->setChecked(filters.staticFilter != 0);
    CheckBox_Altitude->setChecked(filters.altitude != 0);
}

void TForm_Filters::SendSettings()
{
    const uint8_t filters[3] = {OnOff(CheckBox_Dynamic), OnOff(CheckBox_Static), OnOff(CheckBox_Altitude)};
    SendFilters(TX_DEFAULT, filters);
}

void TForm_Filters::Button_OKClick()
{
    SendSettings();
    hide();
}

void TForm_Filters::Button_ApplyClick() { SendSettings(); }

void TForm_Filters::Button_CancelClick() { hide(); }
