// View-frustum culling of the screen camera: frustum planes, the box test for
// meshes and the sphere test for point lights.
#include <Engine/Scene/Collision/AxisAlignedBox.h>
#include <Engine/Scene/Light.h>
#include <Engine/Scene/Mesh.h>
#include <Engine/Scene/PointLight.h>
#include <Engine/Scene/ScreenCamera.h>
#include <Engine/Scene/World.h>

namespace Engine::Scene {

using Math::Mat4f;
using Math::Vec3f;

void ScreenCamera::Update(Mat4f const& matrix, bool cull) {
    (void)cull;
    Camera::Update(matrix, false);

    // The camera's axes: it looks down its local -Z, X is its right.
    const Vec3f p(location);
    const Vec3f z = Vec3f::Normalize(view * -1.0f);
    const Vec3f x = Vec3f::Normalize(matrix * Vec3f(1.0f, 0.0f, 0.0f));
    const Vec3f y = Vec3f::CrossProd(z, x);

    const Vec3f nearCentre = p - z * nearPlane;
    const Vec3f farCentre = p - z * farPlane;
    const float nh = nearHalfHeight;
    const float nw = nearHalfWidth;
    auto aux = [&p](Vec3f const& q) { return Vec3f::Normalize(q - p); };

    planePoint[PLANE_NEAR] = nearCentre;
    planeNormal[PLANE_NEAR] = z * -1.0f;
    planePoint[PLANE_FAR] = farCentre;
    planeNormal[PLANE_FAR] = z;
    planePoint[PLANE_TOP] = nearCentre + y * nh;
    planeNormal[PLANE_TOP] = Vec3f::CrossProd(aux(planePoint[PLANE_TOP]), x);
    planePoint[PLANE_BOTTOM] = nearCentre - y * nh;
    planeNormal[PLANE_BOTTOM] = Vec3f::CrossProd(x, aux(planePoint[PLANE_BOTTOM]));
    planePoint[PLANE_LEFT] = nearCentre - x * nw;
    planeNormal[PLANE_LEFT] = Vec3f::CrossProd(aux(planePoint[PLANE_LEFT]), y);
    planePoint[PLANE_RIGHT] = nearCentre + x * nw;
    planeNormal[PLANE_RIGHT] = Vec3f::CrossProd(y, aux(planePoint[PLANE_RIGHT]));
    for (int i = 0; i < PLANE_COUNT; ++i) {
        planeDistance[i] = -Vec3f::DotProd(planeNormal[i], planePoint[i]);
    }

    ViewFrustrumCulling();
}

void ScreenCamera::ViewFrustrumCulling() {
    for (auto& entry : visibleLights) {
        entry.second.clear();
    }
    Camera::ViewFrustrumCulling();
    if (world == nullptr) {
        return;
    }
    for (auto const& entry : world->Lights()) {
        for (Light* light : entry.second) {
            ViewFrustrumCulling(light);
        }
    }
}

// The boxes tested here lag one frame behind the meshes: an object's camera
// component (COMPONENT_CAMERA) updates before its collision component
// (COMPONENT_COLLISION), which refits the boxes to this frame's matrices, so
// culling sees where a moving mesh was in the last frame: one that moves into
// view is drawn from the frame after it entered.
void ScreenCamera::ViewFrustrumCulling(Mesh* mesh) {
    bool visible = true;
    if (Collision::AxisAlignedBox const* box = mesh->Boundings()) {
        Vec3f const& min = box->Min();
        Vec3f const& max = box->Max();
        for (int i = 0; i < PLANE_COUNT; ++i) {
            // The corner farthest along the plane's normal.
            Vec3f const& n = planeNormal[i];
            const Vec3f corner(n.X() >= 0.0f ? max.X() : min.X(), n.Y() >= 0.0f ? max.Y() : min.Y(),
                               n.Z() >= 0.0f ? max.Z() : min.Z());
            if (Vec3f::DotProd(n, corner) + planeDistance[i] < -BoxTolerance) {
                visible = false;
                break;
            }
        }
    }
    if (visible) {
        AddToRenderList(mesh);
    }
    // A rejected parent does not hide its children.
    for (Mesh* child : mesh->Meshes()) {
        ViewFrustrumCulling(child);
    }
}

void ScreenCamera::ViewFrustrumCulling(Light* light) {
    const LightType type = light->Type();
    if (type == LIGHT_POINT || type == LIGHT_SHADOW_POINT) {
        auto const* point = static_cast<PointLight const*>(light);
        const Vec3f centre(point->WorldLocation());
        const float radius = point->MaxDistanceOfInfluence();
        for (int i = 0; i < PLANE_COUNT; ++i) {
            if (Vec3f::DotProd(planeNormal[i], centre) + planeDistance[i] < -radius) {
                return;
            }
        }
    }
    visibleLights[type].push_back(light);
}

} // namespace Engine::Scene
