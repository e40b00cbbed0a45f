#pragma once

#include <musicgen/StereoBuffer.h>

namespace musicgen {

// The loudness figures of a mix, as linear amplitudes (1 is full scale).
struct Levels {
    double rms = 0.0;
    double peak = 0.0;
};

Levels measure(StereoBuffer const& mix);

// Raised-cosine fades over the first fadeIn and the last fadeOut seconds; the
// first and last samples become exactly zero.
void fadeEnds(StereoBuffer& mix, double fadeIn, double fadeOut);

// Scales the mix to targetRms, or lower where that would put a peak above
// peakCeiling. Returns the levels after scaling.
Levels normalise(StereoBuffer& mix, double targetRms, double peakCeiling);

} // namespace musicgen
