#include <Engine/Scene/PositionComponent.h>
#include <Engine/Scene/SceneObject.h>

namespace Engine::Scene {

PositionComponent* PositionComponent::UpToDate(SceneObject* owner, float time) {
    if (owner == nullptr) {
        return nullptr;
    }
    auto* position = static_cast<PositionComponent*>(owner->Components(COMPONENT_POSITION));
    if (position != nullptr && position->LastUpdateFrame() != time) {
        position->Update(time);
    }
    return position;
}

} // namespace Engine::Scene
