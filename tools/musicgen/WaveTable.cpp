#include <algorithm>
#include <cmath>
#include <musicgen/StereoBuffer.h>
#include <musicgen/WaveTable.h>

namespace musicgen {

WaveTable::WaveTable(std::vector<double> const& harmonics) : samples(kSize + 1, 0.0f) {
    std::vector<double> cycle(kSize, 0.0);
    for (std::size_t k = 0; k < harmonics.size(); ++k)
        for (int i = 0; i < kSize; ++i)
            cycle[i] += harmonics[k] * std::sin(2.0 * kPi * static_cast<double>(k + 1) * i / kSize);
    double peak = 0.0;
    for (double const v : cycle)
        peak = std::max(peak, std::abs(v));
    for (int i = 0; i < kSize; ++i)
        samples[i] = static_cast<float>(peak > 0.0 ? cycle[i] / peak : 0.0);
    // A guard sample lets the interpolation read one past the end.
    samples[kSize] = samples[0];
}

} // namespace musicgen
