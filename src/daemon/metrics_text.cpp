#include "daemon/metrics_text.h"

#include <charconv>
#include <cmath>
#include <functional>
#include <optional>

#include "describe/timing_words.h"

namespace {

// Label values escape backslash, double quote and line feed.
void AppendEscaped(std::string& out, const std::string& value)
{
    for (const char c : value) {
        if (c == '\\' || c == '"')
            out += '\\';
        if (c == '\n') {
            out += "\\n";
            continue;
        }
        out += c;
    }
}

void AppendNumber(std::string& out, double value)
{
    if (std::isnan(value)) {
        out += "NaN";
        return;
    }
    if (std::isinf(value)) {
        out += value > 0 ? "+Inf" : "-Inf";
        return;
    }
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    out.append(buffer, result.ptr);
}

struct Label {
    const char* name;
    std::string value;
};

class Page {
public:
    explicit Page(const std::vector<PortMetrics>& ports) : ports_(ports) { text_.reserve(64 * 1024); }

    void Family(const char* name, const char* type, const char* help)
    {
        name_ = name;
        text_ += "# HELP ";
        text_ += name;
        text_ += ' ';
        text_ += help;
        text_ += "\n# TYPE ";
        text_ += name;
        text_ += ' ';
        text_ += type;
        text_ += '\n';
    }

    void Sample(const PortMetrics& port, std::initializer_list<Label> extra, double value)
    {
        text_ += name_;
        text_ += "{port=\"";
        AppendEscaped(text_, port.receiver.port);
        text_ += "\",device=\"";
        AppendEscaped(text_, port.receiver.device);
        text_ += '"';
        for (const Label& label : extra) {
            text_ += ',';
            text_ += label.name;
            text_ += "=\"";
            AppendEscaped(text_, label.value);
            text_ += '"';
        }
        text_ += "} ";
        AppendNumber(text_, value);
        text_ += '\n';
    }

    // One sample per port that has the value.
    template <class Value>
    void PerPort(const char* name, const char* type, const char* help,
                 const std::function<std::optional<Value>(const ReceiverSnapshot&)>& of)
    {
        Family(name, type, help);
        for (const PortMetrics& port : ports_)
            if (const std::optional<Value> value = of(port.receiver))
                Sample(port, {}, static_cast<double>(*value));
    }

    void Raw(const std::string& text) { text_ += text; }
    std::string Take() { return std::move(text_); }

private:
    const std::vector<PortMetrics>& ports_;
    std::string text_;
    const char* name_ = "";
};

using Snap = const ReceiverSnapshot&;

void ReceiverFamilies(Page& page)
{
    page.PerPort<double>("jx_receiver_up", "gauge", "1 while the port's device is open, 0 while it is lost.",
                         [](Snap s) { return s.open ? 1.0 : 0.0; });
    page.PerPort<double>("jx_receiver_last_packet_age_seconds", "gauge", "Seconds since the port's last packet.",
                         [](Snap s) { return s.lastPacketAgeS; });
    page.PerPort<uint64_t>("jx_receiver_packets_total", "counter", "Packets received on the port.",
                           [](Snap s) { return s.packets; });
    page.PerPort<uint64_t>("jx_receiver_bytes_total", "counter", "Bytes read from the port's device.",
                           [](Snap s) { return s.bytes; });
    page.PerPort<uint64_t>("jx_receiver_reconnects_total", "counter", "Times the lost device was opened again.",
                           [](Snap s) { return s.reconnects; });
    page.PerPort<int>("jx_receiver_fix_dimension", "gauge",
                      "Dimension of the receiver's fix (0 to 3; 4: time at a held position).",
                      [](Snap s) { return s.fixDimension; });
    page.PerPort<int>("jx_receiver_satellites_used", "gauge", "Satellites in the receiver's fix.",
                      [](Snap s) { return s.satellitesUsed; });
    page.PerPort<int>("jx_receiver_gps_week", "gauge", "GPS week number the receiver reported.",
                      [](Snap s) { return s.gpsWeek; });
    page.PerPort<double>("jx_receiver_time_of_week_seconds", "gauge", "GPS time of week the receiver reported.",
                         [](Snap s) { return s.timeOfWeekS; });
    page.PerPort<double>("jx_receiver_latitude_degrees", "gauge", "Latitude of the last fix (WGS-84).",
                         [](Snap s) { return s.latitudeDeg; });
    page.PerPort<double>("jx_receiver_longitude_degrees", "gauge", "Longitude of the last fix (WGS-84).",
                         [](Snap s) { return s.longitudeDeg; });
    page.PerPort<double>("jx_receiver_altitude_meters", "gauge", "Height of the last fix above the WGS-84 ellipsoid.",
                         [](Snap s) { return s.altitudeM; });
    page.PerPort<double>("jx_receiver_clock_bias_seconds", "gauge", "Receiver clock bias of the last fix.",
                         [](Snap s) { return s.clockBiasS; });
    page.PerPort<double>("jx_receiver_clock_drift_ppb", "gauge", "Receiver clock drift (bias rate) in parts per billion.",
                         [](Snap s) { return s.clockDriftPpb; });
}

// A timing value of ports that sent a timing status.
std::function<std::optional<double>(Snap)> TimingValue(double TimingSnapshot::*member)
{
    return [member](Snap s) { return s.timing ? std::optional<double>((*s.timing).*member) : std::nullopt; };
}

void TimingFamilies(Page& page)
{
    page.PerPort<int>("jx_receiver_timing_receiver_mode", "gauge", "Timing receiver mode code (0x8F-AC).",
                      [](Snap s) { return s.timing ? std::optional<int>(s.timing->receiverMode) : std::nullopt; });
    page.PerPort<int>("jx_receiver_disciplining_mode", "gauge", "Oscillator disciplining mode code (0x8F-AC).",
                      [](Snap s) { return s.timing ? std::optional<int>(s.timing->discipliningMode) : std::nullopt; });
    struct Family {
        const char* name;
        const char* help;
        double TimingSnapshot::*member;
    };
    static const Family kFamilies[] = {
        {"jx_receiver_self_survey_percent", "Self-survey progress of a timing receiver.",
         &TimingSnapshot::surveyProgressPercent},
        {"jx_receiver_holdover_seconds", "Time the timing receiver has been in holdover.", &TimingSnapshot::holdoverS},
        {"jx_receiver_pps_offset_seconds", "Offset of the receiver's PPS from GPS time.", &TimingSnapshot::ppsOffsetS},
        {"jx_receiver_oscillator_offset_ppb", "Frequency offset of the disciplined oscillator in parts per billion.",
         &TimingSnapshot::oscillatorOffsetPpb},
        {"jx_receiver_dac_value", "Oscillator control DAC value.", &TimingSnapshot::dacValue},
        {"jx_receiver_dac_volts", "Oscillator control voltage.", &TimingSnapshot::dacVolts},
        {"jx_receiver_temperature_celsius", "Temperature the timing receiver reports.", &TimingSnapshot::temperatureC},
        {"jx_receiver_pps_quantisation_error_seconds", "Quantisation error of the receiver's next PPS.",
         &TimingSnapshot::ppsQuantisationS},
    };
    for (const Family& family : kFamilies)
        page.PerPort<double>(family.name, "gauge", family.help, TimingValue(family.member));
}

// One sample per alarm bit of a timing receiver: the bits with a meaning
// always (0 or 1, so a cleared alarm stays visible), the others while set.
void TimingAlarmFamily(Page& page, const std::vector<PortMetrics>& ports)
{
    page.Family("jx_receiver_timing_alarm", "gauge", "1 while the timing receiver reports the alarm.");
    for (const PortMetrics& port : ports) {
        const std::optional<TimingSnapshot>& t = port.receiver.timing;
        if (!t)
            continue;
        struct Severity {
            const char* name;
            uint16_t bits;
            std::vector<std::string> (*words)(uint16_t);
        };
        const Severity severities[] = {{"critical", t->criticalAlarms, &CriticalAlarmWords},
                                       {"minor", t->minorAlarms, &MinorAlarmWords}};
        for (const auto& [severity, bits, words] : severities)
            for (int bit = 0; bit < 16; ++bit) {
                const uint16_t mask = static_cast<uint16_t>(1u << bit);
                const std::string word = words(mask).front();
                const bool set = (bits & mask) != 0;
                if (set || word.rfind("bit ", 0) != 0)
                    page.Sample(port, {{"severity", severity}, {"alarm", word}}, set ? 1 : 0);
            }
    }
}

void DopFamily(Page& page, const std::vector<PortMetrics>& ports)
{
    page.Family("jx_receiver_dop", "gauge", "Dilution of precision of the receiver's fix, by type.");
    for (const PortMetrics& port : ports) {
        const ReceiverSnapshot& s = port.receiver;
        const std::pair<const char*, std::optional<double>> dops[] = {
            {"pdop", s.pdop}, {"hdop", s.hdop}, {"vdop", s.vdop}, {"tdop", s.tdop}};
        for (const auto& [type, value] : dops)
            if (value)
                page.Sample(port, {{"type", type}}, *value);
    }
}

void ChannelFamilies(Page& page, const std::vector<PortMetrics>& ports)
{
    struct ChannelFamily {
        const char* name;
        const char* help;
        double (*value)(const ChannelSnapshot&);
    };
    static const ChannelFamily kFamilies[] = {
        {"jx_channel_signal_level", "Signal level of the satellite a channel tracks (receiver units).",
         [](const ChannelSnapshot& c) { return c.signalLevel; }},
        {"jx_channel_elevation_degrees", "Elevation of the satellite a channel tracks.",
         [](const ChannelSnapshot& c) { return c.elevationDeg; }},
        {"jx_channel_azimuth_degrees", "Azimuth of the satellite a channel tracks.",
         [](const ChannelSnapshot& c) { return c.azimuthDeg; }},
        {"jx_channel_used", "1 when the satellite a channel tracks is in the fix.",
         [](const ChannelSnapshot& c) { return c.used ? 1.0 : 0.0; }},
    };
    for (const ChannelFamily& family : kFamilies) {
        page.Family(family.name, "gauge", family.help);
        for (const PortMetrics& port : ports)
            for (const ChannelSnapshot& channel : port.receiver.channels)
                page.Sample(port, {{"prn", std::to_string(channel.prn)}}, family.value(channel));
    }
}

void AlarmFamilies(Page& page, const std::vector<PortMetrics>& ports)
{
    page.Family("jx_alarm_active", "gauge", "1 while the port's alarm is raised.");
    for (const PortMetrics& port : ports)
        for (int i = 0; i < kAlarmKinds; ++i)
            page.Sample(port, {{"alarm", AlarmName(static_cast<AlarmKind>(i))}},
                        port.alarms[static_cast<size_t>(i)].active ? 1 : 0);
    page.Family("jx_alarm_transitions_total", "counter", "Raises and clears of the port's alarm.");
    for (const PortMetrics& port : ports)
        for (int i = 0; i < kAlarmKinds; ++i)
            page.Sample(port, {{"alarm", AlarmName(static_cast<AlarmKind>(i))}},
                        static_cast<double>(port.alarms[static_cast<size_t>(i)].transitions));
}

} // namespace

std::string MetricsText(const std::vector<PortMetrics>& ports, const std::string& version)
{
    Page page(ports);
    ReceiverFamilies(page);
    DopFamily(page, ports);
    TimingFamilies(page);
    TimingAlarmFamily(page, ports);
    ChannelFamilies(page, ports);
    AlarmFamilies(page, ports);
    std::string build = "# HELP jx_monitord_build_info The daemon's version; always 1.\n"
                        "# TYPE jx_monitord_build_info gauge\n"
                        "jx_monitord_build_info{version=\"";
    AppendEscaped(build, version);
    build += "\"} 1\n";
    page.Raw(build);
    return page.Take();
}
