#include <assimp/scene.h>
#include <optional>
#include <vlpc/ManifestSections.h>

namespace vlpc {

namespace {

// The index of the mesh that the entry's "mesh" field names, by index or by name.
unsigned meshIndex(Compilation& c, aiScene const& scene, json const& mesh, std::string const& path,
                   std::string const& meshAt) {
    if (mesh.is_number_integer()) {
        auto const index = static_cast<unsigned>(c.unsignedInt(mesh, 0xFFFFFFFFu, meshAt));
        if (index >= scene.mNumMeshes) {
            c.fail(meshAt, "'" + path + "' has " + std::to_string(scene.mNumMeshes) + " meshes");
        }
        return index;
    }
    std::string const name = c.text(mesh, meshAt);
    std::optional<unsigned> index;
    for (unsigned m = 0; m < scene.mNumMeshes; ++m) {
        if (name != scene.mMeshes[m]->mName.C_Str()) {
            continue;
        }
        if (index) {
            c.fail(meshAt,
                   "several meshes of '" + path + "' are named '" + name + "'; use an index");
        }
        index = m;
    }
    if (!index) {
        c.fail(meshAt, "'" + path + "' has no mesh named '" + name + "'");
    }
    return *index;
}

} // namespace

void compileGeometries(Compilation& c, json const& list) {
    for (std::size_t i = 0; i < list.size(); ++i) {
        std::string const where = c.at("geometries", i);
        json const& entry = c.object(list[i], where);
        c.allowFields(entry, {"name", "file", "mesh", "uvChannels"}, where);
        c.define(c.geometries, entry, where, i);
        std::string const fileAt = c.at(where, "file");
        std::string const path = c.inputPath(c.field(entry, "file", where), fileAt);
        int uvChannels = -1;
        if (json const* channels = c.optionalField(entry, "uvChannels")) {
            uvChannels = static_cast<int>(
                c.unsignedInt(*channels, format::MAX_UV_CHANNELS, c.at(where, "uvChannels")));
        }
        std::vector<GeometryRecord>& geometries = c.out.models.geometries;
        try {
            aiScene const& scene = c.importer.scene(path);
            json const* mesh = c.optionalField(entry, "mesh");
            if (mesh == nullptr) {
                geometries.push_back(MeshImporter::geometryOfScene(scene, uvChannels));
                continue;
            }
            unsigned const index = meshIndex(c, scene, *mesh, path, c.at(where, "mesh"));
            geometries.push_back(MeshImporter::geometryOfMesh(*scene.mMeshes[index], uvChannels));
            // A node tree that uses the same mesh shares this geometry.
            c.sceneGeometries.emplace(std::make_tuple(path, index, int(geometries.back().format)),
                                      static_cast<std::uint16_t>(geometries.size() - 1));
        } catch (ImportError const& e) {
            c.fail(fileAt, "cannot use '" + path + "': " + e.what());
        }
    }
}

} // namespace vlpc
