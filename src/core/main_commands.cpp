// The main window's menu commands and the controls that run the same handlers.
// Handlers marked "not built yet" are placeholders that do nothing.
#include "config/form_about.h"
#include "config/form_bias.h"
#include "config/form_filters.h"
#include "config/form_gps.h"
#include "config/form_initial_pos.h"
#include "config/form_initial_time.h"
#include "config/form_io_options.h"
#include "config/form_serial.h"
#include "core/main_window.h"
#include "display/form_product.h"
#include "display/form_track.h"
#include "link/commands.h"
#include "link/line_codes.h"
#include "link/port_table.h"
#include "link/shared_flags.h"
#include "logging/form_log.h"
#include "logging/form_log_zelk.h"

#include <QAction>
#include <QComboBox>
#include <QGuiApplication>

#include "platform/ui.h"

namespace {

void Show(Form* form)
{
    if (form)
        form->showForm();
}

} // namespace

// Not built yet: the factory reset, whose last step is the serial dialog's apply step.
void TForm_Main::InitializeFactoryClick() {}
// Not built yet: the almanac and ephemeris transfers.
void TForm_Main::InitializeUploadClick() {}
void TForm_Main::InitializeEphemerisClick() {}
void TForm_Main::InitializeDownloadClick() {}
void TForm_Main::DownloadEphemerisClick() {}

void TForm_Main::InitializeColdClick()
{
    if (!ui::AskYesNo("Really clear battery backed-up RAM?", "Cold reset?"))
        return;
    SendColdReset(TX_DEFAULT);
    ui::Message("Serial port settings will revert to those saved in Flash memory.  It may be necessary to change "
                "the PC settings to match if the receiver is no longer communicating.",
                "Warning", ui::Icon::Warning);
    for (Panel* p : {Panel_NorthSouth, Panel_LatDeg, Panel_LatMin, Panel_EastWest, Panel_LonDeg, Panel_LonMin,
                     Panel_X, Panel_Y, Panel_Alt_Z})
        p->setCaption("?");
}

void TForm_Main::InitializeWarmClick()
{
    if (ui::AskYesNo("Really restart the receiver?", "Soft reset?"))
        SendSoftReset(TX_DEFAULT);
}

void TForm_Main::ConfigureSEEClick()
{
    if (ui::AskYesNo("Previous configuration information will be\nlost. Really replace receiver configuration\nin "
                     "non-volatile memory?",
                     "Warning", ui::Icon::Warning, ui::Answer::No))
        SendSaveToFlash(TX_DEFAULT);
}

// Re-targets the window to the receiver picked in the display-port list.
void TForm_Main::ComboBox_DisplayComChange(int index)
{
    if (index < 0 || index >= PortCount || index >= kPortSlots)
        return;
    const int com = PortList[static_cast<size_t>(index)];
    if (com == DisplayPort || com < 1 || com > kPortSlots)
        return;
    const int slot = com - 1;
    if (!PortTable[static_cast<size_t>(slot)].open && OpenSlot(slot) != 0)
        ui::Message(QString("Could not initialize COM%1.").arg(com), "Error");
    ResetDisplay();
    if (DisplayPort >= 1 && DisplayPort <= kPortSlots) {
        PortRecord& old = PortTable[static_cast<size_t>(DisplayPort - 1)];
        if (old.open && !old.monitored)
            ClosePort(old);
    }
    DisplayPort = com;
    const LineCodes& codes = PortLineCodes[static_cast<size_t>(slot)];
    Panel_Serial->setCaption(QString("COM%1 %2, %3-%4-%5")
                                 .arg(com)
                                 .arg(BaudText(codes.baud), DataBitsText(codes.dataBits), ParityText(codes.parity),
                                      StopBitsText(codes.stopBits)));
    QGuiApplication::setApplicationDisplayName(QString("%1 ZELKMon32").arg(com));
    RequestDgpsMode(slot);
    RequestIoOptions(slot);
    RequestDatum(slot);
    RequestTime(slot);
}

void TForm_Main::InitializePositionClick() { Show(Form_InitialPos); }

// A lamp left from an earlier answer would pass for the answer to this time.
void TForm_Main::InitializeTimeClick()
{
    if (!Form_InitialTime)
        return;
    Form_InitialTime->ClearTimeAccepted();
    Form_InitialTime->showForm();
}

void TForm_Main::InitializeDownloadPosClick() { Flags.PositionDownloadPending = 1; }

void TForm_Main::InitializeTimeToPCClick()
{
    RequestTime(TX_DEFAULT);
    Flags.TimeToPcPending = 1;
}

void TForm_Main::ConfigureIOClick()
{
    RequestDatum(TX_DEFAULT);
    RequestIoOptions(TX_DEFAULT);
    Show(Form_IOOptions);
}

void TForm_Main::ConfigureGPSClick()
{
    RequestGpsConfig(TX_DEFAULT);
    Show(Form_GPS);
}

void TForm_Main::ConfigureFiltersClick()
{
    RequestFilters(TX_DEFAULT);
    Show(Form_Filters);
}

void TForm_Main::ConfigureSerialClick()
{
    RequestSerialConfig(TX_DEFAULT, 0);
    RequestSerialConfig(TX_DEFAULT, 1);
    Show(Form_Serial);
}

void TForm_Main::LoggingDataClick() { Show(Form_Log); }
void TForm_Main::LoggingZELKClick() { Show(Form_LogZelk); }

void TForm_Main::LoggingAutoQueryClick()
{
    AutoQueryOn = !AutoQueryOn;
    LoggingAutoQuery->setChecked(AutoQueryOn);
    ResetDisplay();
}

void TForm_Main::WindowTrackClick() { Show(Form_Track); }
void TForm_Main::WindowBiasClick() { Show(Form_Bias); }

void TForm_Main::WindowProductInfoClick()
{
    RequestVersion(TX_DEFAULT);
    Show(Form_Product);
}

// The check mark flips with the layout; both layouts set both check marks.
void TForm_Main::WindowMultiPortClick()
{
    if (IsMultiport())
        SetSingleLayout();
    else
        SetMultiportLayout();
}

void TForm_Main::HelpAboutClick() { Show(Form_About); }

void TForm_Main::Button_ResetLLAClick() { Flags.ReferenceSet = 0; }

void TForm_Main::Button_TxAllClick()
{
    TxAllLit = !TxAllLit;
    Shape_TxAll->setFill(TxAllLit ? Colours::Lime : Colours::Grey);
}
