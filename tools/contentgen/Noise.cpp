#include "Noise.h"

#include <cmath>

namespace contentgen {

float Noise::Hash(int x, int y, int salt) const {
    std::uint32_t h = seed * 0x9E3779B1u;
    h ^= static_cast<std::uint32_t>(x) * 0x85EBCA77u;
    h = (h << 13) | (h >> 19);
    h ^= static_cast<std::uint32_t>(y) * 0xC2B2AE3Du;
    h ^= static_cast<std::uint32_t>(salt) * 0x27D4EB2Fu;
    h ^= h >> 15;
    h *= 0x2C1B3C6Du;
    h ^= h >> 12;
    h *= 0x297A2D39u;
    h ^= h >> 15;
    return static_cast<float>(h >> 8) / 16777216.0f;
}

float Noise::Value(float x, float y, int period) const {
    float const fx = std::floor(x);
    float const fy = std::floor(y);
    int const x0 = static_cast<int>(fx);
    int const y0 = static_cast<int>(fy);
    auto wrap = [period](int i) { return ((i % period) + period) % period; };
    float const tx = x - fx;
    float const ty = y - fy;
    float const sx = tx * tx * (3.0f - 2.0f * tx);
    float const sy = ty * ty * (3.0f - 2.0f * ty);
    float const a = Hash(wrap(x0), wrap(y0));
    float const b = Hash(wrap(x0 + 1), wrap(y0));
    float const c = Hash(wrap(x0), wrap(y0 + 1));
    float const d = Hash(wrap(x0 + 1), wrap(y0 + 1));
    return (a + (b - a) * sx) + ((c + (d - c) * sx) - (a + (b - a) * sx)) * sy;
}

float Noise::Fractal(float u, float v, int basePeriod, int octaves) const {
    float sum = 0.0f;
    float amplitude = 1.0f;
    float total = 0.0f;
    int period = basePeriod;
    for (int i = 0; i < octaves; ++i) {
        sum += amplitude *
               Value(u * static_cast<float>(period), v * static_cast<float>(period), period);
        total += amplitude;
        amplitude *= 0.5f;
        period *= 2;
    }
    return sum / total;
}

} // namespace contentgen
