#pragma once

#include <functional>
#include <stdexcept>
#include <string>
#include <vector>
#include <vlpc/FormatRecords.h>

namespace vlpc {

// A manifest that cannot be compiled. The message names the manifest, the
// entry and the field, as in
// "demo.json: materials[3].parts[1]: unknown texture 'stone_n'".
class ManifestError : public std::runtime_error {
public:
    explicit ManifestError(std::string const& message) : std::runtime_error(message) {}
};

// Everything a manifest compiles to, plus what was read to make it.
struct CompiledAssets {
    ShaderFile shaders;
    TextureFile textures;
    ModelFile models;
    PathFile paths;
    std::vector<std::string> inputs;   // the manifest and every file it names
    std::vector<std::string> warnings; // oddities that do not stop the compile
};

// Reads a JSON manifest and everything it names (GLSL files, PNG files, mesh
// files; paths relative to the manifest's folder) and builds the records of the
// four compiled files. Names become dense ids in order of appearance; a model
// may pin its id. Throws ManifestError on the first error.
class ManifestCompiler {
public:
    using Progress = std::function<void(std::string const&)>;

    explicit ManifestCompiler(Progress progress = {});

    CompiledAssets compile(std::string const& manifestPath) const;

private:
    Progress progress;
};

} // namespace vlpc
