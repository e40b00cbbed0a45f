#pragma once

#include <vector>

namespace musicgen {

// One cycle of a periodic waveform built from harmonic amplitudes and read
// with linear interpolation: a cheap band-limited oscillator.
class WaveTable {
public:
    // harmonics[k] is the amplitude of harmonic k + 1; the cycle is scaled to
    // a peak of 1.
    explicit WaveTable(std::vector<double> const& harmonics);

    // The waveform at phase in cycles (any real number).
    float at(double phase) const;

private:
    static constexpr int kSize = 4096;
    std::vector<float> samples;
};

} // namespace musicgen
