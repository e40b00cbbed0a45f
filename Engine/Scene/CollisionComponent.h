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
// Gathers the boxes of the object's mesh hierarchy when it is created; the
// boxes stay owned by their meshes.
class ENGINE_API CollisionComponent : public IComponent {
public:
    explicit CollisionComponent(SceneObject* owner);
    CollisionComponent(CollisionComponent const&) = delete;
    CollisionComponent& operator=(CollisionComponent const&) = delete;

    std::vector<Collision::BoundingObject*>& Objects() { return objects; }

    // Updates every box with the owner's world matrix and the time. The boxes
    // follow the meshes as the mesh draw component last placed them.
    void Update(float time) override;

    // Draws every box with the settings' line shader, in order.
    void DrawDebug(Util::DebugDrawSettings const& settings, Render::CDFrameBuffer* target);

private:
    void AddBoundingObjects(Mesh* mesh);

    std::vector<Collision::BoundingObject*> objects;
};

} // namespace Engine::Scene
