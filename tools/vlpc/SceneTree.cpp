#include <assimp/scene.h>
#include <vlpc/MatrixMath.h>
#include <vlpc/SceneTree.h>

namespace vlpc {

namespace {

// The manifest material of one mesh of the file.
std::uint16_t materialOf(Compilation& c, aiScene const& scene, aiMesh const& mesh,
                         SceneTreeOptions const& options) {
    MaterialMap const& map = options.materials;
    if (mesh.mMaterialIndex < map.byIndex.size()) {
        return map.byIndex[mesh.mMaterialIndex];
    }
    std::string const name = scene.mMaterials[mesh.mMaterialIndex]->GetName().C_Str();
    auto material = map.byName.find(name);
    if (material == map.byName.end()) {
        material = map.byName.find("*");
    }
    if (material == map.byName.end()) {
        c.fail(c.at(options.where, "materials"),
               "no material for the file's material '" + name + "' (name it, or add a '*' entry)");
    }
    return material->second;
}

// The mesh node of one mesh of the file, its geometry made on first use.
MeshNode meshOf(Compilation& c, aiScene const& scene, unsigned meshIndex, Mat4 const& matrix,
                SceneTreeOptions const& options) {
    aiMesh const& mesh = *scene.mMeshes[meshIndex];
    std::string const meshName =
        "mesh " + std::to_string(meshIndex) +
        (mesh.mName.length > 0 ? " ('" + std::string(mesh.mName.C_Str()) + "')" : "") + " of '" +
        options.file + "'";
    int const channels =
        options.uvChannels >= 0 ? options.uvChannels : int(MeshImporter::channelsOf(mesh));
    auto const key = std::make_tuple(options.file, meshIndex, channels);
    auto const found = c.sceneGeometries.find(key);
    std::uint16_t geometry = 0;
    if (found != c.sceneGeometries.end()) {
        geometry = found->second;
    } else {
        std::vector<GeometryRecord>& geometries = c.out.models.geometries;
        if (geometries.size() > Compilation::MAX_ID) {
            c.fail(options.where, "too many geometries");
        }
        try {
            geometries.push_back(MeshImporter::geometryOfMesh(mesh, options.uvChannels));
        } catch (ImportError const& e) {
            c.fail(c.at(options.where, "scene"), meshName + ": " + e.what());
        }
        geometry = static_cast<std::uint16_t>(geometries.size() - 1);
        c.sceneGeometries[key] = geometry;
    }
    std::uint16_t const material = materialOf(c, scene, mesh, options);
    MeshNode result;
    c.setGeometry(result, geometry);
    result.material = material;
    result.matrix = matrix;
    result.uvMapping = options.mapping;
    c.checkMapping(options.mapping, geometry, meshName, options.where);
    c.checkTexturedMaterial(result.material, geometry, options.where);
    return result;
}

} // namespace

std::optional<MeshNode> flattenSceneTree(Compilation& c, aiScene const& scene, aiNode const& node,
                                         Mat4 const& carried, SceneTreeOptions const& options) {
    Mat4 const local = multiply(carried, toColumnMajor(node));
    MeshNode result;
    Mat4 childCarried = IDENTITY_MATRIX;
    if (node.mNumMeshes == 0) {
        result.group = 1;
        childCarried = local;
    } else {
        result = meshOf(c, scene, node.mMeshes[0], local, options);
        // Further meshes of the node share its place: children with no own transform.
        for (unsigned m = 1; m < node.mNumMeshes; ++m) {
            result.children.push_back(meshOf(c, scene, node.mMeshes[m], IDENTITY_MATRIX, options));
        }
    }
    for (unsigned i = 0; i < node.mNumChildren; ++i) {
        std::optional<MeshNode> child =
            flattenSceneTree(c, scene, *node.mChildren[i], childCarried, options);
        if (child) {
            result.children.push_back(std::move(*child));
        }
    }
    if (result.group != 0 && result.children.empty()) {
        return std::nullopt;
    }
    // A group with a single child stands for nothing but that child.
    if (result.group != 0 && result.children.size() == 1) {
        return std::move(result.children.front());
    }
    return result;
}

} // namespace vlpc
