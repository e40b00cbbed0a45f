#pragma once

#include <algorithm>
#include <vector>

namespace musicgen {

// One cycle of a periodic waveform built from harmonic amplitudes and read
// with linear interpolation: a cheap band-limited oscillator.
class WaveTable {
public:
    // harmonics[k] is the amplitude of harmonic k + 1; the cycle is scaled to
    // a peak of 1.
    explicit WaveTable(std::vector<double> const& harmonics);

    // The waveform at phase in cycles (any real number). Inline: voices call
    // it for every sample.
    float at(double phase) const {
        double fraction = phase - static_cast<double>(static_cast<long long>(phase));
        if (fraction < 0.0)
            fraction += 1.0;
        double const position = fraction * kSize;
        int const i = std::min(static_cast<int>(position), kSize - 1);
        float const weight = static_cast<float>(position - i);
        return samples[i] + (samples[i + 1] - samples[i]) * weight;
    }

private:
    static constexpr int kSize = 4096;
    std::vector<float> samples;
};

} // namespace musicgen
