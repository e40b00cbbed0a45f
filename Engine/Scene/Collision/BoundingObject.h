#pragma once

#include <Engine/Export.h>
#include <Engine/Math/Mat4f.h>

namespace Engine::Render {
class CDFrameBuffer;
namespace Shader {
class Shader;
}
} // namespace Engine::Render

namespace Engine::Scene::Collision {

// A bounding volume that follows what it bounds: each update recomputes its
// world-space extent.
class ENGINE_API BoundingObject {
public:
    BoundingObject() = default;
    // Virtual so that a volume is always destroyed as what it is.
    virtual ~BoundingObject() = default;

    // Brings the volume up to date with the owner's world matrix and the time.
    virtual void Update(Math::Mat4f const& ownerMatrix, float time) = 0;
    // Draws the volume's edges with a line shader, hidden where the target's
    // depth shows scene geometry in front of them.
    virtual void DrawDebug(Render::Shader::Shader* shader, Render::CDFrameBuffer* target) = 0;

protected:
    BoundingObject(BoundingObject const&) = default;
    BoundingObject& operator=(BoundingObject const&) = default;
};

} // namespace Engine::Scene::Collision
