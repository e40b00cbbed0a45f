#pragma once

#include <cstdint>

namespace musicgen {

// A small seeded generator (SplitMix64) whose sequence is the same on every
// platform and library, so that a seed always gives the same music.
class Random {
public:
    explicit Random(std::uint64_t seed) : state(seed) {}

    std::uint64_t next() {
        std::uint64_t z = (state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    // Uniform in [0, 1).
    double uniform() { return static_cast<double>(next() >> 11) * 0x1.0p-53; }
    double uniform(double low, double high) { return low + (high - low) * uniform(); }
    // Uniform in [0, count).
    int index(int count) { return static_cast<int>(uniform() * count); }
    bool chance(double probability) { return uniform() < probability; }

private:
    std::uint64_t state;
};

} // namespace musicgen
