#pragma once

#include <Engine/Scene/Camera.h>

namespace Engine::Scene {

// The camera that renders a world to the window. A world renders each frame
// through the screen camera of its camera object.
class ENGINE_API ScreenCamera : public Camera {
public:
    using Camera::Camera;
};

} // namespace Engine::Scene
