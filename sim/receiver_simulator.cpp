#include "sim/receiver_simulator.h"

#include <cmath>
#include <set>

#include "link/framing.h"
#include "link/line_codes.h"

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
      restartAt_(options.startGpsSeconds),
      rx_(std::make_unique<PortRecord>())
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
    PortRecord& rx = *rx_;
    while (count > 0) {
        const size_t chunk = std::min(count, static_cast<size_t>(kReadBufferSize));
        std::copy(bytes, bytes + chunk, rx.readBuffer);
        rx.readPos = 0;
        rx.bytesLeft = static_cast<uint32_t>(chunk);
        while (rx.bytesLeft > 0) {
            Command command;
            if (ParseRxByte(rx) && ParseCommand(static_cast<uint8_t>(rx.id), rx.data, rx.length, command))
                Handle(command);
        }
        bytes += chunk;
        count -= chunk;
    }
}

void ReceiverSimulator::Advance(double seconds)
{
    if (!(seconds > 0))
        return;
    const double end = gpsSeconds_ + seconds;
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
