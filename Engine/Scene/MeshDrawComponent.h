#pragma once

#include <Engine/Scene/IComponent.h>

namespace Engine::Scene {

class Mesh;

// Attaches one mesh hierarchy to a scene object and keeps the meshes' absolute
// matrices in step with the object's world matrix. Owns the hierarchy.
class ENGINE_API MeshDrawComponent : public IComponent {
public:
    // Takes the hierarchy: its root is deleted with the component.
    MeshDrawComponent(Mesh* mesh, SceneObject* owner);
    ~MeshDrawComponent() override;
    MeshDrawComponent(MeshDrawComponent const&) = delete;
    MeshDrawComponent& operator=(MeshDrawComponent const&) = delete;

    Mesh* CurrentMesh() const { return mesh; }
    // Replaces the pointer; the previous hierarchy is not deleted.
    MeshDrawComponent& CurrentMesh(Mesh* value) {
        mesh = value;
        return *this;
    }

    void Update(float time) override;

private:
    Mesh* mesh;
};

} // namespace Engine::Scene
