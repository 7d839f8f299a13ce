#include "display/velocity.h"

#include <array>
#include <cmath>

#include <QString>

#include "config/form_bias.h"
#include "core/main_window.h"
#include "model/port_reports.h"
#include "display/report_decode.h"
#include "link/packets.h"
#include "notify/receiver_notifier.h"

namespace {

// One velocity report, whatever its frame.
struct VelocityFix {
    bool enu = false;
    std::array<float, 3> values = {}; // X, Y, Z or east, north, up, m/s
    float biasRateMps = 0;
};

void StoreVelocity(PortRecord& port, const VelocityFix& fix)
{
    PortReportRecord& r = PortReports[static_cast<size_t>(port.slot)];
    std::array<float*, 3> fields = fix.enu ? std::array{&r.velEast, &r.velNorth, &r.velUp}
                                           : std::array{&r.velX, &r.velY, &r.velZ};
    for (size_t i = 0; i < 3; ++i)
        *fields[i] = fix.values[i];
    r.biasRatePpb = static_cast<float>(MetresToNs(fix.biasRateMps));
    r.velocityId = fix.enu ? 0x56 : 0x43;
}

// ENU components show their magnitude with a direction word (never "-0.00").
void ShowEnuRow(size_t i, float value)
{
    static const char* const ahead[3] = {"East", "North", "Up"};
    static const char* const behind[3] = {"West", "South", "Down"};
    const bool negative = value < 0;
    Form_Main->Panel_Vel[i]->setCaption(QString::asprintf("%.2f", static_cast<double>(std::fabs(value))));
    Form_Main->Label_Vel[i]->setCaption(negative ? behind[i] : ahead[i]);
}

void ShowEcefRow(size_t i, float value)
{
    static const char* const axes[3] = {"X", "Y", "Z"};
    Form_Main->Panel_Vel[i]->setCaption(QString::asprintf("%.2f", static_cast<double>(value)));
    Form_Main->Label_Vel[i]->setCaption(axes[i]);
}

void ShowVelocity(const VelocityFix& fix)
{
    if (Form_Main) {
        Form_Main->Label_PanelVel->setCaption(fix.enu ? "ENU Velocity" : "ECEF Velocity");
        Form_Main->Panel_Velocity->setHint(fix.enu ? "Velocity: Packet 56" : "Velocity: Packet 43");
        for (size_t i = 0; i < 3; ++i)
            (fix.enu ? ShowEnuRow : ShowEcefRow)(i, fix.values[i]);
    }
    if (Form_Bias)
        Form_Bias->ShowBiasRate(MetresToNs(fix.biasRateMps));
}

} // namespace

void DecodeReport_43(PortRecord& port)
{
    Report43 r;
    if (!ParseReport43(port.data, port.length, r))
        return;
    StoreThenShow(port, VelocityFix{false, {r.velXMps, r.velYMps, r.velZMps}, r.biasRateMps}, &StoreVelocity,
                  &ShowVelocity);
    emit Receivers().velocityChanged(port.slot);
}

void DecodeReport_56(PortRecord& port)
{
    Report56 r;
    if (!ParseReport56(port.data, port.length, r))
        return;
    StoreThenShow(port, VelocityFix{true, {r.eastMps, r.northMps, r.upMps}, r.biasRateMps}, &StoreVelocity,
                  &ShowVelocity);
    emit Receivers().velocityChanged(port.slot);
}
