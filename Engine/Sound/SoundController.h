#pragma once

#include <Engine/Export.h>
#include <Engine/Math/Vec3f.h>

namespace Engine::Sound {

// Starts and stops the audio system (OpenAL through freealut) and places the
// listener. intOpenAL() must run before any buffer or source is created and
// exitOpenAL() after the last one is deleted.
class ENGINE_API SoundController {
public:
    // Opens the default device and makes a context current; false when no
    // device opens, in which case later sound calls fail harmlessly.
    static bool intOpenAL();
    static void exitOpenAL();

    // Resets the listener to the origin, at rest, looking down -z with +y up.
    SoundController();
    ~SoundController();

    void setListener(Math::Vec3f const& position, Math::Vec3f const& velocity,
                     Math::Vec3f const& at, Math::Vec3f const& up);

private:
    void init();
    void cleanUp();
};

} // namespace Engine::Sound
