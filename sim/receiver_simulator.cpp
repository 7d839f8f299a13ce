#include "sim/receiver_simulator.h"

#include <cmath>
#include <set>

#include "link/framing.h"
#include "link/line_codes.h"

namespace {

constexpr double kMaxCatchUpSeconds = 5;

} // namespace

ReceiverSimulator::ReceiverSimulator(const SimOptions& options)
    : options_(options),
      constellation_(options.seed),
      tracker_(constellation_, options.seed),
      systemData_(options.seed, std::set<int>(options.withoutAlmanac.begin(), options.withoutAlmanac.end()),
                  std::set<int>(options.withoutEphemeris.begin(), options.withoutEphemeris.end())),
      settings_(FactorySettings()),
      saved_(settings_),
      gpsSeconds_(options.startGpsSeconds),
      nextTick_(std::floor(options.startGpsSeconds) + 1),
      restartAt_(options.startGpsSeconds)
{
    Restart(RestartKind::Soft);
}

ReceiverSimulator::~ReceiverSimulator() = default;

bool ReceiverSimulator::HasTime() const
{
    return timeFromUser_ || SinceRestart() >= options_.timeFromSkySeconds;
}

void ReceiverSimulator::Restart(RestartKind kind)
{
    restartAt_ = gpsSeconds_;
    timeFromUser_ = false;
    fix_ = {};
    if (kind != RestartKind::Soft) {
        tracker_.Clear();
        systemData_.EraseEphemeris();
    }
    if (kind == RestartKind::Factory) {
        settings_ = FactorySettings();
        saved_ = settings_;
        systemData_.EraseAll();
        almanacDueAt_ = gpsSeconds_ + options_.almanacCollectSeconds;
    }
    // A receiver coming up announces itself.
    SendVersion();
    SendHealth();
}

void ReceiverSimulator::Receive(const uint8_t* bytes, size_t count)
{
    rx_.Feed(bytes, count, [this](const ScannedPacket& p) {
        Command command;
        if (p.hasStart && ParseCommand(static_cast<uint8_t>(p.id), p.data, p.length, command))
            Handle(command);
    });
}

void ReceiverSimulator::Advance(double seconds)
{
    if (!(seconds > 0) || !std::isfinite(seconds))
        return;
    const double end = gpsSeconds_ + seconds;
    // After a long gap (a suspended host) only the last few seconds are sent:
    // a receiver does not replay hours of reports.
    if (end - nextTick_ > kMaxCatchUpSeconds)
        nextTick_ = std::floor(end) - kMaxCatchUpSeconds + 1;
    while (nextTick_ <= end) {
        gpsSeconds_ = nextTick_;
        nextTick_ += 1;
        SecondTick();
    }
    gpsSeconds_ = end;
}

void ReceiverSimulator::UpdateSky()
{
    const TrackPoint here = TrackAt(options_.track, gpsSeconds_ - options_.startGpsSeconds);
    tracker_.Update(here.position, gpsSeconds_, !HasTime());
    fix_ = SinceRestart() >= options_.firstFixSeconds ? tracker_.SelectFix(settings_.gps) : FixGeometry{};
}

void ReceiverSimulator::SecondTick()
{
    UpdateSky();
    if (fix_.dimension != 0)
        systemData_.CollectEphemeris();
    if (almanacDueAt_ >= 0 && gpsSeconds_ >= almanacDueAt_ && HasTime()) {
        systemData_.CollectAlmanac();
        almanacDueAt_ = -1;
    }
    SendPeriodicReports();
}

std::vector<uint8_t> ReceiverSimulator::TakeOutput()
{
    std::vector<uint8_t> out;
    out.swap(output_);
    return out;
}

int ReceiverSimulator::LineBaud() const
{
    return BaudRate(settings_.serial[0].baudCode);
}

void ReceiverSimulator::Emit(const uint8_t* message, size_t length)
{
    if (length == 0)
        return;
    uint8_t frame[2 * kMaxPacketMessage + 3];
    const size_t n = BuildFrame(message, length, frame);
    output_.insert(output_.end(), frame, frame + n);
}
