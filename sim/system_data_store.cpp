#include "sim/system_data_store.h"

#include "sim/rng.h"

namespace {

constexpr int kMaxSv = 32;

bool PerSatellite(uint8_t type) { return type == kAlmanacRaw || type == kAlmanac || type == kEphemeris; }

} // namespace

size_t SystemDataLength(uint8_t type)
{
    switch (type) {
    case kAlmanacRaw: // the raw form is kept in the same page as the almanac
    case kAlmanac: return 39;
    case kHealthPage: return 39;
    case kIonosphere: return 39;
    case kUtcData: return 26;
    case kEphemeris: return 165;
    default: return 0;
    }
}

SystemDataStore::SystemDataStore(uint64_t seed, std::set<int> withoutAlmanac, std::set<int> withoutEphemeris)
    : seed_(seed), withoutAlmanac_(std::move(withoutAlmanac)), withoutEphemeris_(std::move(withoutEphemeris))
{
    CollectAlmanac();
}

SystemDataStore::Block SystemDataStore::Generated(uint8_t type, uint8_t sv) const
{
    SimRandom random(seed_ * 1000003u + static_cast<uint64_t>(type) * 257u + sv);
    Block block(SystemDataLength(type));
    for (uint8_t& b : block)
        b = static_cast<uint8_t>(random.Next());
    if (!block.empty() && PerSatellite(type))
        block[0] = sv; // the satellite's own number leads its page
    return block;
}

void SystemDataStore::CollectAlmanac()
{
    for (int sv = 1; sv <= kMaxSv; ++sv)
        if (!almanac_[static_cast<size_t>(sv)] && !withoutAlmanac_.count(sv))
            almanac_[static_cast<size_t>(sv)] = Generated(kAlmanac, static_cast<uint8_t>(sv));
    for (uint8_t type = kHealthPage; type <= kUtcData; ++type)
        if (!global_[type - kHealthPage])
            global_[type - kHealthPage] = Generated(type, 0);
}

void SystemDataStore::CollectEphemeris()
{
    for (int sv = 1; sv <= kMaxSv; ++sv)
        if (!ephemeris_[static_cast<size_t>(sv)] && !withoutEphemeris_.count(sv))
            ephemeris_[static_cast<size_t>(sv)] = Generated(kEphemeris, static_cast<uint8_t>(sv));
}

void SystemDataStore::EraseEphemeris() { ephemeris_ = {}; }

void SystemDataStore::EraseAll()
{
    ephemeris_ = {};
    almanac_ = {};
    global_ = {};
}

bool SystemDataStore::AlmanacComplete() const
{
    for (int sv = 1; sv <= kMaxSv; ++sv)
        if (!almanac_[static_cast<size_t>(sv)] && !withoutAlmanac_.count(sv))
            return false;
    return global_[0].has_value();
}

bool SystemDataStore::HasEphemeris(int prn) const
{
    return prn >= 1 && prn <= kMaxSv && ephemeris_[static_cast<size_t>(prn)].has_value();
}

std::optional<SystemDataStore::Block> SystemDataStore::Find(uint8_t type, uint8_t sv) const
{
    if (PerSatellite(type)) {
        if (sv < 1 || sv > kMaxSv)
            return std::nullopt;
        return type == kEphemeris ? ephemeris_[sv] : almanac_[sv];
    }
    if (type >= kHealthPage && type <= kUtcData && sv == 0)
        return global_[type - kHealthPage];
    return std::nullopt;
}

bool SystemDataStore::Load(uint8_t type, uint8_t sv, const uint8_t* data, size_t length)
{
    if (SystemDataLength(type) == 0 || length != SystemDataLength(type))
        return false;
    Block block(data, data + length);
    if (PerSatellite(type)) {
        if (sv < 1 || sv > kMaxSv)
            return false;
        (type == kEphemeris ? ephemeris_ : almanac_)[sv] = std::move(block);
        return true;
    }
    if (sv != 0)
        return false;
    global_[type - kHealthPage] = std::move(block);
    return true;
}
