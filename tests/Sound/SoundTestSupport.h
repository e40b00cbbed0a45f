#pragma once

#include <AL/al.h>
#include <chrono>
#include <cstddef>
#include <sndfile.h>
#include <string>
#include <vector>

// WAV files, OpenAL Soft backend selection and mix analysis for the sound tests.
// OpenAL Soft reads its settings once per process; every test case runs in a
// process of its own, so each one picks its backend before intOpenAL().
namespace SoundTestSupport {

constexpr int kRate = 44100;

// A sine of the given peak amplitude, one channel at kRate.
std::vector<float> tone(float amplitude, float seconds, float hz = 441.0f);

// Writes interleaved samples as a WAV file with the given libsndfile subtype.
void writeWav(std::string const& path, std::vector<float> const& samples, int channels,
              int subtype = SF_FORMAT_PCM_16);

// A WAV file read back as interleaved floats.
struct Recording {
    int channels = 0;
    int rate = 0;
    std::vector<float> samples;

    std::size_t frames() const { return channels ? samples.size() / channels : 0; }
    // Root mean square of one channel over the frames [first, last).
    float rms(int channel, std::size_t first, std::size_t last) const;
    float peak(std::size_t first, std::size_t last) const;
};
Recording readWav(std::string const& path);

// A stretch of frames [first, last) where the sound is on.
struct Stretch {
    std::size_t first = 0;
    std::size_t last = 0;
};
// The stretches of consecutive 10 ms windows whose peak exceeds the threshold.
std::vector<Stretch> soundingStretches(Recording const& recording, float threshold = 0.01f);

// A path in the temporary folder, unique to this process; the file is removed
// with the object.
class TempFile {
public:
    explicit TempFile(std::string const& name);
    ~TempFile();
    TempFile(TempFile const&) = delete;
    TempFile& operator=(TempFile const&) = delete;
    std::string const& path() const { return filePath; }
    char const* c_str() const { return filePath.c_str(); }

private:
    std::string filePath;
};

// Selects OpenAL Soft's backends by name (for example "null"), without a
// configuration file.
void useDrivers(char const* drivers);

// Selects the wave-writer backend: a stereo float mix at kRate written to
// output, configured through the file config.
void useWaveWriter(TempFile const& config, TempFile const& output);

void sleepFor(std::chrono::milliseconds duration);

// Polls done until it holds or the timeout passes; false on timeout.
template <typename F> bool waitFor(F done, std::chrono::milliseconds timeout) {
    const auto end = std::chrono::steady_clock::now() + timeout;
    while (!done()) {
        if (std::chrono::steady_clock::now() > end) {
            return false;
        }
        sleepFor(std::chrono::milliseconds(5));
    }
    return true;
}
// The name of the one source that exists in the current context (SoundSource
// keeps its name to itself); 0 when there is none or more than one.
ALuint onlySourceName();

} // namespace SoundTestSupport
