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
#include "monitor/monitor.h"
#include "display/form_product.h"
#include "display/form_track.h"
#include "link/commands.h"
#include "link/shared_flags.h"
#include "logging/form_log.h"
#include "logging/form_log_zelk.h"
#include "transfer/almanac_transfer.h"
#include "transfer/ephemeris_transfer.h"

#include <QAction>
#include <algorithm>

#include "config/serial_apply.h"
#include "platform/ui.h"

namespace {

void Show(Form* form)
{
    if (form)
        form->showForm();
}

// A reset with Tx All lit reaches every open port: the question says so.
QString WithTargetCount(const QString& question)
{
    const auto ports = std::count_if(PortTable.begin(), PortTable.end(), [](const PortRecord& r) { return r.open; });
    if (!TxAllLit || ports < 2)
        return question;
    return question + QString("\nTx All is on: this goes to %1 open ports.").arg(ports);
}

} // namespace

void TForm_Main::BlankPositionPanels()
{
    for (Panel* panel : {Panel_NorthSouth, Panel_LatDeg, Panel_LatMin, Panel_EastWest, Panel_LonDeg, Panel_LonMin,
                         Panel_X, Panel_Y, Panel_Alt_Z})
        panel->setCaption("?");
}

void TForm_Main::InitializeColdClick()
{
    // No is the default: Enter must not wipe the receiver's memory.
    if (!ui::AskYesNo(WithTargetCount("Really clear battery backed-up RAM?"), "Cold reset?", ui::Icon::None,
                      ui::Answer::No))
        return;
    SendColdReset(TX_DEFAULT);
    ui::Message("Serial port settings will revert to those saved in Flash memory.  It may be necessary to change "
                "the PC settings to match if the receiver is no longer communicating.",
                "Warning", ui::Icon::Warning);
    BlankPositionPanels();
}

void TForm_Main::InitializeWarmClick()
{
    if (ui::AskYesNo("Really restart the receiver?", "Soft reset?"))
        SendSoftReset(TX_DEFAULT);
}

void TForm_Main::InitializeFactoryClick()
{
    const QString question = "Really clear battery backed-up RAM and set receiver to factory default settings?";
    if (!ui::AskYesNo(WithTargetCount(question), "Factory Reset?", ui::Icon::Warning, ui::Answer::No))
        return;
    SendResetMode(TX_DEFAULT, 0x46);
    BlankPositionPanels();
    if (DisplayPort >= 1 && DisplayPort <= kPortSlots &&
        !(PortLineCodes[static_cast<size_t>(DisplayPort - 1)] == LineCodes{7, 3, 1, 0}))
        ApplySerialSettings(kFactorySerialSettings);
}

void TForm_Main::ConfigureSEEClick()
{
    if (ui::AskYesNo("Previous configuration information will be\nlost. Really replace receiver configuration\nin "
                     "non-volatile memory?",
                     "Warning", ui::Icon::Warning, ui::Answer::No))
        SendSaveToFlash(TX_DEFAULT);
}

// The transfers run to their end here, with the poll timer held off.
void TForm_Main::InitializeDownloadClick() { RunAlmanacDownload(); }
void TForm_Main::DownloadEphemerisClick() { RunEphemerisDownload(); }
void TForm_Main::InitializeEphemerisClick() { RunEphemerisUpload(); }

// The receiver's health is asked for after every almanac upload command,
// even a cancelled one, so the almanac lamp shows the new state.
void TForm_Main::InitializeUploadClick()
{
    RunAlmanacUpload();
    RequestHealth(TX_DEFAULT);
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
    Monitor& engine = Monitor::Instance();
    engine.SetAutoQuery(!engine.AutoQuery());
    LoggingAutoQuery->setChecked(engine.AutoQuery());
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
