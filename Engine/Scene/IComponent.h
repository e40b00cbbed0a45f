#pragma once

#include <Engine/Export.h>
#include <Engine/Scene/ComponentID.h>

namespace Engine::Scene {

class SceneObject;

// Base of everything a scene object does. A world updates each component once
// per frame with the absolute time, which serves as the frame stamp: a
// component that reads its object's position first brings the position
// component up to that stamp (see PositionOf).
class ENGINE_API IComponent {
public:
    IComponent(ComponentID id, SceneObject* owner) : currentSceneObject(owner), componentId(id) {}
    virtual ~IComponent() = default;

    virtual void Update(float time) = 0;

    ComponentID Id() const { return componentId; }
    float LastUpdateFrame() const { return lastUpdateTime; }
    void CurrentSceneObject(SceneObject* owner) { currentSceneObject = owner; }
    SceneObject* CurrentSceneObject() const { return currentSceneObject; }

protected:
    IComponent(IComponent const&) = default;
    IComponent& operator=(IComponent const&) = default;

    SceneObject* currentSceneObject;
    float lastUpdateTime = -1.0f;
    ComponentID componentId;
};

} // namespace Engine::Scene
