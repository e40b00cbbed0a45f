#pragma once

#include <Engine/Export.h>
#include <Engine/Math/Mat4f.h>
#include <Engine/Util/SharedPointer.h>
#include <Engine/Util/UVCoordMapping.h>
#include <map>
#include <vector>

namespace Engine::Scene {

class MeshData;
namespace Materials {
class Material;
}
namespace Collision {
class AxisAlignedBox;
}

// A node of a mesh hierarchy: local and absolute matrices, optionally shared
// geometry drawn through the node's own vertex array object with its material,
// a world-space bounding box, and child meshes. Owns its vertex array object,
// material, box and children; shares the geometry.
class ENGINE_API Mesh {
public:
    // Vertex array object name of a node without geometry.
    static constexpr unsigned int NoVertexArray = 0xFFFFFFFFu;

    // An empty group node.
    Mesh();
    // A mesh with geometry: creates its vertex array object and lets the
    // geometry describe its attributes into it with the texture-channel mapping.
    Mesh(Util::SharedPointer<MeshData> geometry, Materials::Material* material,
         std::map<UVCoordMapping, unsigned char> mapping);
    ~Mesh();
    Mesh(Mesh const&) = delete;
    Mesh& operator=(Mesh const&) = delete;

    // The local matrix (relative to the parent).
    Math::Mat4f& Matrix() { return localMatrix; }
    Mesh& Matrix(Math::Mat4f matrix) {
        localMatrix = matrix;
        return *this;
    }
    // The absolute (world) matrix, as of the last Update.
    Math::Mat4f& AbsoluteMatrix() { return absoluteMatrix; }

    Materials::Material* CurrentMaterial() const { return material; }
    // Takes the material (the mesh deletes it) and deletes the previous one.
    Mesh& CurrentMaterial(Materials::Material* value);

    Collision::AxisAlignedBox* Boundings() const { return boundings; }
    // Takes ownership of the box and deletes the one it replaces.
    void Boundings(Collision::AxisAlignedBox* box);

    std::vector<Mesh*>& Meshes() { return children; }
    Util::SharedPointer<MeshData> const& Geometry() const { return geometry; }
    unsigned int VertexArrayObject() const { return vertexArrayObject; }

    // absolute = parent * local, then the children with the new absolute matrix.
    void Update(Math::Mat4f const& parent);
    // Draws this node's geometry, not its children's. With the material: its
    // program, uniforms and primitive type; without: GL_TRIANGLES with whatever
    // program the caller has bound.
    void Draw(bool withMaterial);

private:
    unsigned int vertexArrayObject = NoVertexArray;
    Math::Mat4f localMatrix;
    Math::Mat4f absoluteMatrix;
    Util::SharedPointer<MeshData> geometry;
    Materials::Material* material = nullptr;
    Collision::AxisAlignedBox* boundings = nullptr;
    std::vector<Mesh*> children;
};

} // namespace Engine::Scene
