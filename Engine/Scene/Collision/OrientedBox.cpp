#include <Engine/Render/Shader/Shader.h>
#include <Engine/Scene/Collision/OrientedBox.h>
#include <Engine/Scene/Mesh.h>
#include <Engine/Util/DebugDrawSettings.h>
#include <GL/glew.h>

namespace Engine::Scene::Collision {

using Math::Mat4f;
using Math::Vec3f;
using Math::Vec4f;

OrientedBox::OrientedBox(Vec4f const& location, Vec3f const& axis1, Vec3f const& axis2,
                         Vec3f const& axis3, Mesh* mesh)
    : mesh(mesh), location(location), axis1(axis1), axis2(axis2), axis3(axis3) {}

void OrientedBox::Update(Mat4f const& ownerMatrix, float time) {
    (void)ownerMatrix;
    (void)time;
    if (mesh == nullptr) {
        return;
    }
    Mat4f const& absolute = mesh->AbsoluteMatrix();
    worldLocation = absolute * location;
    worldAxis1 = absolute * axis1;
    worldAxis2 = absolute * axis2;
    worldAxis3 = absolute * axis3;
}

namespace {

// Folds the box's eight world corners with pick (component-wise min or max),
// starting from the corner at its world location.
Vec3f foldCorners(Vec3f const& l, Vec3f const& a1, Vec3f const& a2, Vec3f const& a3,
                  Vec3f (Vec3f::*pick)(Vec3f const&) const) {
    Vec3f result = l;
    for (Vec3f const& corner :
         {l + a1, l + a2, l + a1 + a2, l + a1 + a3, l + a2 + a3, l + a1 + a2 + a3, l + a3}) {
        result = (result.*pick)(corner);
    }
    return result;
}

} // namespace

Vec3f OrientedBox::Minimum() const {
    return foldCorners(Vec3f(worldLocation), worldAxis1, worldAxis2, worldAxis3,
                       &Vec3f::ComponentMin);
}

Vec3f OrientedBox::Maximum() const {
    return foldCorners(Vec3f(worldLocation), worldAxis1, worldAxis2, worldAxis3,
                       &Vec3f::ComponentMax);
}

void OrientedBox::DrawDebug(Render::Shader::Shader* shader, Render::CDFrameBuffer* target) {
    if (!Util::DebugDrawSettings::Prepare(shader, target)) {
        return;
    }
    const Vec4f l = worldLocation;
    const Vec4f a1(worldAxis1, 0.0f);
    const Vec4f a2(worldAxis2, 0.0f);
    const Vec4f a3(worldAxis3, 0.0f);
    // The face at the corner, the four edges along axis 3, the opposite face.
    const Vec4f near[4] = {l, l + a1, l + a1 + a2, l + a2};
    Vec4f edges[24];
    for (int i = 0; i < 4; ++i) {
        const Vec4f& from = near[i];
        const Vec4f& to = near[(i + 1) % 4];
        edges[2 * i] = from;
        edges[2 * i + 1] = to;
        edges[8 + 2 * i] = from;
        edges[8 + 2 * i + 1] = from + a3;
        edges[16 + 2 * i] = from + a3;
        edges[16 + 2 * i + 1] = to + a3;
    }
    shader->SetDiffuseColor(Vec3f(1.0f, 0.0f, 0.0f));
    Util::DebugDrawSettings::DrawArrays(shader, edges, 24, GL_LINES);
}

} // namespace Engine::Scene::Collision
