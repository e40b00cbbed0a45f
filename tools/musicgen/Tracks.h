#pragma once

#include <cstdint>
#include <musicgen/StereoBuffer.h>

namespace musicgen {

// The demo's two tracks: 1 for the flight through the floating ruins (D
// minor, 72 bpm), 2 for the dim stone hall (A minor, 56 bpm).
constexpr int kTrackCount = 2;

// Renders track number (1 or 2) from seed, cut to maxSeconds when that is
// positive and shorter than the track (it still fades out at its end).
StereoBuffer renderTrack(int number, std::uint64_t seed, double maxSeconds);

} // namespace musicgen
