#include <AudioAnalysis.h>
#include <algorithm>
#include <cmath>
#include <fstream>
#include <iterator>
#include <sndfile.h>

namespace {

constexpr double kPi = 3.14159265358979323846;

// The frame range [first, end) of [begin, end) seconds.
std::pair<std::size_t, std::size_t> range(Audio const& audio, double begin, double end) {
    double const length = audio.seconds();
    auto toFrame = [&](double t) {
        double const s = std::clamp(t < 0.0 ? length + t : t, 0.0, length);
        return static_cast<std::size_t>(s * audio.sampleRate);
    };
    return {toFrame(begin), toFrame(end)};
}

std::vector<double> mono(Audio const& audio, std::size_t first, std::size_t end) {
    std::vector<double> result;
    for (std::size_t i = first; i < end; ++i) {
        double sum = 0.0;
        for (int c = 0; c < audio.channels; ++c)
            sum += audio.samples[i * audio.channels + c];
        result.push_back(sum / audio.channels);
    }
    return result;
}

} // namespace

Audio readAudio(std::string const& path) {
    Audio audio;
    SF_INFO info{};
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    if (!file)
        return audio;
    audio.samples.resize(static_cast<std::size_t>(info.frames * info.channels));
    sf_count_t const read = sf_readf_float(file, audio.samples.data(), info.frames);
    sf_close(file);
    if (read != info.frames)
        return Audio{};
    audio.sampleRate = info.samplerate;
    audio.channels = info.channels;
    audio.format = info.format;
    return audio;
}

double peak(Audio const& audio, double begin, double end) {
    auto const [first, last] = range(audio, begin, end);
    double result = 0.0;
    for (std::size_t i = first * audio.channels; i < last * audio.channels; ++i)
        result = std::max(result, std::abs(double(audio.samples[i])));
    return result;
}

double rms(Audio const& audio, double begin, double end) {
    auto const [first, last] = range(audio, begin, end);
    double sum = 0.0;
    for (std::size_t i = first * audio.channels; i < last * audio.channels; ++i)
        sum += double(audio.samples[i]) * audio.samples[i];
    return last > first ? std::sqrt(sum / double((last - first) * audio.channels)) : 0.0;
}

double largestThirdDifference(Audio const& audio) {
    std::vector<float> const& x = audio.samples;
    std::size_t const c = audio.channels;
    double result = 0.0;
    for (std::size_t i = 3 * c; i < x.size(); ++i)
        result = std::max(result, std::abs(double(x[i]) - 3.0 * x[i - c] + 3.0 * x[i - 2 * c] -
                                           double(x[i - 3 * c])));
    return result;
}

double bandRms(Audio const& audio, double hz, bool lowPass) {
    // A Butterworth biquad (Q = 1/sqrt(2)) from the bilinear transform.
    double const w = 2.0 * kPi * hz / audio.sampleRate;
    double const alpha = std::sin(w) / std::sqrt(2.0);
    double const c = std::cos(w);
    double const b1 = lowPass ? 1.0 - c : -(1.0 + c);
    double const b0 = lowPass ? b1 / 2.0 : -b1 / 2.0;
    double const a0 = 1.0 + alpha, a1 = -2.0 * c, a2 = 1.0 - alpha;
    std::vector<double> const x = mono(audio, 0, audio.frames());
    double x1 = 0.0, x2 = 0.0, y1 = 0.0, y2 = 0.0, sum = 0.0;
    for (double const in : x) {
        double const y = (b0 * in + b1 * x1 + b0 * x2 - a1 * y1 - a2 * y2) / a0;
        x2 = x1, x1 = in, y2 = y1, y1 = y;
        sum += y * y;
    }
    return x.empty() ? 0.0 : std::sqrt(sum / double(x.size()));
}

std::array<double, 12> chroma(Audio const& audio, double begin, double end) {
    auto const [first, last] = range(audio, begin, end);
    std::vector<double> const x = mono(audio, first, last);
    std::array<double, 12> result{};
    for (int pitch = 36; pitch < 84; ++pitch) {
        // Goertzel's recurrence gives the power at one frequency.
        double const hz = 440.0 * std::pow(2.0, (pitch - 69) / 12.0);
        double const k = 2.0 * std::cos(2.0 * kPi * hz / audio.sampleRate);
        double s1 = 0.0, s2 = 0.0;
        for (double const in : x) {
            double const s = in + k * s1 - s2;
            s2 = s1, s1 = s;
        }
        result[pitch % 12] += s1 * s1 + s2 * s2 - k * s1 * s2;
    }
    return result;
}

std::vector<unsigned char> readBytes(std::string const& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}
