// A simulated receiver on one serial line, deterministic under its seed and
// a virtual clock: it answers the monitor's queries, keeps the settings the
// set commands give it, and sends its once-a-second reports.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "link/packets.h"
#include "link/frame_scanner.h"
#include "sim/constellation.h"
#include "sim/line_source.h"
#include "sim/receiver_settings.h"
#include "sim/sim_options.h"
#include "sim/sky_tracker.h"
#include "sim/system_data_store.h"
#include "sim/track.h"

class ReceiverSimulator : public LineSource {
public:
    explicit ReceiverSimulator(const SimOptions& options);
    ~ReceiverSimulator() override;

    // Bytes the monitor wrote, framed as on the line.
    void Receive(const uint8_t* bytes, size_t count) override;
    // Moves virtual time on; reports fall due at each whole GPS second.
    void Advance(double seconds) override;
    // Framed bytes the receiver has sent since the last call.
    std::vector<uint8_t> TakeOutput() override;
    // Bit rate of the receiver's port 0, which this line is.
    int LineBaud() const override;

    const ReceiverSettings& Settings() const { return settings_; }
    const ReceiverSettings& SavedSettings() const { return saved_; }
    double GpsSeconds() const { return gpsSeconds_; }
    bool HasTime() const;
    bool HasFix() const { return fix_.dimension != 0; }

private:
    enum class RestartKind { Soft, Cold, Factory };

    // Power-up and resets.
    void Restart(RestartKind kind);
    double SinceRestart() const { return gpsSeconds_ - restartAt_; }
    void SecondTick();
    void UpdateSky();

    // Commands (receiver_commands.cpp).
    void Handle(const Command& command);
    void HandleSystemData(const Command& command);
    void HandleSerialConfig(const SerialConfigRecord& config);
    void HandleGpsTime(const GpsTimeCommand& time);

    // Reports (receiver_reports.cpp).
    void SendPeriodicReports();
    void SendPosition();
    void SendVelocity();
    void SendTime();
    void SendHealth();
    uint8_t NoFixHealth() const;
    void SendVersion();
    void SendFixMode();
    void SendTracking();
    void SendDgpsMode();
    void SendIoOptions();
    void SendFilters();
    void SendDatum();
    void SendGpsConfig();
    void SendSerialConfig(uint8_t port);
    void SendSystemData(uint8_t operation, uint8_t type, uint8_t sv, const std::vector<uint8_t>& data);
    void SendTimeAnswer(bool accepted);
    void SendSaveConfirmation();
    // The timing model's reports (timing_reports.cpp).
    void SendTimingReports();
    void SendTimingTime();
    void SendTimingStatus();
    void SendSatelliteClock();
    void SendGnssTracking();
    void SendFixWithCount();
    void Emit(const uint8_t* message, size_t length);
    float FixTimeOfWeek() const;
    double ClockBiasM() const;
    TrackPoint ReportedPlace() const;

    SimOptions options_;
    Constellation constellation_;
    SkyTracker tracker_;
    SystemDataStore systemData_;
    ReceiverSettings settings_;
    ReceiverSettings saved_;
    FixGeometry fix_;

    double gpsSeconds_;
    double nextTick_;
    double restartAt_;
    double almanacDueAt_ = -1;    // when an erased almanac will be complete again
    bool timeFromUser_ = false;  // set by the set-GPS-time command before the sky gave time

    FrameScanner rx_;
    std::vector<uint8_t> output_;
};
