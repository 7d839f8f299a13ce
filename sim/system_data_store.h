// The receiver's system data (almanac, health page, ionosphere, UTC data,
// ephemeris) as opaque byte blocks by type and satellite, which the almanac
// and ephemeris transfers read and load.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <set>
#include <vector>

enum SystemDataType : uint8_t {
    kAlmanacRaw = 1,
    kAlmanac = 2,
    kHealthPage = 3,
    kIonosphere = 4,
    kUtcData = 5,
    kEphemeris = 6,
};

class SystemDataStore {
public:
    using Block = std::vector<uint8_t>;

    SystemDataStore(uint64_t seed, std::set<int> withoutAlmanac, std::set<int> withoutEphemeris);

    // The block a request for (type, sv) answers with, if the receiver has it.
    std::optional<Block> Find(uint8_t type, uint8_t sv) const;
    // Takes a loaded block; false when the receiver refuses it.
    bool Load(uint8_t type, uint8_t sv, const uint8_t* data, size_t length);

    // What the receiver has collected from the sky.
    void CollectAlmanac();
    void CollectEphemeris();
    void EraseEphemeris();
    void EraseAll();
    bool AlmanacComplete() const;
    bool HasEphemeris(int prn) const;

private:
    Block Generated(uint8_t type, uint8_t sv) const;

    uint64_t seed_;
    std::set<int> withoutAlmanac_;
    std::set<int> withoutEphemeris_;
    std::array<std::optional<Block>, 33> almanac_{};   // index sv; 0 unused
    std::array<std::optional<Block>, 33> ephemeris_{};
    std::array<std::optional<Block>, 3> global_{};     // health page, ionosphere, UTC
};

// Data length of a block of the type, as the receiver sends and accepts it.
size_t SystemDataLength(uint8_t type);
