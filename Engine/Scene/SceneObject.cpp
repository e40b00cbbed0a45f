#include <Engine/Scene/IComponent.h>
#include <Engine/Scene/SceneObject.h>

namespace Engine::Scene {

SceneObject::~SceneObject() {
    for (auto& entry : components) {
        delete entry.second;
    }
    components.clear();
}

IComponent* SceneObject::Components(ComponentID id) const {
    const auto found = components.find(id);
    return found == components.end() ? nullptr : found->second;
}

} // namespace Engine::Scene
