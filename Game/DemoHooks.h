#pragma once

namespace Engine::Scene {
class SceneObject;
class World;
} // namespace Engine::Scene

namespace Game {

struct ApplicationState;
class InputState;

// The five points at which a demo plugs into the shell. The shell calls Build
// once the OpenGL context is ready, Start once the viewer shows the built
// world, Script first in every frame, Keys after the camera rig in every frame,
// and TearDown after the viewer is gone, while the context still exists.
class DemoHooks {
public:
    // What Build yields: the world to show first and the object that carries
    // its camera. A null world means the build failed.
    struct Scene {
        Engine::Scene::World* world = nullptr;
        Engine::Scene::SceneObject* cameraObject = nullptr;
    };

    virtual ~DemoHooks() = default;

    // Loads the assets and builds the scene. The worlds stay the demo's: the
    // shell detaches them before it deletes the viewer.
    virtual Scene Build(ApplicationState& app) = 0;
    // Starts the demo's other services (sound).
    virtual void Start(ApplicationState& app) = 0;
    // Runs the demo's timeline, before the frame is rendered.
    virtual void Script(ApplicationState& app) = 0;
    // Reacts to this frame's keys.
    virtual void Keys(ApplicationState& app, InputState const& input) = 0;
    // Releases everything Build and Start made; also called when Build failed.
    virtual void TearDown(ApplicationState& app) = 0;
};

} // namespace Game
