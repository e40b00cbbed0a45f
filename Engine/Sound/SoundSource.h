#pragma once

#include <Engine/Export.h>
#include <Engine/Math/Vec3f.h>
#include <vector>

namespace Engine::Sound {

class SoundBuffer;

// A positional OpenAL source that plays one buffer or a queue of buffers, with
// looping, pitch and a two-factor gain: OpenAL always receives the reference
// gain (the source's base level) times the gain.
class ENGINE_API SoundSource {
public:
    SoundSource();
    ~SoundSource();
    SoundSource(SoundSource const&) = delete;
    SoundSource& operator=(SoundSource const&) = delete;

    // Attaches the buffer (a null pointer detaches); false when OpenAL refuses
    // it, keeping the previous buffer.
    bool setBuffer(SoundBuffer* buffer);
    void queueBuffers(std::vector<SoundBuffer*> const& buffers);
    void unqueueBuffers(std::vector<SoundBuffer*> const& buffers);
    // How many queued buffers have been played and may be unqueued.
    int getProssesedBuffer();

    void play();
    void stop();
    void pause();
    void loopOn();
    void loopOff();

    void pitch(float value);
    void gain(float value);
    void referenceGain(float value);
    void position(Math::Vec3f const& value);
    void velocity(Math::Vec3f const& value);

private:
    bool init();
    void cleanUp();
    void applyGain();

    SoundBuffer* currentBuffer = nullptr;
    unsigned int name = 0;
    float refGain = 1.0f;
    float currentGain = 1.0f;
};

} // namespace Engine::Sound
