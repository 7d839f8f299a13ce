#include "config/settings_captions.h"

#include "config/config_notifier.h"
#include "config/datum_names.h"
#include "link/port_table.h"
#include "model/port_settings.h"
#include "notify/receiver_notifier.h"

namespace {

using namespace IoOptionBits;

void AnnounceOptions(const IoOptionsRecord& options)
{
    ConfigNotifier& config = ConfigEvents();
    if (!(options.position & kLla))
        emit config.altitudeReferenceChanged(QString(), QString());
    else if (options.position & kMslOut)
        emit config.altitudeReferenceChanged("MSL", "Mean Sea Level (geoid)");
    else
        emit config.altitudeReferenceChanged("HAE", "Height Above Ellipsoid (datum)");
    emit config.timeModeChanged((options.timing & kUtc) ? "UTC" : "GPS");
}

// A number beyond the list names no datum.
void AnnounceDatum(int datum)
{
    emit ConfigEvents().datumChanged(datum < kDatumCount ? DatumNames[static_cast<size_t>(datum)] : "");
}

void Announce(int slot, SettingsKind kind)
{
    if (slot + 1 != DisplayPort)
        return;
    const PortSettingsRecord& settings = PortSettings[static_cast<size_t>(slot)];
    if (kind == SettingsKind::IoOptions)
        AnnounceOptions(settings.ioOptions.value);
    else if (kind == SettingsKind::Datum)
        AnnounceDatum(settings.datum.value.datumIndex);
}

} // namespace

void AnnounceSettingsCaptions()
{
    static const bool connected = [] {
        QObject::connect(&Receivers(), &ReceiverNotifier::settingsChanged, &ConfigEvents(), &Announce);
        return true;
    }();
    (void)connected;
}
