#include <AL/al.h>
#include <AL/alut.h>
#include <Engine/Sound/SoundBuffer.h>
#include <Engine/Util/UtilFunctions.h>
#include <cmath>
#include <cstdlib>
#include <iostream>

namespace Engine::Sound {

using Util::UtilFunctions;

SoundBuffer::SoundBuffer(char const* path) {
    init(path);
}

SoundBuffer::~SoundBuffer() {
    cleanUp();
}

bool SoundBuffer::init(char const* path) {
    alGenBuffers(1, &name);
    if (UtilFunctions::alError()) {
        std::cout << " => @ alGenBuffers" << std::endl;
        return false;
    }
    return file2Buffer(path);
}

void SoundBuffer::cleanUp() {
    alDeleteBuffers(1, &name);
    name = 0;
}

bool SoundBuffer::file2Buffer(char const* path) {
    // The loader reports a missing, truncated or unsupported file by returning
    // no data (the reason goes to alutGetError, not to alGetError).
    ALenum format = AL_NONE;
    ALsizei size = 0;
    ALfloat frequency = 0.0f;
    void* data = path ? alutLoadMemoryFromFile(path, &format, &size, &frequency) : nullptr;
    if (data == nullptr) {
        UtilFunctions::alError();
        std::cout << " => @ alutLoadWAVFile '" << (path ? path : "") << "'" << std::endl;
        return false;
    }
    alBufferData(name, format, data, size, static_cast<ALsizei>(std::lround(frequency)));
    std::free(data);
    if (UtilFunctions::alError()) {
        std::cout << " => @ alBufferData" << std::endl;
        return false;
    }
    return true;
}

} // namespace Engine::Sound
