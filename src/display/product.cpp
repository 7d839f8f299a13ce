#include "display/product.h"

#include <QComboBox>
#include <QPalette>

#include "config/form_io_options.h"
#include "core/main_window.h"
#include "display/form_product.h"

namespace {

template <class Widget>
Widget* FindControl(QWidget* form, const char* name)
{
    return form ? form->findChild<Widget*>(name) : nullptr;
}

void GiveWindowColour(QWidget* widget)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Base, WindowColour());
    palette.setColor(QPalette::Button, WindowColour());
    widget->setPalette(palette);
}

// Once enabled they stay enabled, also for a later receiver with older firmware.
void EnableDatumControls()
{
    if (auto* label = FindControl<QWidget>(Form_IOOptions, "Label_Datum"))
        label->setEnabled(true);
    if (auto* list = FindControl<QComboBox>(Form_IOOptions, "ComboBox_Datum")) {
        list->setEnabled(true);
        GiveWindowColour(list);
    }
    if (!Form_Main)
        return;
    Form_Main->Label_DatumMain->setEnabled(true);
    Form_Main->Panel_Datum->setColour(WindowColour());
}

void ShowVersions(const Report45& report)
{
    if (Form_Product) {
        Form_Product->ShowVersions(VersionText(report.navigation), VersionDateText(report.navigation),
                                   VersionText(report.signal), VersionDateText(report.signal));
    }
    if (Form_Main)
        Form_Main->Panel_Version->setCaption(VersionText(report.navigation));
    if (SupportsDatums(report.navigation))
        EnableDatumControls();
}

} // namespace

// Called for the display port only.
void DecodeReport_45(PortRecord& port)
{
    Report45 report;
    if (ParseReport45(port.data, port.length, report))
        ShowVersions(report);
}

QString VersionText(const FirmwareVersion& version)
{
    return QString::asprintf("%d.%d", version.major, version.minor);
}

QString VersionDateText(const FirmwareVersion& version)
{
    return QString::asprintf("%d/%d/%d", version.month, version.day, version.yearSince2000 + 2000);
}

bool SupportsDatums(const FirmwareVersion& navigation) { return navigation.major >= 2 || navigation.minor >= 12; }
