#pragma once

#include <cstddef>
#include <string>

struct aiNode;

namespace vlpc {

// Deepest node tree a mesh file may have, the root being one level. The mesh
// importer and the node walks of the compiler recurse once per level.
constexpr std::size_t MAX_NODE_DEPTH = 1024;
// Deepest nesting of arrays and objects in a glTF file's JSON.
constexpr std::size_t MAX_GLTF_JSON_DEPTH = 256;

// Checks a mesh file before assimp reads it, against what would make the
// importer overflow its stack or spend minutes and gigabytes: glTF files with
// node trees deeper than MAX_NODE_DEPTH, shared nodes or cycles, and PLY files
// whose header declares more data than the file holds. Other files pass.
// Throws ImportError.
void checkMeshFile(std::string const& path);

// Checks that an imported node tree is at most MAX_NODE_DEPTH levels deep,
// without recursion. Throws ImportError.
void checkNodeDepth(aiNode const& root);

} // namespace vlpc
