#pragma once

#include <cstdint>

namespace contentgen {

// Tileable value noise and its fractal sums, fixed by a seed: the same seed
// and coordinates give the same values on every machine.
class Noise {
public:
    explicit Noise(std::uint32_t seed) : seed(seed) {}

    // A hash of integer coordinates in [0, 1).
    float Hash(int x, int y, int salt = 0) const;
    // Smooth value noise in [0, 1) over a lattice that repeats every period
    // cells in x and y.
    float Value(float x, float y, int period) const;
    // Octaves of value noise, each of twice the frequency and half the
    // amplitude, normalised to [0, 1); u and v in [0, 1) tile.
    float Fractal(float u, float v, int basePeriod, int octaves) const;

private:
    std::uint32_t seed;
};

} // namespace contentgen
