#pragma once

#include <AL/al.h>
#include <chrono>
#include <functional>
#include <sndfile.h>
#include <string>
#include <vector>

// WAV files, backend selection and mix analysis for the sound tests. OpenAL
// Soft reads its settings once per process; ctest runs every test case in a
// process of its own, so each case picks its backend before intOpenAL().
namespace SoundTestSupport {

constexpr int kRate = 44100;

// A 441 Hz sine of the given peak amplitude, one channel at kRate.
std::vector<float> tone(float amplitude, float seconds);
// Writes interleaved samples as a WAV file (or another libsndfile major
// format) of the given libsndfile subtype.
void writeWav(std::string const& path, std::vector<float> const& samples, int channels = 1,
              int subtype = SF_FORMAT_PCM_16, int major = SF_FORMAT_WAV);

// A stretch of frames [first, last).
struct Stretch {
    std::size_t first = 0;
    std::size_t last = 0;
};

// A WAV file read back as interleaved floats.
struct Recording {
    int channels = 0;
    int rate = 0;
    std::vector<float> samples;

    std::size_t frames() const { return channels ? samples.size() / channels : 0; }
    float rms(int channel, Stretch frames) const;
    float peak(Stretch frames) const;
    // The stretches of consecutive 10 ms windows whose peak exceeds threshold.
    std::vector<Stretch> sounding(float threshold = 0.01f) const;
};
Recording readWav(std::string const& path);

// A path in the temporary folder, unique to the process; the file goes with it.
struct TempFile {
    explicit TempFile(std::string const& name);
    ~TempFile();
    char const* c_str() const { return path.c_str(); }
    std::string path;
};

// Selects OpenAL Soft's backends by name (for example "null").
void useDrivers(char const* drivers);
// Selects the wave writer, which mixes stereo floats at kRate into output in
// real time; its settings go into the file config.
void useWaveWriter(TempFile const& config, TempFile const& output);

// Polls done every 5 ms until it holds; false after the timeout.
bool waitFor(std::function<bool()> const& done, std::chrono::milliseconds timeout);
void sleepFor(std::chrono::milliseconds duration);

// The name of the one source in the current context (SoundSource keeps its
// name to itself); 0 when there is none or more than one.
ALuint onlySourceName();

} // namespace SoundTestSupport
