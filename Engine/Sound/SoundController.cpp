#include <AL/al.h>
#include <AL/alut.h>
#include <Engine/Sound/SoundController.h>
#include <Engine/Util/UtilFunctions.h>
#include <iostream>

namespace Engine::Sound {

bool SoundController::intOpenAL() {
    std::cout << "initialisire sound controller (openAL)" << std::endl;
    if (alutInit(nullptr, nullptr)) {
        return true;
    }
    std::cout << "alutInit(0, NULL): ->" << std::endl;
    Util::UtilFunctions::alError();
    return false;
}

void SoundController::exitOpenAL() {
    alutExit();
}

SoundController::SoundController() {
    init();
}

SoundController::~SoundController() {
    cleanUp();
}

void SoundController::setListener(Math::Vec3f const& position, Math::Vec3f const& velocity,
                                  Math::Vec3f const& at, Math::Vec3f const& up) {
    const ALfloat pos[] = {position.X(), position.Y(), position.Z()};
    const ALfloat vel[] = {velocity.X(), velocity.Y(), velocity.Z()};
    const ALfloat orientation[] = {at.X(), at.Y(), at.Z(), up.X(), up.Y(), up.Z()};
    alListenerfv(AL_POSITION, pos);
    alListenerfv(AL_VELOCITY, vel);
    alListenerfv(AL_ORIENTATION, orientation);
}

void SoundController::init() {
    // OpenAL's own default orientation: a zero "at" vector would leave the
    // listener without a direction, and sources would lose their panning.
    setListener(Math::Vec3f(0.0f, 0.0f, 0.0f), Math::Vec3f(0.0f, 0.0f, 0.0f),
                Math::Vec3f(0.0f, 0.0f, -1.0f), Math::Vec3f(0.0f, 1.0f, 0.0f));
}

void SoundController::cleanUp() {}

} // namespace Engine::Sound
