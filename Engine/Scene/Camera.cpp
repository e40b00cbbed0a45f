#include <Engine/Render/Shader/Shader.h>
#include <Engine/Scene/Camera.h>
#include <Engine/Scene/Materials/Material.h>
#include <Engine/Scene/Mesh.h>
#include <Engine/Scene/MeshDrawComponent.h>
#include <Engine/Scene/SceneObject.h>
#include <Engine/Scene/World.h>
#include <cmath>

namespace Engine::Scene {

using Math::Mat4f;
using Math::Vec3f;

Camera::Camera(World* world) : world(world), location(0.0f, 0.0f, 0.0f, 1.0f) {}

Camera::Camera(World* world, unsigned width, unsigned height, float fov, float nearPlane,
               float farPlane)
    : Camera(world) {
    Camera::SetCameraParameter(width, height, fov, nearPlane, farPlane);
}

void Camera::SetCameraParameter(unsigned newWidth, unsigned newHeight, float newFov, float newNear,
                                float newFar) {
    width = newWidth;
    height = newHeight;
    fov = newFov;
    nearPlane = newNear;
    farPlane = newFar;
    aspect = static_cast<float>(width) / static_cast<float>(height);
    perspectiveMatrix = Mat4f::Persp(fov, aspect, nearPlane, farPlane);
    const float t = std::tan(fov * 0.5f);
    nearHalfHeight = nearPlane * t;
    nearHalfWidth = nearHalfHeight * aspect;
    farHalfHeight = t * farPlane;
    farHalfWidth = farHalfHeight * aspect;
    inversePerspectiveMatrix = Mat4f::InversePersp(fov, aspect, nearPlane, farPlane);
}

void Camera::Update(Mat4f const& matrix, bool cull) {
    worldMatrix = matrix;
    viewMatrix = Mat4f::Invert(matrix);
    absoluteMatrix = perspectiveMatrix * viewMatrix;
    inverseAbsoluteMatrix = matrix * inversePerspectiveMatrix;
    const float* m = matrix.GetGlMatrix();
    location = Math::Vec4f(m[12], m[13], m[14], 1.0f);
    view = Vec3f::Normalize(matrix * Vec3f(0.0f, 0.0f, -1.0f));
    if (cull) {
        ViewFrustrumCulling();
    }
}

void Camera::ViewFrustrumCulling() {
    for (auto& entry : renderList) {
        entry.second.clear();
    }
    if (world == nullptr) {
        return;
    }
    for (SceneObject* object : world->SceneObjects()) {
        auto* meshDraw = static_cast<MeshDrawComponent*>(object->Components(COMPONENT_MESH_DRAW));
        if (meshDraw != nullptr && meshDraw->CurrentMesh() != nullptr) {
            ViewFrustrumCulling(meshDraw->CurrentMesh());
        }
    }
}

void Camera::ViewFrustrumCulling(Mesh* mesh) {
    AddToRenderList(mesh);
    for (Mesh* child : mesh->Meshes()) {
        ViewFrustrumCulling(child);
    }
}

void Camera::AddToRenderList(Mesh* mesh) {
    Materials::Material* material = mesh->CurrentMaterial();
    if (material != nullptr && material->CurrentShader() != nullptr) {
        renderList[material->CurrentShader()->Id()].push_back(mesh);
    }
}

} // namespace Engine::Scene
