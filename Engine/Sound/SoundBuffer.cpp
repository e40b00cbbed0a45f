#include <AL/al.h>
#include <Engine/Sound/Internal/TrackData.h>
#include <Engine/Sound/SoundBuffer.h>
#include <Engine/Util/UtilFunctions.h>
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
    TrackData track;
    if (!track.ReadFile(path)) {
        UtilFunctions::alError();
        std::cout << " => @ cannot load the track '" << (path ? path : "") << "': " << track.Error()
                  << std::endl;
        return false;
    }
    alBufferData(name, track.Format(), track.Samples(), track.Size(), track.Frequency());
    if (UtilFunctions::alError()) {
        std::cout << " => @ alBufferData" << std::endl;
        return false;
    }
    return true;
}

} // namespace Engine::Sound
