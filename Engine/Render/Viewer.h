#pragma once

#include <Engine/Export.h>
#include <Engine/Util/Timer.h>

namespace Engine::Scene {
class World;
}

namespace Engine::Render {

// Drives one frame: advances the frame timer, updates the current world with
// the absolute time and renders it through the world's camera. Owns the current
// world while it is attached.
class ENGINE_API Viewer {
public:
    // Starts the timer at once.
    Viewer();
    // A viewer driven by the given (not yet started) timer; it is started here.
    explicit Viewer(Util::Timer const& timer);
    // Stops the timer and deletes the attached world.
    ~Viewer();
    Viewer(Viewer const&) = delete;
    Viewer& operator=(Viewer const&) = delete;

    // Sets the current world; the previous one is left alone. Null detaches.
    Viewer* CurrentWorld(Scene::World* world);
    Scene::World* CurrentWorld() const { return currentWorld; }

    Util::Timer const& getTimer() const { return timer; }
    // Starts the timer again from zero: the next frame is timed as the first.
    void RestartTimer();

    // Does nothing without a current world.
    void RenderFrame();

private:
    Scene::World* currentWorld = nullptr;
    Util::Timer timer;
};

} // namespace Engine::Render
