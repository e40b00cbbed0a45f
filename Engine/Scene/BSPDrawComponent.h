#pragma once

#include <Engine/Math/Mat4f.h>
#include <Engine/Math/Vec3f.h>
#include <Engine/Scene/IComponent.h>
#include <Engine/Util/BaseVertex.h>
#include <vector>

namespace Engine::Render::Shader {
class Shader;
}

namespace Engine::Scene {

namespace Materials {
class Material;
}
class BSPNode;

// Draws one triangle mesh back to front for any eye position. On creation it
// has BSPTreeBuilder build the tree over the triangles and uploads the final
// vertex array once; each draw walks the tree from the eye to produce the
// index list in painter's order.
class ENGINE_API BSPDrawComponent : public IComponent {
public:
    // Builds the tree and uploads the vertices (needs a GL context when the
    // mesh has vertices). The material is not owned.
    BSPDrawComponent(std::vector<Util::BaseVertex> vertices, std::vector<unsigned int> indices,
                     Materials::Material* material, SceneObject* owner);
    // Deletes the vertex buffer and the tree.
    ~BSPDrawComponent() override;
    BSPDrawComponent(BSPDrawComponent const&) = delete;
    BSPDrawComponent& operator=(BSPDrawComponent const&) = delete;

    // Copies the owner's world matrix, brought up to the frame stamp.
    void Update(float time) override;
    // Draws with the material's shader; eye in the space of the vertices. The
    // shader argument is not used.
    void Draw(Math::Vec3f const& eye, Render::Shader::Shader* shader);

    Math::Mat4f& Matrix() { return matrix; }
    BSPDrawComponent& Matrix(Math::Mat4f value) {
        matrix = value;
        return *this;
    }
    BSPNode const* Root() const { return root; }
    unsigned int VertexBuffer() const { return vertexBuffer; }

private:
    BSPNode* root = nullptr;
    unsigned int vertexBuffer = 0;
    Math::Mat4f matrix;
    Materials::Material* material;
    // Reused by every draw, so that drawing allocates nothing once warm.
    std::vector<unsigned int> drawIndices;
};

} // namespace Engine::Scene
