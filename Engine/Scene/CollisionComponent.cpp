#include <Engine/Render/Shader/ForwardShader.h>
#include <Engine/Scene/Collision/AxisAlignedBox.h>
#include <Engine/Scene/CollisionComponent.h>
#include <Engine/Scene/Mesh.h>
#include <Engine/Scene/MeshDrawComponent.h>
#include <Engine/Scene/PositionComponent.h>
#include <Engine/Scene/SceneObject.h>
#include <Engine/Util/DebugDrawSettings.h>

namespace Engine::Scene {

CollisionComponent::CollisionComponent(SceneObject* owner)
    : IComponent(COMPONENT_COLLISION, owner) {
    GatherBoundingObjects();
}

std::vector<Collision::BoundingObject*>& CollisionComponent::Objects() {
    GatherBoundingObjects();
    return objects;
}

// Meshes own their boxes and may replace them, and the hierarchy may change:
// the list is rebuilt from the meshes rather than kept from an earlier walk.
void CollisionComponent::GatherBoundingObjects() {
    objects.clear();
    if (currentSceneObject == nullptr) {
        return;
    }
    auto* meshDraw =
        static_cast<MeshDrawComponent*>(currentSceneObject->Components(COMPONENT_MESH_DRAW));
    if (meshDraw != nullptr && meshDraw->CurrentMesh() != nullptr) {
        AddBoundingObjects(meshDraw->CurrentMesh());
    }
}

// Depth first, parent before children.
void CollisionComponent::AddBoundingObjects(Mesh* mesh) {
    if (mesh->Boundings() != nullptr) {
        objects.push_back(mesh->Boundings());
    }
    for (Mesh* child : mesh->Meshes()) {
        AddBoundingObjects(child);
    }
}

void CollisionComponent::Update(float time) {
    GatherBoundingObjects();
    if (currentSceneObject == nullptr) {
        return;
    }
    // The boxes place themselves with their meshes' matrices; the owner's
    // matrix is handed on for volumes that need it.
    static const Math::Mat4f identity;
    auto* position =
        static_cast<PositionComponent*>(currentSceneObject->Components(COMPONENT_POSITION));
    Math::Mat4f const& matrix = position != nullptr ? position->Matrix() : identity;
    for (Collision::BoundingObject* object : objects) {
        object->Update(matrix, time);
    }
}

void CollisionComponent::DrawDebug(Util::DebugDrawSettings const& settings,
                                   Render::CDFrameBuffer* target) {
    for (Collision::BoundingObject* object : objects) {
        object->DrawDebug(settings.LineShader(), target);
    }
}

} // namespace Engine::Scene
