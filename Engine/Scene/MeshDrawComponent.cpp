#include <Engine/Scene/Mesh.h>
#include <Engine/Scene/MeshDrawComponent.h>
#include <Engine/Scene/PositionComponent.h>

namespace Engine::Scene {

MeshDrawComponent::MeshDrawComponent(Mesh* mesh, SceneObject* owner)
    : IComponent(COMPONENT_MESH_DRAW, owner), mesh(mesh) {}

MeshDrawComponent::~MeshDrawComponent() {
    delete mesh;
}

void MeshDrawComponent::Update(float time) {
    PositionComponent* position = PositionComponent::UpToDate(currentSceneObject, time);
    if (position != nullptr && mesh != nullptr) {
        mesh->Update(position->Matrix());
    }
    lastUpdateTime = time;
}

} // namespace Engine::Scene
