#pragma once

#include <array>
#include <cstdint>
#include <vector>
#include <vlpc/FormatRecords.h>

namespace vlpc {

// Triangle-list mesh data as it comes from a mesh file: positions, optional
// normals, up to two texture channels and triangle indices.
struct MeshArrays {
    std::vector<Vec3> positions;
    std::vector<Vec3> normals;            // empty: flat normals are made
    std::array<std::vector<Vec2>, 2> uvs; // one array per channel in use
    std::vector<std::uint32_t> indices;   // three per triangle
};

// Axis-aligned bounds of a geometry's positions.
struct Bounds {
    Vec3 min{};
    Vec3 max{};
};

// Builds a geometry record with `channels` texture channels (0 to 2) from mesh
// arrays: normals (flat face normals where the mesh has none, which gives each
// triangle its own vertices), smooth normals (the mean of the distinct normals
// of all vertices at the same position), and per channel a tangent whose w is
// the handedness of the texture frame (+1 or -1). Vertex format = channels.
GeometryRecord buildGeometry(MeshArrays const& mesh, std::size_t channels);

// Gives a mesh without normals flat face normals; each triangle then has its
// own three vertices. A mesh with a normal per position is left as it is.
void ensureNormals(MeshArrays& mesh);

// Appends `part` to `whole`, offsetting its indices.
void appendMesh(MeshArrays& whole, MeshArrays const& part);

Bounds computeBounds(GeometryRecord const& geometry);

} // namespace vlpc
