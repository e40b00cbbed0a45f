#pragma once

#include <Engine/Export.h>

namespace Engine::Sound {

// One OpenAL buffer filled from a WAV file (8- or 16-bit PCM, mono or stereo).
// A file that cannot be read leaves the buffer without data; the buffer is
// deleted with the object, which must outlive every source that uses it.
class ENGINE_API SoundBuffer {
public:
    explicit SoundBuffer(char const* path);
    ~SoundBuffer();
    SoundBuffer(SoundBuffer const&) = delete;
    SoundBuffer& operator=(SoundBuffer const&) = delete;

    unsigned int getALNameID() const { return name; }

private:
    bool init(char const* path);
    void cleanUp();
    bool file2Buffer(char const* path);

    unsigned int name = 0;
};

} // namespace Engine::Sound
