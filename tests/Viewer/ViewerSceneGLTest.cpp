#include "Support/GLContext.h"
#include "ToolsTestSupport.h"

#include <Engine/Render/Viewer.h>
#include <Engine/Scene/PositionComponent.h>
#include <Engine/Scene/SceneObject.h>
#include <Engine/Scene/World.h>
#include <Engine/Util/Timer.h>
#include <GL/glew.h>
#include <Game/ApplicationState.h>
#include <Game/InputState.h>
#include <Game/KeyCodes.h>
#include <Viewer/ViewerScene.h>
#include <algorithm>
#include <chrono>
#include <gtest/gtest.h>
#include <sstream>
#include <thread>

// The viewer's scene driven frame by frame as the shell drives it, with
// keys pressed in between: lights, the medium, reloading, screenshots and the
// title's timing, all without an OpenGL error.
namespace {

using Game::InputState;
namespace KeyCode = Game::KeyCode;

class ViewerSceneGLTest : public TestSupport::GLTest {
protected:
    void SetUp() override {
        TestSupport::GLTest::SetUp();
        // A textured, normal-mapped quad: the library's normal-map shader.
        dir.write("model.mtl", "newmtl Bumpy\nKd 1 1 1\nmap_Kd base.png\nnorm normal.png\n");
        dir.write("base.png", ToolsTest::makePng(8, 8));
        dir.write("normal.png", ToolsTest::makePng(8, 8));
        model = dir.write("model.obj", objText);
    }

    // One frame: the script, the picture, then this frame's keys.
    void frame(Viewer::ViewerScene& scene, std::vector<int> const& keys = {}) {
        ticks += TicksPerSecond / 25;
        scene.Script(state);
        state.viewer->RenderFrame();
        InputState input;
        for (int key : keys) {
            input.KeyDown(key);
        }
        scene.Keys(state, input);
        EXPECT_EQ(TestSupport::takeGLError(), 0u);
    }

    static constexpr std::int64_t TicksPerSecond = 1000000;
    ToolsTest::TempDir dir;
    std::string const objText = "mtllib model.mtl\nusemtl Bumpy\n" + ToolsTest::quadObj();
    std::string model;
    std::ostringstream progress;
    Game::ApplicationState state;
    std::int64_t ticks = 0;
};

} // namespace

TEST_F(ViewerSceneGLTest, KeysChangeTheLightsTheMediumAndTheFile) {
    Viewer::SceneCompiler const compiler(dir.path("cache"), MATERIAL_SHADER_DIR, progress);
    Viewer::ViewerOptions options;
    options.model = model;
    options.screenshotFolder = dir.path();
    state.width = 96;
    state.height = 72;
    Viewer::ViewerScene scene(compiler, compiler.Compile(model), options,
                              std::chrono::steady_clock::now());
    Game::DemoHooks::Scene const built = scene.Build(state);
    ASSERT_NE(built.world, nullptr);
    ASSERT_NE(ToolsTest::readText(scene.Compiled().directory + "scene.json").find("normalMap"),
              std::string::npos);
    EXPECT_FALSE(state.demoMode) << "the user holds the camera";
    state.viewer =
        new Engine::Render::Viewer(Engine::Util::Timer([this] { return ticks; }, TicksPerSecond));
    state.viewer->CurrentWorld(built.world);
    state.controlledCameraObject = built.cameraObject;
    scene.Start(state);
    frame(scene);

    frame(scene, {KeyCode::L});
    EXPECT_EQ(scene.LightingMode(), 1);
    frame(scene, {KeyCode::L});
    frame(scene, {KeyCode::L});
    EXPECT_EQ(scene.LightingMode(), 0);

    float const density = scene.MediumDensity();
    ASSERT_GT(density, 0.0f);
    frame(scene, {KeyCode::B, KeyCode::M});
    EXPECT_FLOAT_EQ(scene.MediumDensity(), density * 1.5f);
    EXPECT_NE(state.controlledCameraObject, built.cameraObject) << "a new camera for the density";
    frame(scene, {KeyCode::Ctrl, KeyCode::M});
    EXPECT_FLOAT_EQ(scene.MediumDensity(), density);

    std::size_t const withFloor = built.world->SceneObjects().size();
    frame(scene, {KeyCode::F});
    EXPECT_FALSE(scene.FloorShown());
    EXPECT_EQ(built.world->SceneObjects().size(), withFloor - 1);
    frame(scene, {KeyCode::F});
    EXPECT_EQ(built.world->SceneObjects().size(), withFloor);

    frame(scene, {KeyCode::P});
    EXPECT_EQ(state.screenshotPath, dir.path("viewer-model-001.png"));

    // Reloading an unchanged file keeps the scene; a changed one is compiled
    // and shown in its place.
    std::size_t const objects = built.world->SceneObjects().size();
    frame(scene, {KeyCode::R});
    dir.write("model.obj", objText + "v 0 0 5\nv 1 0 5\nv 0 1 5\nf 5 6 7\n");
    frame(scene, {KeyCode::R});
    EXPECT_EQ(built.world->SceneObjects().size(), objects);
    std::string const lines = progress.str();
    std::size_t const first = lines.find("viewer: compiled into");
    ASSERT_NE(first, std::string::npos);
    EXPECT_NE(lines.find("viewer: compiled into", first + 1), std::string::npos) << lines;

    // After a second the title carries the frame time and the passes.
    std::this_thread::sleep_for(std::chrono::milliseconds(1050));
    frame(scene);
    EXPECT_NE(state.windowTitle.find("Viewer: model.obj - "), std::string::npos)
        << state.windowTitle;
    EXPECT_NE(state.windowTitle.find(" ms ("), std::string::npos) << state.windowTitle;

    // Ctrl+Space hands the camera to the turntable: it moves by itself.
    state.demoMode = true;
    auto matrixOf = [this] {
        return static_cast<Engine::Scene::PositionComponent*>(
                   state.controlledCameraObject->Components(COMPONENT_POSITION))
            ->Matrix();
    };
    frame(scene);
    Engine::Math::Mat4f const before = matrixOf();
    frame(scene);
    EXPECT_FALSE(before == matrixOf());

    state.viewer->CurrentWorld(nullptr);
    delete state.viewer;
    state.viewer = nullptr;
    scene.TearDown(state);
}
