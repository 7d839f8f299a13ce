// jx_monitord's configuration file (INI): what it listens on, which device
// stands behind each COM number, the alarm thresholds and the recording.
// A file with any error is refused whole, so the daemon never starts on half
// of what its operator wrote.
#pragma once

#include <map>
#include <string>
#include <vector>

// Where the package installs it; a missing default file means the defaults.
inline constexpr char kDefaultConfigFile[] = "/etc/jx-monitord.conf";

struct AlarmSettings {
    double raiseAfterS = 10;   // a condition must hold this long before its alarm is raised
    double clearAfterS = 30;   // and be absent this long before the alarm clears
    double noPacketAfterS = 5; // seconds without a packet that count as "no packets"
    int minSatellites = 4;
    double maxPdop = 6;
};

enum class Rotation { Hourly, Daily };

struct RecordingSettings {
    std::string directory; // empty: recording off
    Rotation rotate = Rotation::Hourly;
    int keepDays = 30;
};

struct DaemonConfig {
    std::string listenHost = "127.0.0.1";
    int listenPort = 9717;
    std::map<int, std::string> ports; // COM number -> device path or URL
    AlarmSettings alarms;
    RecordingSettings recording;
};

// One refusal: "FILE:LINE: reason" (no line for an unreadable file).
struct ConfigError {
    std::string file;
    int line = 0;
    std::string reason;
    std::string Text() const;
};

// Reads the file into config (which holds the defaults on entry). Returns
// every error found; config is only meaningful when none is returned.
std::vector<ConfigError> LoadDaemonConfig(const std::string& file, DaemonConfig& config);
