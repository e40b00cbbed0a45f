#include "ToolsTestSupport.h"

#include <assimp/scene.h>
#include <gtest/gtest.h>
#include <vlpc/MeshImporter.h>

using namespace vlpc;
using ToolsTest::GltfMesh;
using ToolsTest::GltfNode;

namespace {

// The message of the ImportError that importing the content gives.
std::string importError(MeshImporter& importer, ToolsTest::TempDir const& dir,
                        std::string const& name, std::string const& content) {
    try {
        importer.scene(dir.write(name, content));
    } catch (ImportError const& e) {
        return e.what();
    }
    return "no error";
}

} // namespace

TEST(MeshImporter, ObjQuadIsTriangulatedWithItsChannel) {
    ToolsTest::TempDir dir;
    MeshImporter importer;
    aiScene const& scene = importer.scene(dir.write("quad.obj", ToolsTest::quadObj()));
    ASSERT_EQ(scene.mNumMeshes, 1u);
    GeometryRecord const g = MeshImporter::geometryOfMesh(*scene.mMeshes[0], -1);
    EXPECT_EQ(g.format, 1);
    EXPECT_EQ(g.vertices.size(), 4u);
    EXPECT_EQ(g.indices.size(), 6u);
    for (Vertex const& v : g.vertices) {
        EXPECT_EQ(v.normal, (Vec3{0, 0, 1}));
        EXPECT_EQ(v.smoothNormal, (Vec3{0, 0, 1}));
        EXPECT_EQ(v.position[3], 1.0f);
        // Texture coordinates follow the positions: (x + 1) / 2.
        EXPECT_EQ(v.uv[0][0], (v.position[0] + 1) / 2);
        EXPECT_EQ(v.tangent[0][3], 1.0f);
    }
}

TEST(MeshImporter, ChannelCountCanBeLoweredButNotRaised) {
    ToolsTest::TempDir dir;
    MeshImporter importer;
    aiScene const& scene = importer.scene(dir.write("quad.obj", ToolsTest::quadObj()));
    EXPECT_EQ(MeshImporter::geometryOfMesh(*scene.mMeshes[0], 0).format, 0);
    EXPECT_THROW(MeshImporter::geometryOfMesh(*scene.mMeshes[0], 2), ImportError);
}

TEST(MeshImporter, ObjWithoutNormalsGetsFaceNormals) {
    ToolsTest::TempDir dir;
    MeshImporter importer;
    std::string const path = dir.write("tri.obj", "v 0 0 0\nv 0 0 -1\nv 0 1 0\nf 1 2 3\n");
    GeometryRecord const g = MeshImporter::geometryOfMesh(*importer.scene(path).mMeshes[0], -1);
    EXPECT_EQ(g.format, 0);
    ASSERT_EQ(g.vertices.size(), 3u);
    EXPECT_NEAR(g.vertices[0].normal[0], 1.0f, 1e-6f);
}

TEST(MeshImporter, GltfWithTwoChannels) {
    ToolsTest::TempDir dir;
    std::string const path = dir.write(
        "tri.gltf", ToolsTest::makeGltf({ToolsTest::triangleMesh("Tri")}, {{"N", 0, {}, {}}}, {0}));
    MeshImporter importer;
    aiScene const& scene = importer.scene(path);
    GeometryRecord const g = MeshImporter::geometryOfMesh(*scene.mMeshes[0], -1);
    EXPECT_EQ(g.format, 2);
    ASSERT_EQ(g.vertices.size(), 3u);
    // glTF's texture origin is the top left; the importer turns v upside down.
    EXPECT_EQ(g.vertices[1].uv[0], (Vec2{1, 1}));
    EXPECT_EQ(g.vertices[1].uv[1], (Vec2{0, 0}));
    EXPECT_EQ(MeshImporter::geometryOfMesh(*scene.mMeshes[0], 1).format, 1);
}

TEST(MeshImporter, SameFileIsImportedOnce) {
    ToolsTest::TempDir dir;
    std::vector<std::string> lines;
    MeshImporter importer([&](std::string const& line) { lines.push_back(line); });
    std::string const path = dir.write("quad.obj", ToolsTest::quadObj());
    aiScene const* first = &importer.scene(path);
    aiScene const* second = &importer.scene(path);
    EXPECT_EQ(first, second);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0], "importing " + path);
}

TEST(MeshImporter, WholeSceneIsMergedInNodePlaces) {
    ToolsTest::TempDir dir;
    std::vector<GltfMesh> meshes = {ToolsTest::triangleMesh("A")};
    std::vector<GltfNode> nodes = {{"Root", -1, {10, 0, 0}, {1, 2}},
                                   {"First", 0, {0, 0, 0}, {}},
                                   {"Second", 0, {0, 5, 0}, {}}};
    std::string const path = dir.write("two.gltf", ToolsTest::makeGltf(meshes, nodes, {0}));
    MeshImporter importer;
    GeometryRecord const g = MeshImporter::geometryOfScene(importer.scene(path), -1);
    EXPECT_EQ(g.format, 2);
    ASSERT_EQ(g.vertices.size(), 6u);
    EXPECT_EQ(g.indices.size(), 6u);
    float minY = 100;
    float maxY = -100;
    for (Vertex const& v : g.vertices) {
        EXPECT_GE(v.position[0], 10.0f);
        minY = std::min(minY, v.position[1]);
        maxY = std::max(maxY, v.position[1]);
    }
    EXPECT_EQ(minY, 0.0f);
    EXPECT_EQ(maxY, 6.0f);
}

TEST(MeshImporter, MissingAndUnusableFilesAreErrors) {
    ToolsTest::TempDir dir;
    MeshImporter importer;
    EXPECT_THROW(importer.scene(dir.path("missing.obj")), ImportError);
    EXPECT_THROW(importer.scene(dir.write("noise.obj", "this is not a mesh {{{")), ImportError);
    // Points and lines only: nothing to draw as triangles.
    EXPECT_THROW(importer.scene(dir.write("points.obj", "v 0 0 0\nv 1 0 0\np 1\nl 1 2\n")),
                 ImportError);
}

TEST(MeshImporter, NonFinitePositionsAreRejected) {
    ToolsTest::TempDir dir;
    GltfMesh mesh = ToolsTest::triangleMesh("Bad");
    mesh.positions[1][0] = std::numeric_limits<float>::infinity();
    std::string const path =
        dir.write("bad.gltf", ToolsTest::makeGltf({mesh}, {{"N", 0, {}, {}}}, {0}));
    MeshImporter importer;
    EXPECT_THROW(MeshImporter::geometryOfMesh(*importer.scene(path).mMeshes[0], -1), ImportError);
}

TEST(MeshImporter, NodeMatrixIsColumnMajor) {
    aiNode node;
    node.mTransformation = aiMatrix4x4(1, 0, 0, 7, 0, 1, 0, 8, 0, 0, 1, 9, 0, 0, 0, 1);
    Mat4 const m = toColumnMajor(node);
    EXPECT_EQ(m[12], 7.0f);
    EXPECT_EQ(m[13], 8.0f);
    EXPECT_EQ(m[14], 9.0f);
    EXPECT_EQ(m[3], 0.0f);
}

TEST(MeshImporter, NodeTreesAreBoundedBeforeImport) {
    ToolsTest::TempDir dir;
    MeshImporter importer;
    // The deepest tree allowed imports; deeper ones, shared nodes and cycles
    // are refused before assimp, which would overflow its stack on them.
    aiScene const& deepest = importer.scene(dir.write("deepest.gltf", ToolsTest::chainGltf(1024)));
    EXPECT_EQ(MeshImporter::geometryOfScene(deepest, -1).vertices.size(), 3u);
    auto refused = [&](std::string const& name, std::string const& content) {
        return importError(importer, dir, name, content);
    };
    std::string const tooDeep = "its nodes nest deeper than 1024 levels";
    EXPECT_EQ(refused("deeper.gltf", ToolsTest::chainGltf(1025)), tooDeep);
    EXPECT_EQ(refused("chain.gltf", ToolsTest::chainGltf(20000)), tooDeep);
    // The same tree in a binary glTF file: header, then the JSON chunk.
    std::string const chain = ToolsTest::chainGltf(1025);
    auto u32 = [](std::size_t v) {
        return std::string{char(v), char(v >> 8), char(v >> 16), char(v >> 24)};
    };
    EXPECT_EQ(refused("chain.glb", "glTF" + u32(2) + u32(20 + chain.size()) + u32(chain.size()) +
                                       "JSON" + chain),
              tooDeep);
    std::vector<GltfNode> nodes = {{"A", 0, {}, {1, 2}}, {"B", -1, {}, {2}}, {"C", 0, {}, {}}};
    EXPECT_EQ(
        refused("shared.gltf", ToolsTest::makeGltf({ToolsTest::triangleMesh("T")}, nodes, {0})),
        "node 2 is the child of more than one node");
    nodes[1].children = {0};
    nodes[0].children = {1};
    EXPECT_EQ(
        refused("cycle.gltf", ToolsTest::makeGltf({ToolsTest::triangleMesh("T")}, nodes, {0})),
        "its nodes form a cycle");
    std::string const nested = std::string(300, '[') + std::string(300, ']');
    EXPECT_EQ(refused("nested.gltf", "{\"asset\": " + nested + "}"),
              "its JSON nests deeper than 256 levels");
}

TEST(MeshImporter, PlyCountsMustFitTheFile) {
    ToolsTest::TempDir dir;
    MeshImporter importer;
    std::string const textHeader = "ply\nformat ascii 1.0\nelement vertex 3\nproperty float x\n"
                                   "property float y\nproperty float z\nelement face 1\n"
                                   "property list uchar int vertex_indices\nend_header\n";
    std::string const textBody = "0 0 0\n1 0 0\n0 1 0\n3 0 1 2\n";
    EXPECT_EQ(importer.scene(dir.write("tri.ply", textHeader + textBody)).mNumMeshes, 1u);

    std::string binary = "ply\nformat binary_little_endian 1.0\nelement vertex 3\n"
                         "property float x\nproperty float y\nproperty float z\n"
                         "element face 1\nproperty list uchar int vertex_indices\nend_header\n";
    float const positions[9] = {0, 0, 0, 1, 0, 0, 0, 1, 0};
    std::int32_t const indices[3] = {0, 1, 2};
    binary.append(reinterpret_cast<char const*>(positions), sizeof positions);
    binary += '\3';
    binary.append(reinterpret_cast<char const*>(indices), sizeof indices);
    EXPECT_EQ(importer.scene(dir.write("tri_binary.ply", binary)).mNumMeshes, 1u);

    // Ten million vertices declared in a small file; in binary, two more than
    // the file holds.
    auto message = [&](std::string const& name, std::string const& content) {
        return importError(importer, dir, name, content);
    };
    std::string huge = textHeader + textBody;
    huge.replace(huge.find("vertex 3"), 8, "vertex 10000000");
    EXPECT_EQ(message("huge.ply", huge),
              "its header declares 10000000 'vertex' elements; the 26 bytes after the header "
              "cannot hold them");
    binary.replace(binary.find("vertex 3"), 8, "vertex 5");
    EXPECT_EQ(message("short.ply", binary),
              "its header declares 5 'vertex' elements; the 49 bytes after the header cannot hold "
              "them");
}
