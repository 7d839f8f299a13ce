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
#include "link/shared_flags.h"
#include "logging/form_log.h"
#include "logging/form_log_zelk.h"

#include <QAction>

namespace {

void Show(Form* form)
{
    if (form)
        form->showForm();
}

} // namespace

// Not built yet: confirmation, reset command and position blanking.
void TForm_Main::InitializeColdClick() {}
void TForm_Main::InitializeWarmClick() {}
void TForm_Main::InitializeFactoryClick() {}
// Not built yet: the almanac and ephemeris transfers.
void TForm_Main::InitializeUploadClick() {}
void TForm_Main::InitializeEphemerisClick() {}
void TForm_Main::InitializeDownloadClick() {}
void TForm_Main::DownloadEphemerisClick() {}
// Not built yet: the save-to-flash confirmation.
void TForm_Main::ConfigureSEEClick() {}
// Not built yet: re-targeting the window to another display port.
void TForm_Main::ComboBox_DisplayComChange(int) {}

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
