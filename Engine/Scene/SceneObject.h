#pragma once

#include <Engine/Export.h>
#include <Engine/Scene/ComponentID.h>
#include <map>

namespace Engine::Scene {

class IComponent;

// A thing in a world: nothing but its components, at most one of each kind.
// Owns its components.
class ENGINE_API SceneObject {
public:
    SceneObject() = default;
    // Deletes the components in ascending id order.
    ~SceneObject();
    SceneObject(SceneObject const&) = delete;
    SceneObject& operator=(SceneObject const&) = delete;

    // The map itself: builders insert with Components()[id] = component.
    std::map<ComponentID, IComponent*>& Components() { return components; }
    // The component of that kind, or null; never inserts an entry.
    IComponent* Components(ComponentID id) const;

private:
    std::map<ComponentID, IComponent*> components;
};

} // namespace Engine::Scene
