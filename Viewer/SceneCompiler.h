#pragma once

#include <array>
#include <ostream>
#include <stdexcept>
#include <string>
#include <vector>

namespace Viewer {

// A model file that cannot be shown; the message says why.
class CompileError : public std::runtime_error {
public:
    explicit CompileError(std::string const& message) : std::runtime_error(message) {}
};

// What compiling a model file gave: the folder of the compiled asset files
// (scene object 0 of its models.vlp is the whole file, object 1 a floor
// square of side 2 about the origin in the xz plane), the file's bounding
// box, and what of the file the engine cannot show.
struct CompiledScene {
    std::string directory; // ends with '/'
    std::array<float, 3> boundsMin{};
    std::array<float, 3> boundsMax{};
    std::vector<std::string> notes;
    bool fromCache = false;
};

// Compiles a glTF 2.0, GLB or OBJ file (any format assimp reads) with the
// asset compiler: the file's materials become materials of the engine's
// material library (base colour, normal map, emission, a Blinn-Phong
// reading of PBR factors), its PNG and JPEG textures (files or embedded)
// are converted to PNG, and vlpc compiles the generated manifest. The
// result goes to a cache folder named after the file's contents and is
// reused while the file and everything it read are unchanged.
class SceneCompiler {
public:
    // The compiled scene's model id.
    static constexpr unsigned short SceneModel = 0;
    static constexpr unsigned short FloorModel = 1;

    // cacheRoot holds one folder per compiled file; shaderFolder is the
    // material library's GLSL folder. Progress lines go to `progress`.
    SceneCompiler(std::string cacheRoot, std::string shaderFolder, std::ostream& progress);

    // Throws CompileError for a file that cannot be read or compiled.
    CompiledScene Compile(std::string const& modelPath) const;

    // $XDG_CACHE_HOME/engine-viewer, else ~/.cache/engine-viewer.
    static std::string DefaultCacheRoot();

private:
    std::string cacheRoot;
    std::string shaderFolder;
    std::ostream& progress;
};

} // namespace Viewer
