#pragma once

#include <functional>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <vlpc/GeometryBuilder.h>

struct aiScene;
struct aiMesh;
struct aiNode;

namespace Assimp {
class Importer;
}

namespace vlpc {

// A mesh file that cannot be read or holds nothing usable.
class ImportError : public std::runtime_error {
public:
    explicit ImportError(std::string const& message) : std::runtime_error(message) {}
};

// Reads mesh files through assimp (OBJ, glTF 2.0 and the other formats it
// knows), each once: triangulated, with normals, identical vertices joined,
// points and lines dropped. Turns their meshes into geometry records.
class MeshImporter {
public:
    using Progress = std::function<void(std::string const&)>;

    explicit MeshImporter(Progress progress = {});
    ~MeshImporter();
    MeshImporter(MeshImporter const&) = delete;
    MeshImporter& operator=(MeshImporter const&) = delete;

    // The imported scene of a file; it stays valid as long as the importer.
    aiScene const& scene(std::string const& path);

    // One mesh in its own coordinates. uvChannels -1 takes as many texture
    // channels as the mesh has, up to two; 0 to 2 demands that many.
    static GeometryRecord geometryOfMesh(aiMesh const& mesh, int uvChannels);

    // Every mesh of the scene, placed by the nodes that use it, in one
    // geometry. uvChannels -1 takes the channels that all meshes have.
    static GeometryRecord geometryOfScene(aiScene const& scene, int uvChannels);

    // Texture channels a mesh has (at most two).
    static std::size_t channelsOf(aiMesh const& mesh);

private:
    Progress progress;
    std::map<std::string, std::unique_ptr<Assimp::Importer>> importers;
};

// The 4x4 matrix of an assimp node transform, column-major.
Mat4 toColumnMajor(aiNode const& node);

} // namespace vlpc
