#include <Engine/Scene/CameraComponent.h>
#include <Engine/Scene/PositionComponent.h>
#include <Engine/Scene/ScreenCamera.h>

namespace Engine::Scene {

CameraComponent::CameraComponent(ScreenCamera* camera, SceneObject* owner)
    : IComponent(COMPONENT_CAMERA, owner), camera(camera) {}

CameraComponent::~CameraComponent() {
    delete camera;
}

void CameraComponent::Update(float time) {
    PositionComponent* position = PositionComponent::UpToDate(currentSceneObject, time);
    if (position != nullptr && camera != nullptr) {
        camera->Update(position->Matrix(), true);
    }
    lastUpdateTime = time;
}

} // namespace Engine::Scene
