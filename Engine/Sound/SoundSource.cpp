#include <AL/al.h>
#include <Engine/Sound/SoundBuffer.h>
#include <Engine/Sound/SoundSource.h>
#include <Engine/Util/UtilFunctions.h>
#include <iostream>

namespace Engine::Sound {

using Util::UtilFunctions;

namespace {

// OpenAL names of the buffers in order; a null entry stands for the null buffer.
std::vector<ALuint> namesOf(std::vector<SoundBuffer*> const& buffers) {
    std::vector<ALuint> names;
    names.reserve(buffers.size());
    for (SoundBuffer* buffer : buffers) {
        names.push_back(buffer ? buffer->getALNameID() : 0);
    }
    return names;
}

} // namespace

SoundSource::SoundSource() {
    init();
}

SoundSource::~SoundSource() {
    cleanUp();
}

bool SoundSource::init() {
    alGenSources(1, &name);
    if (UtilFunctions::alError()) {
        std::cout << " => @ alGenSources" << std::endl;
        return false;
    }
    return true;
}

void SoundSource::cleanUp() {
    alDeleteSources(1, &name);
    name = 0;
}

bool SoundSource::setBuffer(SoundBuffer* buffer) {
    alSourcei(name, AL_BUFFER, buffer ? static_cast<ALint>(buffer->getALNameID()) : 0);
    if (UtilFunctions::alError()) {
        std::cout << " => @ alSourcei:" << std::endl;
        return false;
    }
    currentBuffer = buffer;
    return true;
}

void SoundSource::queueBuffers(std::vector<SoundBuffer*> const& buffers) {
    const std::vector<ALuint> names = namesOf(buffers);
    alSourceQueueBuffers(name, static_cast<ALsizei>(names.size()), names.data());
    if (UtilFunctions::alError()) {
        std::cout << " => @ SoundSource::queueBuffers:" << std::endl;
    }
}

void SoundSource::unqueueBuffers(std::vector<SoundBuffer*> const& buffers) {
    std::vector<ALuint> names = namesOf(buffers);
    alSourceUnqueueBuffers(name, static_cast<ALsizei>(names.size()), names.data());
    if (UtilFunctions::alError()) {
        std::cout << " => @ SoundSource::unqueueBuffers:" << std::endl;
    }
}

int SoundSource::getProssesedBuffer() {
    ALint processed = 0;
    alGetSourcei(name, AL_BUFFERS_PROCESSED, &processed);
    return processed;
}

void SoundSource::play() {
    alSourcePlay(name);
}

void SoundSource::stop() {
    alSourceStop(name);
}

void SoundSource::pause() {
    alSourcePause(name);
}

void SoundSource::loopOn() {
    alSourcei(name, AL_LOOPING, AL_TRUE);
}

void SoundSource::loopOff() {
    alSourcei(name, AL_LOOPING, AL_FALSE);
}

void SoundSource::pitch(float value) {
    alSourcef(name, AL_PITCH, value);
}

void SoundSource::gain(float value) {
    currentGain = value;
    applyGain();
}

void SoundSource::referenceGain(float value) {
    refGain = value;
    applyGain();
}

void SoundSource::applyGain() {
    alSourcef(name, AL_GAIN, refGain * currentGain);
}

void SoundSource::position(Math::Vec3f const& value) {
    const ALfloat v[] = {value.X(), value.Y(), value.Z()};
    alSourcefv(name, AL_POSITION, v);
}

void SoundSource::velocity(Math::Vec3f const& value) {
    const ALfloat v[] = {value.X(), value.Y(), value.Z()};
    alSourcefv(name, AL_VELOCITY, v);
}

} // namespace Engine::Sound
