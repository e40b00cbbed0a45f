#include "SoundTestSupport.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <gtest/gtest.h>
#include <stdexcept>
#include <thread>
#include <unistd.h>

namespace SoundTestSupport {

std::vector<float> tone(float amplitude, float seconds, float hz) {
    const std::size_t frames = static_cast<std::size_t>(seconds * kRate);
    std::vector<float> samples(frames);
    const double step = 2.0 * M_PI * hz / kRate;
    for (std::size_t i = 0; i < frames; ++i) {
        samples[i] = static_cast<float>(amplitude * std::sin(step * static_cast<double>(i)));
    }
    return samples;
}

void writeWav(std::string const& path, std::vector<float> const& samples, int channels,
              int subtype) {
    SF_INFO info{};
    info.samplerate = kRate;
    info.channels = channels;
    info.format = SF_FORMAT_WAV | subtype;
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    if (!file) {
        throw std::runtime_error("cannot write " + path + ": " + sf_strerror(nullptr));
    }
    const sf_count_t frames = static_cast<sf_count_t>(samples.size() / channels);
    const sf_count_t written = sf_writef_float(file, samples.data(), frames);
    sf_close(file);
    if (written != frames) {
        throw std::runtime_error("short write to " + path);
    }
}

Recording readWav(std::string const& path) {
    SF_INFO info{};
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    Recording recording;
    if (!file) {
        return recording;
    }
    recording.channels = info.channels;
    recording.rate = info.samplerate;
    recording.samples.resize(static_cast<std::size_t>(info.frames * info.channels));
    const sf_count_t read = sf_readf_float(file, recording.samples.data(), info.frames);
    recording.samples.resize(static_cast<std::size_t>(read * info.channels));
    sf_close(file);
    return recording;
}

float Recording::rms(int channel, std::size_t first, std::size_t last) const {
    last = std::min(last, frames());
    if (first >= last) {
        return 0.0f;
    }
    double sum = 0.0;
    for (std::size_t f = first; f < last; ++f) {
        const double s = samples[f * channels + channel];
        sum += s * s;
    }
    return static_cast<float>(std::sqrt(sum / static_cast<double>(last - first)));
}

float Recording::peak(std::size_t first, std::size_t last) const {
    last = std::min(last, frames());
    float result = 0.0f;
    for (std::size_t i = first * channels; i < last * channels; ++i) {
        result = std::max(result, std::fabs(samples[i]));
    }
    return result;
}

std::vector<Stretch> soundingStretches(Recording const& recording, float threshold) {
    const std::size_t window = static_cast<std::size_t>(recording.rate / 100);
    std::vector<Stretch> runs;
    bool on = false;
    for (std::size_t first = 0; window && first < recording.frames(); first += window) {
        const std::size_t last = std::min(first + window, recording.frames());
        const bool sounding = recording.peak(first, last) > threshold;
        if (sounding && !on) {
            runs.push_back({first, last});
        } else if (sounding) {
            runs.back().last = last;
        }
        on = sounding;
    }
    return runs;
}

TempFile::TempFile(std::string const& name)
    : filePath(::testing::TempDir() + "sound-" + std::to_string(getpid()) + "-" + name) {}

TempFile::~TempFile() {
    std::remove(filePath.c_str());
}

void useDrivers(char const* drivers) {
    setenv("ALSOFT_DRIVERS", drivers, 1);
    unsetenv("ALSOFT_CONF");
}

void useWaveWriter(TempFile const& config, TempFile const& output) {
    std::ofstream(config.path()) << "[general]\n"
                                 << "drivers=wave\n"
                                 << "channels=stereo\n"
                                 << "frequency=" << kRate << "\n"
                                 << "output-limiter=false\n"
                                 << "[wave]\n"
                                 << "file=" << output.path() << "\n";
    setenv("ALSOFT_DRIVERS", "wave", 1);
    setenv("ALSOFT_CONF", config.c_str(), 1);
}

void sleepFor(std::chrono::milliseconds duration) {
    std::this_thread::sleep_for(duration);
}

ALuint onlySourceName() {
    // OpenAL Soft hands out small source names from 1 upwards.
    ALuint found = 0;
    for (ALuint name = 1; name <= 4096; ++name) {
        if (alIsSource(name)) {
            if (found) {
                return 0;
            }
            found = name;
        }
    }
    return found;
}

} // namespace SoundTestSupport
