#include <Engine/Scene/Light.h>
#include <Engine/Scene/LightComponent.h>
#include <Engine/Scene/PositionComponent.h>

namespace Engine::Scene {

LightComponent::~LightComponent() {
    for (Light* light : lights) {
        delete light;
    }
}

void LightComponent::Update(float time) {
    if (PositionComponent* position = PositionComponent::UpToDate(currentSceneObject, time)) {
        for (Light* light : lights) {
            light->Update(position->Matrix());
        }
    }
    lastUpdateTime = time;
}

} // namespace Engine::Scene
