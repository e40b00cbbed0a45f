#pragma once

#include <array>
#include <string>
#include <vector>

// A sound file read back with libsndfile, and the measurements the music
// tests make on it. Times are in seconds; levels are linear (1 = full scale).
struct Audio {
    int sampleRate = 0;
    int channels = 0;
    int format = 0;
    std::vector<float> samples; // interleaved

    std::size_t frames() const { return channels > 0 ? samples.size() / channels : 0; }
    double seconds() const { return sampleRate > 0 ? double(frames()) / sampleRate : 0.0; }
};

// Empty (no channels) when the file cannot be read.
Audio readAudio(std::string const& path);

// Over every channel of [begin, end); a negative time counts from the end.
double peak(Audio const& audio, double begin, double end);
double rms(Audio const& audio, double begin, double end);
// The largest third difference x[n] - 3x[n-1] + 3x[n-2] - x[n-3] of a channel:
// a step (a click) passes through it whole, while a tone of frequency f shrinks
// by (2 pi f / rate)^3, so that smooth music gives small values.
double largestThirdDifference(Audio const& audio);
// The RMS of the channels' mean through a second-order low-pass (lowPass) or
// high-pass filter at hz.
double bandRms(Audio const& audio, double hz, bool lowPass);
// The energy of each pitch class (0 = C) over C2 to B5 in [begin, end).
std::array<double, 12> chroma(Audio const& audio, double begin, double end);

std::vector<unsigned char> readBytes(std::string const& path);
