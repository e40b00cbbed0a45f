#include <Engine/Scene/PositionComponent.h>
#include <Engine/Scene/SceneObject.h>
#include <Engine/Util/Logger.h>

namespace Engine::Scene {

void PositionComponent::ParseInitData(char* data, unsigned short size) {
    (void)data;
    if (size != 0) {
        Util::Logger::Instance()->Fatal("Wrong size of InitData");
    }
}

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
