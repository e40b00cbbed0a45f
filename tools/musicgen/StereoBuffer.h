#pragma once

#include <cmath>
#include <cstddef>
#include <vector>

namespace musicgen {

constexpr int kSampleRate = 44100;
constexpr double kPi = 3.14159265358979323846;

// Equal-power gains that place a mono signal at position in [-1 (left), 1 (right)].
struct Pan {
    explicit Pan(double position)
        : left(std::cos((position + 1.0) * kPi / 4.0)),
          right(std::sin((position + 1.0) * kPi / 4.0)) {}
    double left;
    double right;
};

// Two channels of floating-point samples that voices and effects add into.
struct StereoBuffer {
    explicit StereoBuffer(std::size_t frames = 0) : left(frames, 0.0f), right(frames, 0.0f) {}

    std::size_t frames() const { return left.size(); }

    void add(std::size_t i, double sample, Pan const& pan) {
        left[i] += static_cast<float>(sample * pan.left);
        right[i] += static_cast<float>(sample * pan.right);
    }

    std::vector<float> left;
    std::vector<float> right;
};

} // namespace musicgen
