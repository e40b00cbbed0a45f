#pragma once

#include <Engine/Math/Vec3f.h>
#include <Engine/Scene/Collision/BoundingObject.h>

namespace Engine::Scene::Collision {

class OrientedBox;

// The world-space axis-aligned box that encloses an oriented box; the screen
// camera culls meshes with it. Owns the oriented box.
class ENGINE_API AxisAlignedBox : public BoundingObject {
public:
    explicit AxisAlignedBox(OrientedBox* box);
    ~AxisAlignedBox() override;
    AxisAlignedBox(AxisAlignedBox const&) = delete;
    AxisAlignedBox& operator=(AxisAlignedBox const&) = delete;

    // Updates the oriented box with the same arguments, then encloses it.
    void Update(Math::Mat4f const& ownerMatrix, float time) override;
    // Yellow edges, then the oriented box's.
    void DrawDebug(Render::Shader::Shader* shader, Render::CDFrameBuffer* target) override;

    Math::Vec3f const& Min() const { return min; }
    Math::Vec3f const& Max() const { return max; }
    OrientedBox* Box() const { return box; }

private:
    Math::Vec3f min{0.0f, 0.0f, 0.0f};
    Math::Vec3f max{0.0f, 0.0f, 0.0f};
    OrientedBox* box;
};

} // namespace Engine::Scene::Collision
