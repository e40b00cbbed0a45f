#include <algorithm>
#include <cmath>
#include <musicgen/Mastering.h>

namespace musicgen {

Levels measure(StereoBuffer const& mix) {
    Levels levels;
    double sum = 0.0;
    for (std::size_t i = 0; i < mix.frames(); ++i) {
        for (float const sample : {mix.left[i], mix.right[i]}) {
            sum += static_cast<double>(sample) * sample;
            levels.peak = std::max(levels.peak, std::abs(static_cast<double>(sample)));
        }
    }
    if (mix.frames() > 0)
        levels.rms = std::sqrt(sum / (2.0 * static_cast<double>(mix.frames())));
    return levels;
}

void fadeEnds(StereoBuffer& mix, double fadeIn, double fadeOut) {
    std::size_t const frames = mix.frames();
    auto const inFrames = std::min(frames, static_cast<std::size_t>(fadeIn * kSampleRate) + 1);
    auto const outFrames = std::min(frames, static_cast<std::size_t>(fadeOut * kSampleRate) + 1);
    for (std::size_t i = 0; i < inFrames; ++i) {
        double const gain = 0.5 - 0.5 * std::cos(kPi * static_cast<double>(i) / inFrames);
        mix.left[i] *= static_cast<float>(gain);
        mix.right[i] *= static_cast<float>(gain);
    }
    for (std::size_t k = 0; k < outFrames; ++k) {
        // k counts back from the last frame, which gets a gain of 0.
        std::size_t const i = frames - 1 - k;
        double const gain = 0.5 - 0.5 * std::cos(kPi * static_cast<double>(k) / outFrames);
        mix.left[i] *= static_cast<float>(gain);
        mix.right[i] *= static_cast<float>(gain);
    }
}

Levels normalise(StereoBuffer& mix, double targetRms, double peakCeiling) {
    Levels const before = measure(mix);
    if (before.rms <= 0.0)
        return before;
    double const gain = std::min(targetRms / before.rms, peakCeiling / before.peak);
    for (std::size_t i = 0; i < mix.frames(); ++i) {
        mix.left[i] *= static_cast<float>(gain);
        mix.right[i] *= static_cast<float>(gain);
    }
    return {before.rms * gain, before.peak * gain};
}

} // namespace musicgen
