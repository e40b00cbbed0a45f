#pragma once

#include <Game/CameraRig.h>
#include <string>

namespace Engine::Render {
class Viewer;
}
namespace Engine::Scene {
class SceneObject;
}

namespace Game {

// The program's state as the shell and the demo share it: the viewer, the
// window size, the script time offset, the object the camera rig moves, the
// rig itself and whether the demo or the user drives the camera.
struct ApplicationState {
    // Owned by the shell; null before the build hook has run and after teardown.
    Engine::Render::Viewer* viewer = nullptr;
    // Client size in pixels, also the viewport.
    unsigned width = 0;
    unsigned height = 0;
    float scriptTimeOffset = 0.0f;
    // The demo starts again when it ends.
    bool loop = false;
    // The object whose position component the rig writes; not owned.
    Engine::Scene::SceneObject* controlledCameraObject = nullptr;
    CameraRig rig;
    // While true the rig is idle and the demo drives the camera.
    bool demoMode = true;
    // The window title the shell shows; empty leaves the platform's own.
    std::string windowTitle;
    // When set, the shell writes the next rendered frame to this PNG file
    // and clears it.
    std::string screenshotPath;
};

} // namespace Game
