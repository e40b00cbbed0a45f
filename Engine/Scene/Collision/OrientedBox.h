#pragma once

#include <Engine/Math/Vec3f.h>
#include <Engine/Math/Vec4f.h>
#include <Engine/Scene/Collision/BoundingObject.h>

namespace Engine::Scene {
class Mesh;
}

namespace Engine::Scene::Collision {

// A box given in a mesh's own space by one corner and its three edge vectors
// (full lengths); each update places it in the world with the mesh's absolute
// matrix. The mesh is not owned.
class ENGINE_API OrientedBox : public BoundingObject {
public:
    OrientedBox(Math::Vec4f const& location, Math::Vec3f const& axis1, Math::Vec3f const& axis2,
                Math::Vec3f const& axis3, Mesh* mesh);

    // Places the box with its mesh's absolute matrix; both arguments are
    // ignored. Without a mesh nothing changes.
    void Update(Math::Mat4f const& ownerMatrix, float time) override;
    // Red edges of the world-space box.
    void DrawDebug(Render::Shader::Shader* shader, Render::CDFrameBuffer* target) override;

    // Component-wise extremes over the eight world-space corners.
    Math::Vec3f Minimum() const;
    Math::Vec3f Maximum() const;

    Math::Vec4f const& Location() const { return location; }
    void Location(Math::Vec4f const& value) { location = value; }
    Math::Vec3f const& Axis1() const { return axis1; }
    void Axis1(Math::Vec3f const& value) { axis1 = value; }
    Math::Vec3f const& Axis2() const { return axis2; }
    void Axis2(Math::Vec3f const& value) { axis2 = value; }
    Math::Vec3f const& Axis3() const { return axis3; }
    void Axis3(Math::Vec3f const& value) { axis3 = value; }

    Math::Vec4f const& WorldLocation() const { return worldLocation; }
    Math::Vec3f const& WorldAxis1() const { return worldAxis1; }
    Math::Vec3f const& WorldAxis2() const { return worldAxis2; }
    Math::Vec3f const& WorldAxis3() const { return worldAxis3; }
    Mesh* BoundMesh() const { return mesh; }

private:
    Mesh* mesh;
    Math::Vec4f location;
    Math::Vec3f axis1;
    Math::Vec3f axis2;
    Math::Vec3f axis3;
    Math::Vec4f worldLocation{0.0f, 0.0f, 0.0f, 1.0f};
    Math::Vec3f worldAxis1{0.0f, 0.0f, 0.0f};
    Math::Vec3f worldAxis2{0.0f, 0.0f, 0.0f};
    Math::Vec3f worldAxis3{0.0f, 0.0f, 0.0f};
};

} // namespace Engine::Scene::Collision
