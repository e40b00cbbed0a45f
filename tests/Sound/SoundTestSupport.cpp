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

std::vector<float> tone(float amplitude, float seconds) {
    std::vector<float> samples(static_cast<std::size_t>(seconds * kRate));
    for (std::size_t i = 0; i < samples.size(); ++i) {
        samples[i] = amplitude * static_cast<float>(std::sin(2.0 * M_PI * 441.0 * i / kRate));
    }
    return samples;
}

void writeWav(std::string const& path, std::vector<float> const& samples, int channels, int subtype,
              int major) {
    SF_INFO info{};
    info.samplerate = kRate;
    info.channels = channels;
    info.format = major | subtype;
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    const sf_count_t frames = static_cast<sf_count_t>(samples.size() / channels);
    if (!file || sf_writef_float(file, samples.data(), frames) != frames) {
        throw std::runtime_error("cannot write " + path);
    }
    sf_close(file);
}

Recording readWav(std::string const& path) {
    SF_INFO info{};
    Recording recording;
    if (SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info)) {
        recording.channels = info.channels;
        recording.rate = info.samplerate;
        recording.samples.resize(static_cast<std::size_t>(info.frames * info.channels));
        const sf_count_t read = sf_readf_float(file, recording.samples.data(), info.frames);
        recording.samples.resize(static_cast<std::size_t>(read * info.channels));
        sf_close(file);
    }
    return recording;
}

float Recording::rms(int channel, Stretch s) const {
    double sum = 0.0;
    for (std::size_t f = s.first; f < s.last && f < frames(); ++f) {
        sum += samples[f * channels + channel] * samples[f * channels + channel];
    }
    return s.last > s.first ? static_cast<float>(std::sqrt(sum / (s.last - s.first))) : 0.0f;
}

float Recording::peak(Stretch s) const {
    float result = 0.0f;
    for (std::size_t i = s.first * channels; i < s.last * channels && i < samples.size(); ++i) {
        result = std::max(result, std::fabs(samples[i]));
    }
    return result;
}

std::vector<Stretch> Recording::sounding(float threshold) const {
    const std::size_t window = static_cast<std::size_t>(rate / 100);
    std::vector<Stretch> found;
    bool on = false;
    for (std::size_t first = 0; window && first < frames(); first += window) {
        const Stretch here{first, std::min(first + window, frames())};
        const bool loud = peak(here) > threshold;
        if (loud && on) {
            found.back().last = here.last;
        } else if (loud) {
            found.push_back(here);
        }
        on = loud;
    }
    return found;
}

TempFile::TempFile(std::string const& name)
    : path(::testing::TempDir() + "sound-" + std::to_string(getpid()) + "-" + name) {}

TempFile::~TempFile() {
    std::remove(path.c_str());
}

void useDrivers(char const* drivers) {
    setenv("ALSOFT_DRIVERS", drivers, 1);
    unsetenv("ALSOFT_CONF");
}

void useWaveWriter(TempFile const& config, TempFile const& output) {
    std::ofstream(config.path) << "[general]\ndrivers=wave\nchannels=stereo\nfrequency=" << kRate
                               << "\noutput-limiter=false\n[wave]\nfile=" << output.path << "\n";
    setenv("ALSOFT_DRIVERS", "wave", 1);
    setenv("ALSOFT_CONF", config.c_str(), 1);
}

bool waitFor(std::function<bool()> const& done, std::chrono::milliseconds timeout) {
    const auto end = std::chrono::steady_clock::now() + timeout;
    while (!done()) {
        if (std::chrono::steady_clock::now() > end) {
            return false;
        }
        sleepFor(std::chrono::milliseconds(5));
    }
    return true;
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
