#include <Engine/Scene/Collision/OrientedBox.h>
#include <Engine/Scene/Mesh.h>

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

Vec3f OrientedBox::Minimum() const {
    const Vec3f l(worldLocation);
    Vec3f result = l;
    for (Vec3f const& corner :
         {l + worldAxis1, l + worldAxis2, l + worldAxis1 + worldAxis2, l + worldAxis1 + worldAxis3,
          l + worldAxis2 + worldAxis3, l + worldAxis1 + worldAxis2 + worldAxis3, l + worldAxis3}) {
        result = result.ComponentMin(corner);
    }
    return result;
}

Vec3f OrientedBox::Maximum() const {
    const Vec3f l(worldLocation);
    Vec3f result = l;
    for (Vec3f const& corner :
         {l + worldAxis1, l + worldAxis2, l + worldAxis1 + worldAxis2, l + worldAxis1 + worldAxis3,
          l + worldAxis2 + worldAxis3, l + worldAxis1 + worldAxis2 + worldAxis3, l + worldAxis3}) {
        result = result.ComponentMax(corner);
    }
    return result;
}

} // namespace Engine::Scene::Collision
