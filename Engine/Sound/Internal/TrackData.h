#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace Engine::Sound {

// The samples of a WAV track (8- or 16-bit PCM, mono or stereo) in the form
// alBufferData takes, decoded with libsndfile from a file or from a file
// image in memory. Needs no OpenAL, so the track loader and the WAV fuzz
// target decode with the same code.
class TrackData {
public:
    // Decodes the file as it reads it. False, with the reason in
    // Error(), when the file cannot be read or decoded.
    bool ReadFile(char const* path);
    // Decodes a WAV file image.
    bool Decode(void const* bytes, std::size_t size);

    // OpenAL's format (AL_FORMAT_MONO16 and the like), 0 when nothing was decoded.
    int Format() const { return format; }
    int Frequency() const { return frequency; }
    // Size() bytes of samples: unsigned bytes for 8-bit tracks, native
    // 16-bit integers for 16-bit tracks.
    void const* Samples() const { return samples.data(); }
    int Size() const { return static_cast<int>(samples.size()); }
    // Why the last ReadFile or Decode failed; empty after a success.
    std::string const& Error() const { return error; }

private:
    bool fail(std::string reason);
    // Decodes from a source of the reader's (see TrackData.cpp) at its start.
    bool decode(void* source);

    int format = 0;
    int frequency = 0;
    std::vector<unsigned char> samples;
    std::string error;
};

} // namespace Engine::Sound
