#include <assimp/Importer.hpp>
#include <assimp/config.h>
#include <assimp/postprocess.h>
#include <assimp/scene.h>
#include <cmath>
#include <vlpc/MeshFileCheck.h>
#include <vlpc/MeshImporter.h>

namespace vlpc {

namespace {

constexpr unsigned IMPORT_FLAGS = aiProcess_Triangulate | aiProcess_GenNormals |
                                  aiProcess_JoinIdenticalVertices | aiProcess_SortByPType |
                                  aiProcess_FindInvalidData | aiProcess_ValidateDataStructure;

std::size_t resolveChannels(std::size_t available, int requested, std::string const& what) {
    if (requested < 0) {
        return available;
    }
    if (static_cast<std::size_t>(requested) > available) {
        throw ImportError(what + " has " + std::to_string(available) + " texture channel(s), " +
                          std::to_string(requested) + " requested");
    }
    return static_cast<std::size_t>(requested);
}

std::string meshLabel(aiMesh const& mesh) {
    return mesh.mName.length > 0 ? "mesh '" + std::string(mesh.mName.C_Str()) + "'" : "a mesh";
}

// The arrays of one mesh; positions and normals transformed when a matrix is
// given (normals with its inverse transpose).
MeshArrays arraysOf(aiMesh const& mesh, std::size_t channels, aiMatrix4x4 const* transform) {
    MeshArrays arrays;
    aiMatrix3x3 normalMatrix;
    if (transform != nullptr) {
        normalMatrix = aiMatrix3x3(*transform);
        normalMatrix.Inverse().Transpose();
    }
    for (unsigned i = 0; i < mesh.mNumVertices; ++i) {
        aiVector3D p = mesh.mVertices[i];
        if (transform != nullptr) {
            p = *transform * p;
        }
        if (!std::isfinite(p.x) || !std::isfinite(p.y) || !std::isfinite(p.z)) {
            throw ImportError(meshLabel(mesh) + " has a vertex position that is not finite");
        }
        arrays.positions.push_back({p.x, p.y, p.z});
        if (mesh.HasNormals()) {
            aiVector3D n = mesh.mNormals[i];
            if (transform != nullptr) {
                n = normalMatrix * n;
            }
            bool const finite = std::isfinite(n.x) && std::isfinite(n.y) && std::isfinite(n.z);
            arrays.normals.push_back(finite ? Vec3{n.x, n.y, n.z} : Vec3{0, 0, 0});
        }
        for (std::size_t k = 0; k < channels; ++k) {
            aiVector3D const& uv = mesh.mTextureCoords[k][i];
            arrays.uvs[k].push_back({uv.x, uv.y});
        }
    }
    for (unsigned f = 0; f < mesh.mNumFaces; ++f) {
        aiFace const& face = mesh.mFaces[f];
        if (face.mNumIndices != 3) {
            continue; // points and lines
        }
        for (unsigned c = 0; c < 3; ++c) {
            arrays.indices.push_back(face.mIndices[c]);
        }
    }
    ensureNormals(arrays);
    return arrays;
}

void gatherScene(aiScene const& scene, aiNode const& node, aiMatrix4x4 const& parent,
                 std::size_t channels, MeshArrays& whole) {
    aiMatrix4x4 const absolute = parent * node.mTransformation;
    for (unsigned m = 0; m < node.mNumMeshes; ++m) {
        aiMesh const& mesh = *scene.mMeshes[node.mMeshes[m]];
        appendMesh(whole, arraysOf(mesh, channels, &absolute));
    }
    for (unsigned c = 0; c < node.mNumChildren; ++c) {
        gatherScene(scene, *node.mChildren[c], absolute, channels, whole);
    }
}

} // namespace

MeshImporter::MeshImporter(Progress progress) : progress(std::move(progress)) {}

MeshImporter::~MeshImporter() = default;

aiScene const& MeshImporter::scene(std::string const& path) {
    auto found = importers.find(path);
    if (found != importers.end()) {
        return *found->second->GetScene();
    }
    if (progress) {
        progress("importing " + path);
    }
    checkMeshFile(path);
    auto importer = std::make_unique<Assimp::Importer>();
    importer->SetPropertyInteger(AI_CONFIG_PP_SBP_REMOVE,
                                 aiPrimitiveType_POINT | aiPrimitiveType_LINE);
    aiScene const* scene = importer->ReadFile(path, IMPORT_FLAGS);
    if (scene == nullptr) {
        throw ImportError(importer->GetErrorString());
    }
    if ((scene->mFlags & AI_SCENE_FLAGS_INCOMPLETE) != 0 || scene->mRootNode == nullptr ||
        scene->mNumMeshes == 0) {
        throw ImportError("the file holds no triangle meshes");
    }
    checkNodeDepth(*scene->mRootNode);
    importers.emplace(path, std::move(importer));
    return *scene;
}

std::size_t MeshImporter::channelsOf(aiMesh const& mesh) {
    std::size_t channels = 0;
    while (channels < 2 && mesh.HasTextureCoords(static_cast<unsigned>(channels))) {
        ++channels;
    }
    return channels;
}

GeometryRecord MeshImporter::geometryOfMesh(aiMesh const& mesh, int uvChannels) {
    std::size_t const channels = resolveChannels(channelsOf(mesh), uvChannels, meshLabel(mesh));
    MeshArrays const arrays = arraysOf(mesh, channels, nullptr);
    if (arrays.indices.empty()) {
        throw ImportError(meshLabel(mesh) + " has no triangles");
    }
    return buildGeometry(arrays, channels);
}

GeometryRecord MeshImporter::geometryOfScene(aiScene const& scene, int uvChannels) {
    std::size_t available = 2;
    for (unsigned m = 0; m < scene.mNumMeshes; ++m) {
        available = std::min(available, channelsOf(*scene.mMeshes[m]));
    }
    std::size_t const channels = resolveChannels(available, uvChannels, "the file's meshes");
    MeshArrays whole;
    gatherScene(scene, *scene.mRootNode, aiMatrix4x4(), channels, whole);
    if (whole.indices.empty()) {
        throw ImportError("the file holds no triangles");
    }
    return buildGeometry(whole, channels);
}

Mat4 toColumnMajor(aiNode const& node) {
    aiMatrix4x4 const& m = node.mTransformation;
    return {m.a1, m.b1, m.c1, m.d1, m.a2, m.b2, m.c2, m.d2,
            m.a3, m.b3, m.c3, m.d3, m.a4, m.b4, m.c4, m.d4};
}

} // namespace vlpc
