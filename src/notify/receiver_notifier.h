// What the decoders announce after they have stored a report's values in
// PortReports, per port (slot 0..15). Windows subscribe to these signals and
// read the values from PortReports; no decoder writes another module's widgets.
// All connections are direct: a signal is handled before the decoder returns.
#pragma once

#include <QByteArrayView>
#include <QObject>

#include <cstdint>

#include "model/port_settings.h"

class ReceiverNotifier : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    // Emit packetIn / packetOut with a view of the bytes; a subscriber copies what it keeps.
    void AnnouncePacketIn(int slot, int id, const uint8_t* data, uint32_t length);
    void AnnouncePacketOut(int slot, const uint8_t* message, size_t length);

signals:
    void positionChanged(int slot);                // fix time, ECEF or LLA position, clock bias
    void velocityChanged(int slot);                // ENU or ECEF velocity, bias rate
    void timeChanged(int slot);                    // GPS time of week, week, UTC offset (0x41: display port; 0x8F-AB: every port)
    void timingStatusChanged(int slot);            // a timing receiver's status, clock and alarms (0x8F-AC)
    void statusChanged(int slot);                  // health, fix mode, DOPs, DGPS mode, status flags
    void channelChanged(int slot, int channel);    // one tracking channel's satellite, level, azimuth, elevation
    void channelExpired(int slot, int channel);    // no report for the channel within its timeout
    void fixSatellitesChanged(int slot);           // the satellites used in the fix
    // A whole frame's id and data (0x10 stuffing and DLE ETX removed): received, or queued to send.
    // The view is valid only during the call: no allocation per packet on the dispatch path.
    void packetIn(int slot, int id, QByteArrayView data);
    void packetOut(int slot, int id, QByteArrayView data);
    void portStateChanged(int slot);               // opened, closed, lost, reconnected, display port changed
    // No port reported the channel (0..7) within the timeout: the display's channel rows blank.
    void channelRowsExpired(int channel);
    void productChanged(int slot);                 // firmware versions (0x45: display port; 0x1C-81/83: every port)
    void timeAnswered(int slot);                   // the answer to a set-GPS-time command (display port)
    void settingsChanged(int slot, SettingsKind kind); // a setting stored in PortSettings
};

// The program's one notifier. It lives as long as the program.
ReceiverNotifier& Receivers();
