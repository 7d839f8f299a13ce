#include "core/windows.h"

#include "config/form_about.h"
#include "config/form_bias.h"
#include "config/form_filters.h"
#include "config/form_gps.h"
#include "config/form_initial_pos.h"
#include "config/form_initial_time.h"
#include "config/form_io_options.h"
#include "config/form_serial.h"
#include "config/settings_captions.h"
#include "monitor/dispatch.h"
#include "core/main_window.h"
#include "core/replay_ports.h"
#include "display/form_product.h"
#include "display/form_track.h"
#include "logging/form_log.h"
#include "logging/form_log_zelk.h"
#include "monitor/position_logging.h"
#include "logging/raw_recorder.h"
#include "transfer/form_alm.h"
#include "views/form_packets.h"
#include "views/form_player.h"
#include "views/form_ports.h"
#include "views/form_scatter.h"
#include "views/form_signal.h"
#include "views/form_sky.h"
#include "views/form_timing.h"
#include "views/form_trends.h"

namespace {

template <class T>
void Destroy(T*& form)
{
    delete form;
    form = nullptr;
}

void CreateCompanions()
{
    Form_Alm = new TForm_Alm;
    Form_Filters = new TForm_Filters;
    Form_InitialPos = new TForm_InitialPos;
    Form_InitialTime = new TForm_InitialTime;
    Form_IOOptions = new TForm_IOOptions;
    Form_Product = new TForm_Product;
    Form_GPS = new TForm_GPS;
    Form_Serial = new TForm_Serial;
    Form_Track = new TForm_Track;
    Form_About = new TForm_About;
    Form_Log = new TForm_Log;
    LogPositionReports(Form_Main); // after the display's windows, before the timing outputs
    Form_Bias = new TForm_Bias;
    Form_LogZelk = new TForm_LogZelk;
    // The dispatch hands the display port's packets to the recorder from now on.
    RawPacketHook = &WriteRawPacket;
    CloseRawRecordingHook = &CloseRawRecordFile;
    // The live views.
    Form_Sky = new TForm_Sky;
    Form_Signal = new TForm_Signal;
    Form_Scatter = new TForm_Scatter;
    Form_Timing = new TForm_Timing;
    // The views of every port.
    Form_Ports = new TForm_Ports;
    QObject::connect(Form_Ports, &TForm_Ports::displayPortChosen, Form_Main, &TForm_Main::ChooseDisplayCom);
    Form_Packets = new TForm_Packets;
    Form_Trends = new TForm_Trends;
    Form_Player = new TForm_Player;
    QObject::connect(Form_Player, &TForm_Player::replayPortsChanged, Form_Main, &ReplayPortsChanged);
}

} // namespace

bool CreateAllWindows()
{
    auto* main = new TForm_Main;
    if (!main->FormCreate()) {
        delete main;
        return false;
    }
    AnnounceSettingsCaptions();
    CreateCompanions();
    return true;
}

void DestroyAllWindows()
{
    Destroy(Form_Trends);
    Destroy(Form_Player);
    Destroy(Form_Packets);
    Destroy(Form_Ports);
    Destroy(Form_Timing);
    Destroy(Form_Scatter);
    Destroy(Form_Signal);
    Destroy(Form_Sky);
    if (RawPacketHook == &WriteRawPacket)
        RawPacketHook = nullptr;
    if (CloseRawRecordingHook == &CloseRawRecordFile)
        CloseRawRecordingHook = nullptr;
    Destroy(Form_LogZelk);
    Destroy(Form_Bias);
    Destroy(Form_Log);
    Destroy(Form_About);
    Destroy(Form_Track);
    Destroy(Form_Serial);
    Destroy(Form_GPS);
    Destroy(Form_Product);
    Destroy(Form_IOOptions);
    Destroy(Form_InitialTime);
    Destroy(Form_InitialPos);
    Destroy(Form_Filters);
    Destroy(Form_Alm);
    delete Form_Main; // clears Form_Main itself
}
