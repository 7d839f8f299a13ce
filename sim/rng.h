// A small seeded generator whose sequence is the same on every platform, so
// a simulated receiver with a given seed always behaves the same.
#pragma once

#include <cstdint>

class SimRandom {
public:
    explicit SimRandom(uint64_t seed) : state_(seed) {}

    uint64_t Next()
    {
        uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }

    // Uniform in [0, 1).
    double Unit() { return static_cast<double>(Next() >> 11) * (1.0 / 9007199254740992.0); }
    double Between(double lo, double hi) { return lo + (hi - lo) * Unit(); }

private:
    uint64_t state_;
};
