#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>
#include <vlpc/Compilation.h>

struct aiScene;
struct aiNode;

namespace vlpc {

// A file's materials mapped to manifest materials: by the file's material
// index first, then by name; "*" catches the rest.
struct MaterialMap {
    std::vector<std::uint16_t> byIndex;
    std::map<std::string, std::uint16_t> byName;
};

// How a mesh file's node tree becomes a mesh hierarchy.
struct SceneTreeOptions {
    std::string file;
    MaterialMap materials;
    UVMapping mapping;
    int uvChannels = -1; // as MeshImporter::geometryOfMesh takes it
    std::string where;   // the manifest place of the node that names the file
};

// Turns a node of a file's node tree and the nodes below it into mesh nodes;
// each mesh of the file becomes a geometry of the compilation once. A group
// record has no matrix, so a group node's transform (times carried) is carried
// down to its children; nodes without meshes below them are left out, and a
// group with a single child stands for that child.
std::optional<MeshNode> flattenSceneTree(Compilation& compilation, aiScene const& scene,
                                         aiNode const& node, Mat4 const& carried,
                                         SceneTreeOptions const& options);

} // namespace vlpc
