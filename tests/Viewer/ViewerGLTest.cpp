#include "Render/ImageCompare.h"
#include "ToolsTestSupport.h"

#include <filesystem>
#include <gtest/gtest.h>

// The viewer program under an X server: every sample model the asset tests
// use opens, renders a lit picture and logs no OpenGL error; a turntable of
// one model matches its reference images (RENDER_UPDATE_REFERENCES=1
// rewrites them).
namespace {

namespace fs = std::filesystem;

std::string sampleModel(std::string const& relative) {
    return std::string(ASSIMP_TEST_MODELS) + "/" + relative;
}

ToolsTest::RunResult runViewer(std::vector<std::string> const& args,
                               ToolsTest::TempDir const& scratch) {
    return ToolsTest::runProcess(VIEWER_PROGRAM, args, scratch);
}

// Share of pixels with some light in them.
double litShare(RenderTest::Image const& image) {
    int lit = 0;
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            unsigned char const* p = image.at(x, y);
            lit += p[0] + p[1] + p[2] > 24 ? 1 : 0;
        }
    }
    return double(lit) / (image.width * image.height);
}

std::string frameFile(std::string const& folder, int frame) {
    char name[32];
    std::snprintf(name, sizeof name, "/frame_%06d.png", frame);
    return folder + name;
}

class SampleModelGLTest : public ::testing::TestWithParam<char const*> {
protected:
    void SetUp() override {
        if (!fs::is_directory(ASSIMP_TEST_MODELS)) {
            GTEST_SKIP() << "assimp-testmodels is not installed";
        }
        setenv("ALSOFT_DRIVERS", "null", 1);
    }
};

class TurntableGLTest : public SampleModelGLTest {};

} // namespace

TEST_P(SampleModelGLTest, OpensAndRendersALitFrameWithoutGLErrors) {
    ToolsTest::TempDir dir;
    ToolsTest::RunResult const run =
        runViewer({sampleModel(GetParam()), "--cache", dir.path("cache"), "--window", "96", "72",
                   "--frames", "3", "--fixed-step", "0.04", "--capture", dir.path("frames"),
                   "--capture-every", "2", "--hidden"},
                  dir);
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out.find("FATAL"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("viewer: first frame after"), std::string::npos);
    RenderTest::Image picture;
    ASSERT_TRUE(RenderTest::readPng(frameFile(dir.path("frames"), 2), picture));
    // The model fills a good part of the view, and not all of it.
    double const lit = litShare(picture);
    EXPECT_GT(lit, 0.03);
    EXPECT_LT(lit, 0.95);
}

INSTANTIATE_TEST_SUITE_P(
    AssimpTestModels, SampleModelGLTest,
    ::testing::Values("OBJ/box.obj", "OBJ/spider.obj", "OBJ/WusonOBJ.obj",
                      "OBJ/concave_polygon.obj", "OBJ/testmixed.obj",
                      "OBJ/cube_with_vertexcolors.obj", "glTF/CesiumMilkTruck/CesiumMilkTruck.gltf",
                      "glTF2/2CylinderEngine-glTF-Binary/2CylinderEngine.glb",
                      "glTF2/BoxTextured-glTF/BoxTextured.gltf",
                      "glTF2/BoxTextured-glTF-Embedded/BoxTextured.gltf",
                      "glTF2/BoxTextured-glTF-Binary/BoxTextured.glb",
                      "glTF2/BoxTexcoords-glTF/boxTexcoords.gltf",
                      "glTF2/BoxBadNormals-glTF-Binary/BoxBadNormals.glb",
                      "glTF2/draco/2CylinderEngine.gltf", "glTF2/simple_skin/simple_skin.gltf",
                      "glTF2/glTF-Sample-Models/AnimatedMorphCube-glTF/AnimatedMorphCube.gltf"));

TEST_F(TurntableGLTest, TruckTurnsWithTheGodRayOnAndMatchesItsReferences) {
    ToolsTest::TempDir dir;
    // A quarter turn per second, a picture every second; the second start
    // finds the compile in the cache.
    std::vector<std::string> const args = {sampleModel("glTF/CesiumMilkTruck/CesiumMilkTruck.gltf"),
                                           "--cache",
                                           dir.path("cache"),
                                           "--window",
                                           "160",
                                           "120",
                                           "--turntable",
                                           "4",
                                           "--god-ray",
                                           "--fixed-step",
                                           "0.25",
                                           "--frames",
                                           "13",
                                           "--capture-every",
                                           "4",
                                           "--capture",
                                           dir.path("frames"),
                                           "--hidden"};
    ASSERT_EQ(runViewer(args, dir).exitCode, 0);
    ToolsTest::RunResult const run = runViewer(args, dir);
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_NE(run.out.find("viewer: using the cached compile"), std::string::npos) << run.out;
    EXPECT_EQ(run.out.find("FATAL"), std::string::npos) << run.out;
    RenderTest::Image previous;
    for (int frame : {4, 8, 12}) {
        SCOPED_TRACE(frame);
        RenderTest::Image picture;
        ASSERT_TRUE(RenderTest::readPng(frameFile(dir.path("frames"), frame), picture));
        EXPECT_GT(litShare(picture), 0.1);
        if (!previous.rgb.empty()) {
            // A quarter turn later the picture is another one.
            EXPECT_GT(RenderTest::compare(picture, previous, 24).differing,
                      picture.width * picture.height / 20);
        }
        RenderTest::expectMatchesReference(picture, "turntable-truck-" + std::to_string(frame));
        previous = picture;
    }
}
