#pragma once

#include <Engine/Scene/IComponent.h>

namespace Engine::Scene {

class ScreenCamera;

// Binds a screen camera to a scene object: the camera follows the object's
// world matrix. Owns the camera.
class ENGINE_API CameraComponent : public IComponent {
public:
    // Takes the camera: it is deleted with the component.
    CameraComponent(ScreenCamera* camera, SceneObject* owner);
    ~CameraComponent() override;
    CameraComponent(CameraComponent const&) = delete;
    CameraComponent& operator=(CameraComponent const&) = delete;

    ScreenCamera* Camera() const { return camera; }

    void Update(float time) override;

private:
    ScreenCamera* camera;
};

} // namespace Engine::Scene
