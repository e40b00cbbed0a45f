#pragma once

#include "Scenes.h"

#include <string>

namespace contentgen {

// The demo's manifest for vlpc: the hand-written base manifest with the
// generated textures, materials, meshes and the two scene objects (ids 9 and
// 10) merged in.
namespace Manifest {

// Reads base (a manifest in the folder baseDir), writes the meshes of both
// scenes into outDir/Meshes and the merged manifest to outDir/demo.json.
// outDir must be a folder directly inside baseDir.
void Write(std::string const& basePath, std::string const& outDir, Scenes::Scene const& first,
           Scenes::Scene const& second);

} // namespace Manifest

} // namespace contentgen
