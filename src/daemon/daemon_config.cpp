#include "daemon/daemon_config.h"

#include <QFile>
#include <QHostAddress>
#include <QSettings>
#include <QStringList>
#include <cmath>
#include <functional>
#include <set>

#include "platform/network_url.h"

namespace {

constexpr int kMaxCom = 16;

// Where each key stands in the file, as written.
struct KeyLine {
    std::string group;
    std::string key;
    int line = 0;
};

struct Scan {
    std::vector<KeyLine> keys;
    std::vector<ConfigError> errors;
};

std::string Trimmed(const std::string& text)
{
    const size_t first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

// QSettings reads the values but says nothing of lines, of duplicates or of
// lines it skipped; this pass does.
Scan ScanLines(const std::string& file, const QByteArray& content)
{
    Scan scan;
    std::string group;
    std::set<std::string> seen;
    const QList<QByteArray> lines = content.split('\n');
    for (int i = 0; i < lines.size(); ++i) {
        const int number = i + 1;
        const std::string line = Trimmed(lines[i].toStdString());
        if (line.empty() || line[0] == ';' || line[0] == '#')
            continue;
        if (line.front() == '[') {
            if (line.back() != ']') {
                scan.errors.push_back({file, number, "a section header ends with ']'"});
                continue;
            }
            group = Trimmed(line.substr(1, line.size() - 2));
            continue;
        }
        const size_t equals = line.find('=');
        if (equals == std::string::npos) {
            scan.errors.push_back({file, number, "not a 'key = value' line"});
            continue;
        }
        const std::string key = Trimmed(line.substr(0, equals));
        if (group.empty()) {
            scan.errors.push_back({file, number, "'" + key + "' stands before any [section]"});
            continue;
        }
        if (!seen.insert(group + "/" + key).second) {
            scan.errors.push_back({file, number, "'" + key + "' is given twice in [" + group + "]"});
            continue;
        }
        scan.keys.push_back({group, key, number});
    }
    return scan;
}

// A value as QSettings reads it (quotes, escapes and comments handled); a
// value with commas comes back as a list and is joined again.
std::string ValueOf(QSettings& settings, const KeyLine& key)
{
    const QVariant value = settings.value(QString::fromStdString(key.group + "/" + key.key));
    if (value.typeId() == QMetaType::QStringList)
        return value.toStringList().join(',').toStdString();
    return value.toString().toStdString();
}

// Each setter returns "" or the reason the value is refused.
using Setter = std::function<std::string(const std::string& value, DaemonConfig& config)>;

std::string Number(const std::string& text, double low, double high, double& out)
{
    bool ok = false;
    const double value = QString::fromStdString(text).trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(value) || value < low || value > high)
        return "'" + text + "' is not a number from " + QString::number(low).toStdString() + " to " +
               QString::number(high).toStdString();
    out = value;
    return {};
}

std::string Whole(const std::string& text, int low, int high, int& out)
{
    bool ok = false;
    const int value = QString::fromStdString(text).trimmed().toInt(&ok);
    if (!ok || value < low || value > high)
        return "'" + text + "' is not a whole number from " + std::to_string(low) + " to " + std::to_string(high);
    out = value;
    return {};
}

std::string Listen(const std::string& text, DaemonConfig& config)
{
    const std::string refused = "'" + text + "' is not ADDRESS:PORT with a numeric address (127.0.0.1:9717, [::1]:9717)";
    const size_t colon = text.rfind(':');
    if (colon == std::string::npos)
        return refused;
    std::string host = text.substr(0, colon);
    if (host.size() >= 2 && host.front() == '[' && host.back() == ']')
        host = host.substr(1, host.size() - 2);
    uint16_t port = 0;
    QHostAddress address;
    if (!ParsePortNumber(text.substr(colon + 1), port) || port == 0 || !address.setAddress(QString::fromStdString(host)))
        return refused;
    config.listenHost = host;
    config.listenPort = port;
    return {};
}

std::string Rotate(const std::string& text, DaemonConfig& config)
{
    if (text == "hourly")
        config.recording.rotate = Rotation::Hourly;
    else if (text == "daily")
        config.recording.rotate = Rotation::Daily;
    else
        return "'" + text + "' is neither hourly nor daily";
    return {};
}

std::string Directory(const std::string& text, DaemonConfig& config)
{
    if (text.empty() || text[0] != '/')
        return "'" + text + "' is not an absolute directory path";
    config.recording.directory = text;
    return {};
}

const std::map<std::string, Setter>& Setters()
{
    static const std::map<std::string, Setter> setters = {
        {"metrics/listen", Listen},
        {"alarms/raise_after",
         [](const std::string& v, DaemonConfig& c) { return Number(v, 0, 86400, c.alarms.raiseAfterS); }},
        {"alarms/clear_after",
         [](const std::string& v, DaemonConfig& c) { return Number(v, 0, 86400, c.alarms.clearAfterS); }},
        {"alarms/no_packet_after",
         [](const std::string& v, DaemonConfig& c) { return Number(v, 0.2, 86400, c.alarms.noPacketAfterS); }},
        {"alarms/min_satellites",
         [](const std::string& v, DaemonConfig& c) { return Whole(v, 0, 32, c.alarms.minSatellites); }},
        {"alarms/max_pdop", [](const std::string& v, DaemonConfig& c) { return Number(v, 0, 1000, c.alarms.maxPdop); }},
        {"recording/directory", Directory},
        {"recording/rotate", Rotate},
        {"recording/keep_days",
         [](const std::string& v, DaemonConfig& c) { return Whole(v, 1, 36500, c.recording.keepDays); }},
    };
    return setters;
}

// "COM3" -> 3; 0 for anything else.
int ComOfKey(const std::string& key)
{
    if (key.rfind("COM", 0) != 0 || key.size() < 4 || key.size() > 5 || key[3] == '0')
        return 0;
    int com = 0;
    for (size_t i = 3; i < key.size(); ++i) {
        if (key[i] < '0' || key[i] > '9')
            return 0;
        com = com * 10 + (key[i] - '0');
    }
    return com <= kMaxCom ? com : 0;
}

std::string Port(const std::string& key, const std::string& path, DaemonConfig& config)
{
    const int com = ComOfKey(key);
    if (com == 0)
        return "unknown key '" + key + "' in [ports]: use COM1 to COM16";
    std::string urlError;
    if (path.empty())
        return "empty device path";
    if (IsNetworkPath(path) && !ParseNetworkUrl(path, &urlError))
        return "'" + path + "': " + urlError;
    if (!IsNetworkPath(path) && path[0] != '/')
        return "'" + path + "' is neither an absolute device path nor tcp:// or rfc2217://";
    for (const auto& [other, otherPath] : config.ports)
        if (otherPath == path)
            return path + " is already given to COM" + std::to_string(other);
    config.ports[com] = path;
    return {};
}

} // namespace

std::string ConfigError::Text() const
{
    return line > 0 ? file + ":" + std::to_string(line) + ": " + reason : file + ": " + reason;
}

std::vector<ConfigError> LoadDaemonConfig(const std::string& file, DaemonConfig& config)
{
    QFile input(QString::fromStdString(file));
    if (!input.open(QIODevice::ReadOnly))
        return {{file, 0, "cannot be read: " + input.errorString().toStdString()}};
    Scan scan = ScanLines(file, input.readAll());
    QSettings settings(QString::fromStdString(file), QSettings::IniFormat);
    if (settings.status() != QSettings::NoError && scan.errors.empty())
        scan.errors.push_back({file, 0, "is not a valid INI file"});
    for (const KeyLine& key : scan.keys) {
        const std::string value = ValueOf(settings, key);
        std::string reason;
        if (key.group == "ports") {
            reason = Port(key.key, value, config);
        } else if (const auto setter = Setters().find(key.group + "/" + key.key); setter != Setters().end()) {
            reason = setter->second(value, config);
        } else {
            const bool knownGroup = key.group == "metrics" || key.group == "alarms" || key.group == "recording";
            reason = knownGroup ? "unknown key '" + key.key + "' in [" + key.group + "]"
                                : "unknown section [" + key.group + "]";
        }
        if (!reason.empty())
            scan.errors.push_back({file, key.line, reason});
    }
    return scan.errors;
}
