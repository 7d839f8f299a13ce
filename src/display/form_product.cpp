#include "display/form_product.h"

#include <QGroupBox>

#include "model/port_reports.h"
#include "monitor/product.h"
#include "notify/receiver_notifier.h"

TForm_Product* Form_Product = nullptr;

namespace {

constexpr int kRowHeight = 19;

// A framed group with a "Version" and a "Date" field, both "?" until the first report.
QGroupBox* VersionGroup(QWidget* parent, const QString& name, const QString& title, int top, Panel*& version,
                        Panel*& date, const QString& prefix)
{
    auto* group = new QGroupBox(title, parent);
    Place(group, name, 8, top, 314, 88);
    new Label(group, "Label_" + prefix + "Version", "Version", 12, 24, 60, kRowHeight);
    version = new Panel(group, "Panel_" + prefix + "Version", "?", 80, 24, 100, kRowHeight);
    version->setColour(WindowColour());
    new Label(group, "Label_" + prefix + "Date", "Date", 12, 52, 60, kRowHeight);
    date = new Panel(group, "Panel_" + prefix + "Date", "?", 80, 52, 100, kRowHeight);
    date->setColour(WindowColour());
    return group;
}

} // namespace

TForm_Product::TForm_Product() : Form("Form_Product", "Product Information", 330, 200)
{
    SetHint(this, "Software versions: packets 1F, 45.");
    GroupBox_Nav = VersionGroup(this, "GroupBox_Nav", "Navigation Processor:", 6, Panel_NavVersion, Panel_NavDate, "Nav");
    GroupBox_Sig = VersionGroup(this, "GroupBox_Sig", "Signal Processor:", 104, Panel_SigVersion, Panel_SigDate, "Sig");
    connect(&Receivers(), &ReceiverNotifier::productChanged, this, [this](int slot) {
        if (slot + 1 != DisplayPort)
            return;
        const PortReportRecord& r = PortReports[static_cast<size_t>(slot)];
        ShowVersions(VersionText(r.navigation), VersionDateText(r.navigation), VersionText(r.signal),
                     VersionDateText(r.signal));
    });
}

void TForm_Product::ShowVersions(const QString& navVersion, const QString& navDate, const QString& sigVersion,
                                 const QString& sigDate)
{
    Panel_NavVersion->setCaption(navVersion);
    Panel_NavDate->setCaption(navDate);
    Panel_SigVersion->setCaption(sigVersion);
    Panel_SigDate->setCaption(sigDate);
}
