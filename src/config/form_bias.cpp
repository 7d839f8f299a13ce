#include "config/form_bias.h"

TForm_Bias* Form_Bias = nullptr;

namespace {

// One row: caption, value field (empty, data colour) and unit.
Panel* Row(QWidget* parent, const QString& name, const QString& caption, const QString& unit, int top)
{
    new Label(parent, "Label_" + name, caption, 16, top + 2, 64, 17);
    auto* panel = new Panel(parent, "Panel_" + name, QString(), 84, top, 110, 21);
    panel->setColour(WindowColour());
    new Label(parent, "Label_" + name + "Unit", unit, 200, top + 2, 40, 17);
    return panel;
}

} // namespace

TForm_Bias::TForm_Bias() : Form("Form_Bias", "Timing Outputs", 260, 110)
{
    Panel_Bias = Row(this, "Bias", "Bias", "ns", 24);
    Panel_BiasRate = Row(this, "BiasRate", "Bias Rate", "ppb", 62);
    CentreOnScreen(this);
}

void TForm_Bias::ShowBias(std::optional<double> biasNs)
{
    if (biasNs) {
        Panel_Bias->setCaption(QString::asprintf("%.2f", *biasNs));
        Panel_Bias->setColour(WindowColour());
    } else {
        Panel_Bias->setColour(ButtonFaceColour()); // the last bias stays readable
    }
}

void TForm_Bias::ShowBiasRate(double ppb) { Panel_BiasRate->setCaption(QString::asprintf("%.2f", ppb)); }
