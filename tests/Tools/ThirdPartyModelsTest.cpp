#include "ToolsTestSupport.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <vlpc/FormatReader.h>

// Real mesh files from Debian's assimp-testmodels package, each compiled as a
// whole-file geometry and as a node tree, then read back and validated.
namespace {

namespace fs = std::filesystem;
using nlohmann::json;

std::string model(std::string const& relative) {
    return std::string(ASSIMP_TEST_MODELS) + "/" + relative;
}

struct Compiled {
    ToolsTest::RunResult run;
    vlpc::ModelFileContents models;
};

Compiled compileModelFile(ToolsTest::TempDir const& dir, std::string const& file) {
    dir.write("s.glsl", "void main() {}\n");
    json const manifest = {
        {"shaders", {{{"name", "s"}, {"vertex", "s.glsl"}, {"fragment", "s.glsl"}}}},
        {"materials", {{{"name", "m"}, {"shader", "s"}}}},
        {"geometries", {{{"name", "whole"}, {"file", file}}}},
        {"models",
         {{{"name", "tree"},
           {"components",
            {{{"type", "position"}},
             {{"type", "meshDraw"}, {"mesh", {{"scene", file}, {"materials", {{"*", "m"}}}}}},
             {{"type", "collision"}}}}}}}};
    Compiled result;
    result.run =
        ToolsTest::runVlpc({dir.write("m.json", manifest.dump()), "-o", dir.path("out"), "-q"});
    if (result.run.exitCode == 0) {
        result.models = vlpc::readModelFile(ToolsTest::readBytes(dir.path("out/models.vlp")));
    }
    return result;
}

std::size_t countMeshes(vlpc::MeshNode const& node) {
    std::size_t count = node.group != 0 ? 0 : 1;
    for (vlpc::MeshNode const& child : node.children) {
        count += countMeshes(child);
    }
    return count;
}

class ThirdPartyModels : public ::testing::TestWithParam<char const*> {
protected:
    void SetUp() override {
        if (!fs::is_directory(ASSIMP_TEST_MODELS)) {
            GTEST_SKIP() << "assimp-testmodels is not installed";
        }
    }
};

class BrokenThirdPartyModels : public ThirdPartyModels {};

} // namespace

TEST_P(ThirdPartyModels, CompileAndReadBack) {
    ToolsTest::TempDir dir;
    Compiled const compiled = compileModelFile(dir, model(GetParam()));
    ASSERT_EQ(compiled.run.exitCode, 0) << compiled.run.err;
    vlpc::ModelFile const& file = compiled.models.file;
    ASSERT_GE(file.geometries.size(), 2u);
    for (vlpc::GeometryRecord const& geometry : file.geometries) {
        EXPECT_FALSE(geometry.indices.empty());
        EXPECT_LE(geometry.format, 2);
        for (vlpc::Vertex const& v : geometry.vertices) {
            float const length = v.smoothNormal[0] * v.smoothNormal[0] +
                                 v.smoothNormal[1] * v.smoothNormal[1] +
                                 v.smoothNormal[2] * v.smoothNormal[2];
            ASSERT_TRUE(std::fabs(length - 1.0f) < 1e-3f || length == 0.0f);
        }
    }
    ASSERT_EQ(file.models.size(), 1u);
    vlpc::MeshNode const& root = file.models[0].components[1].mesh;
    // One mesh node per mesh a node of the file uses; each node tree geometry
    // was made once.
    EXPECT_GE(countMeshes(root), file.geometries.size() - 1);

    ToolsTest::RunResult const dump = ToolsTest::runVlpc({"--dump", dir.path("out/models.vlp")});
    EXPECT_EQ(dump.exitCode, 0) << dump.err;
}

INSTANTIATE_TEST_SUITE_P(
    AssimpTestModels, ThirdPartyModels,
    ::testing::Values("OBJ/box.obj", "OBJ/spider.obj", "OBJ/WusonOBJ.obj",
                      "OBJ/concave_polygon.obj", "OBJ/testmixed.obj",
                      "OBJ/cube_with_vertexcolors.obj", "glTF/CesiumMilkTruck/CesiumMilkTruck.gltf",
                      "glTF2/2CylinderEngine-glTF-Binary/2CylinderEngine.glb",
                      "glTF2/BoxTextured-glTF/BoxTextured.gltf",
                      "glTF2/BoxTexcoords-glTF/boxTexcoords.gltf",
                      "glTF2/BoxBadNormals-glTF-Binary/BoxBadNormals.glb",
                      "glTF2/draco/2CylinderEngine.gltf", "glTF2/simple_skin/simple_skin.gltf",
                      "glTF2/glTF-Sample-Models/AnimatedMorphCube-glTF/AnimatedMorphCube.gltf"));

TEST_P(BrokenThirdPartyModels, FailWithAMessageAndNoOutput) {
    ToolsTest::TempDir dir;
    Compiled const compiled = compileModelFile(dir, model(GetParam()));
    EXPECT_EQ(compiled.run.exitCode, 1);
    EXPECT_NE(compiled.run.err.find("m.json: geometries[0].file: cannot use '" + model(GetParam())),
              std::string::npos)
        << compiled.run.err;
    EXPECT_FALSE(fs::exists(dir.path("out")));
}

INSTANTIATE_TEST_SUITE_P(
    AssimpTestModels, BrokenThirdPartyModels,
    ::testing::Values("OBJ/point_cloud.obj", "OBJ/testline.obj", "invalid/empty.obj",
                      "glTF2/RecursiveNodes/RecursiveNodes.gltf",
                      "glTF2/MissingBin/BoxTextured.gltf",
                      "glTF2/BoxWithInfinites-glTF-Binary/BoxWithInfinites.glb"));
