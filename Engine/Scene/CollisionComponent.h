#pragma once

#include <Engine/Scene/IComponent.h>
#include <vector>

namespace Engine::Render {
class CDFrameBuffer;
}
namespace Engine::Util {
class DebugDrawSettings;
}

namespace Engine::Scene {

class Mesh;
namespace Collision {
class BoundingObject;
}

// Keeps the bounding boxes of a scene object's meshes up to date every frame.
// It refers to the boxes its object's mesh hierarchy holds now: they are
// gathered again whenever they are asked for, so a replaced box or a changed
// hierarchy never leaves a stale pointer. The boxes stay owned by their meshes.
class ENGINE_API CollisionComponent : public IComponent {
public:
    explicit CollisionComponent(SceneObject* owner);
    CollisionComponent(CollisionComponent const&) = delete;
    CollisionComponent& operator=(CollisionComponent const&) = delete;

    // The boxes of the object's meshes, depth first, parent before children.
    std::vector<Collision::BoundingObject*>& Objects();

    // Updates every box with the owner's world matrix and the time. The boxes
    // follow the meshes as the mesh draw component last placed them.
    void Update(float time) override;

    // Draws every box with the settings' line shader, in order.
    void DrawDebug(Util::DebugDrawSettings const& settings, Render::CDFrameBuffer* target);

private:
    void GatherBoundingObjects();
    void AddBoundingObjects(Mesh* mesh);

    std::vector<Collision::BoundingObject*> objects;
};

} // namespace Engine::Scene
