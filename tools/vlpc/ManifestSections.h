#pragma once

#include <cstddef>
#include <string>
#include <vlpc/Compilation.h>

// The compilers of a manifest's sections, each in a file of its own. Each
// checks the entries of its section's list, defines their names and appends
// their records to the compilation's output; a section uses only the names of
// the sections compiled before it, in the order listed here.
namespace vlpc {

using json = nlohmann::json;

void compileShaders(Compilation& compilation, json const& list);    // ShaderSection.cpp
void compileTextures(Compilation& compilation, json const& list);   // TextureSection.cpp
void compileMaterials(Compilation& compilation, json const& list);  // MaterialSection.cpp
void compileGeometries(Compilation& compilation, json const& list); // GeometrySection.cpp
void compilePaths(Compilation& compilation, json const& list);      // PathSection.cpp
void compileModels(Compilation& compilation, json const& list);     // ModelSection.cpp

// One node of a mesh draw component and its children, depth being the node's
// level (the root is 1): a mesh with geometry, a group, or a file's node tree
// (MeshSection.cpp).
MeshNode compileMeshNode(Compilation& compilation, json const& entry, std::string const& where,
                         std::size_t depth);

} // namespace vlpc
