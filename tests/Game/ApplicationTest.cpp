#include "Math/MathTestHelpers.h"
#include "PngFile.h"
#include "ScriptedPlatform.h"
#include "Support/Output.h"
#include "TemporaryFolder.h"

#include <Engine/Render/Viewer.h>
#include <Engine/Scene/CameraComponent.h>
#include <Engine/Scene/PositionComponent.h>
#include <Engine/Scene/SceneObject.h>
#include <Engine/Scene/ScreenCamera.h>
#include <Engine/Scene/World.h>
#include <Engine/Util/Timer.h>
#include <Game/Application.h>
#include <Game/DemoHooks.h>
#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <vector>

using namespace Engine::Scene;
using Engine::Math::Mat4f;
using Engine::Math::Vec3f;
using Engine::Math::TestUtil::Near;
using Engine::Render::Viewer;
using Game::Application;
using Game::ApplicationState;
using Game::InputState;
using GameTestSupport::ScriptedEvent;
using GameTestSupport::ScriptedPlatform;
using GameTestSupport::TemporaryFolder;
using Events = std::vector<ScriptedEvent>;
namespace KeyCode = Game::KeyCode;

namespace {

// What the recording camera saw: the viewer's time and the camera's position
// in each frame it rendered.
struct CameraRecord {
    std::vector<float> times;
    std::vector<Vec3f> locations;
};

// A screen camera that journals its frames and its end.
class RecordingCamera : public ScreenCamera {
public:
    RecordingCamera(World* world, std::vector<std::string>& journal, CameraRecord& record)
        : ScreenCamera(world, nullptr, 64, 48, 1.0f, 0.1f, 100.0f), journal(journal),
          record(record) {}
    ~RecordingCamera() override { journal.push_back("~camera"); }

    void RenderFrame(Engine::Util::Timer const& timer) override {
        journal.push_back("render");
        record.times.push_back(timer.AbsoluteTime());
        record.locations.push_back(Vec3f(Location()));
    }

private:
    std::vector<std::string>& journal;
    CameraRecord& record;
};

// What the keys hook saw in one frame.
struct FrameView {
    bool aPressed;
    bool aHeld;
    bool aReleased;
    bool middlePressed;
    bool middleHeld;
    float wheel;
    bool demoMode;
    Mat4f rigRotation;
    Mat4f cameraMatrix;
};

// Demo hooks that build one world with a recording camera, journal every call
// and check what the shell hands them.
class RecordingDemo : public Game::DemoHooks {
public:
    explicit RecordingDemo(std::vector<std::string>& journal) : journal(journal) {}

    Scene Build(ApplicationState& app) override {
        journal.push_back("build");
        viewerAtBuild = app.viewer;
        sizeAtBuild = {static_cast<int>(app.width), static_cast<int>(app.height)};
        offsetAtBuild = app.scriptTimeOffset;
        if (!yieldWorld) {
            return Scene();
        }
        world = new World();
        cameraObject = new SceneObject();
        if (withPositionComponent) {
            cameraObject->Components()[COMPONENT_POSITION] = new PositionComponent(cameraObject);
        }
        cameraObject->Components()[COMPONENT_CAMERA] =
            new CameraComponent(new RecordingCamera(world, journal, cameraRecord), cameraObject);
        world->AddSceneObject(cameraObject);
        Scene scene;
        scene.world = world;
        scene.cameraObject = cameraObject;
        return scene;
    }
    void Start(ApplicationState& app) override {
        journal.push_back("start");
        worldAtStart = app.viewer != nullptr ? app.viewer->CurrentWorld() : nullptr;
        controlledAtStart = app.controlledCameraObject;
    }
    void Script(ApplicationState& app) override {
        journal.push_back("script");
        // Requests of the first frame only; the title stays.
        if (!requestedTitle.empty()) {
            app.windowTitle = requestedTitle;
            app.screenshotPath = requestedScreenshot;
            requestedTitle.clear();
        }
        if (scribble) {
            position()->Matrix(scribbled);
        }
    }
    void Keys(ApplicationState& app, InputState const& input) override {
        journal.push_back("keys");
        FrameView view{input.KeyPressed(KeyCode::A),
                       input.KeyHeld(KeyCode::A),
                       input.KeyReleased(KeyCode::A),
                       input.ButtonPressed(InputState::MiddleButton),
                       input.ButtonHeld(InputState::MiddleButton),
                       input.WheelNotches(),
                       app.demoMode,
                       app.rig.Rotation(),
                       position() != nullptr ? position()->Matrix() : Mat4f()};
        views.push_back(view);
    }
    void TearDown(ApplicationState& app) override {
        journal.push_back("teardown");
        viewerAtTearDown = app.viewer;
        // The world must still be alive: the shell detaches it before deleting
        // the viewer. Deleting it here twice would show under the sanitizers.
        delete world;
        world = nullptr;
    }

    PositionComponent* position() const {
        return static_cast<PositionComponent*>(cameraObject->Components(COMPONENT_POSITION));
    }

    bool yieldWorld = true;
    bool withPositionComponent = true;
    bool scribble = false;
    std::string requestedTitle;
    std::string requestedScreenshot;
    Mat4f scribbled = Mat4f(1, 0, 0, 7, 0, 1, 0, 8, 0, 0, 1, 9, 0, 0, 0, 1);

    World* world = nullptr;
    SceneObject* cameraObject = nullptr;
    Viewer* viewerAtBuild = reinterpret_cast<Viewer*>(1);
    Viewer* viewerAtTearDown = reinterpret_cast<Viewer*>(1);
    InputState::Point sizeAtBuild;
    float offsetAtBuild = -1.0f;
    World* worldAtStart = nullptr;
    SceneObject* controlledAtStart = nullptr;
    std::vector<FrameView> views;
    CameraRecord cameraRecord;

private:
    std::vector<std::string>& journal;
};

using Journal = std::vector<std::string>;

// The journal of one frame without capture.
const Journal frameCalls = {"poll", "script", "render", "keys", "glError", "swap"};

Journal concat(std::initializer_list<Journal> parts) {
    Journal all;
    for (Journal const& part : parts) {
        all.insert(all.end(), part.begin(), part.end());
    }
    return all;
}

Mat4f translation(float x, float y, float z) {
    return Mat4f(1, 0, 0, x, 0, 1, 0, y, 0, 0, 1, z, 0, 0, 0, 1);
}

Mat4f rotationY(float a) {
    const float c = std::cos(a);
    const float s = std::sin(a);
    return Mat4f(c, 0, s, 0, 0, 1, 0, 0, -s, 0, c, 0, 0, 0, 0, 1);
}

class ApplicationTest : public ::testing::Test {
protected:
    ApplicationTest() { options.fixedStep = 0.5; }

    // Runs the shell; keeps the exit code, the frame count and the final state.
    int run() {
        Application application(platform, demo, options, errors);
        int code = -1;
        output = TestSupport::captureStdout([&] { code = application.Run(); });
        frames = application.FramesRendered();
        finalState = application.State();
        return code;
    }

    void script(std::initializer_list<Events> batches) {
        for (Events const& batch : batches) {
            platform.batches.push_back(batch);
        }
    }

    std::vector<bool> demoModes() const {
        std::vector<bool> modes;
        for (FrameView const& view : demo.views) {
            modes.push_back(view.demoMode);
        }
        return modes;
    }

    Journal journal;
    ScriptedPlatform platform{journal};
    RecordingDemo demo{journal};
    Game::CommandLine options;
    std::ostringstream errors;
    std::string output;
    std::uint64_t frames = 0;
    ApplicationState finalState;
};

} // namespace

TEST_F(ApplicationTest, StartsUpRunsFramesAndTearsDownInOrder) {
    script({{}, {}});
    EXPECT_EQ(run(), Application::ExitSuccess);

    const Journal startup = {"open", "prepare", "build", "start", "glError"};
    const Journal teardown = {"poll", "teardown", "~camera", "close"};
    EXPECT_EQ(journal, concat({startup, frameCalls, frameCalls, teardown}));
    EXPECT_EQ(frames, 2u);
    EXPECT_EQ(errors.str(), "");
}

TEST_F(ApplicationTest, TheViewerExistsOnlyBetweenBuildAndTearDown) {
    script({{}});
    run();
    EXPECT_EQ(demo.viewerAtBuild, nullptr);
    EXPECT_NE(demo.worldAtStart, nullptr);
    EXPECT_EQ(demo.controlledAtStart, demo.cameraObject);
    EXPECT_EQ(demo.viewerAtTearDown, nullptr);
    EXPECT_EQ(finalState.viewer, nullptr);
    EXPECT_EQ(finalState.controlledCameraObject, nullptr);
}

TEST_F(ApplicationTest, TheWindowAndTheDemoGetTheCommandLineSettings) {
    options.width = 800;
    options.height = 600;
    options.fullScreen = true;
    options.hidden = true;
    options.scriptTimeOffset = 2.0f;
    run();
    EXPECT_EQ(platform.opened.width, 800u);
    EXPECT_EQ(platform.opened.height, 600u);
    EXPECT_TRUE(platform.opened.fullScreen);
    EXPECT_TRUE(platform.opened.hidden);
    EXPECT_EQ(platform.preparedWidth, 800u);
    EXPECT_EQ(platform.preparedHeight, 600u);
    EXPECT_EQ(demo.sizeAtBuild.x, 800);
    EXPECT_EQ(demo.sizeAtBuild.y, 600);
    EXPECT_FLOAT_EQ(demo.offsetAtBuild, 2.0f);
}

TEST_F(ApplicationTest, ABuildWithoutAWorldSkipsTheLoopButStillTearsDown) {
    demo.yieldWorld = false;
    script({{}, {}});
    EXPECT_EQ(run(), Application::ExitSuccess);
    EXPECT_EQ(journal, (Journal{"open", "prepare", "build", "teardown", "close"}));
    EXPECT_EQ(frames, 0u);
}

TEST_F(ApplicationTest, AWindowThatCannotBeOpenedEndsTheRunWithAnError) {
    platform.openFails = true;
    EXPECT_EQ(run(), Application::ExitNoWindow);
    EXPECT_EQ(journal, (Journal{"open", "close"}));
    EXPECT_NE(errors.str().find("no window for this test"), std::string::npos);
}

TEST_F(ApplicationTest, EscapeEndsTheLoopAfterTheFrameInProgressIsSwapped) {
    platform.closeWhenScriptEnds = false;
    platform.pollLimit = 20;
    script({{}, {ScriptedEvent::keyDown(KeyCode::Escape)}, {ScriptedEvent::keyDown(KeyCode::A)}});
    run();
    EXPECT_EQ(frames, 2u);
    const Journal tail = {"keys", "glError", "swap", "poll", "teardown", "~camera", "close"};
    ASSERT_GE(journal.size(), tail.size());
    EXPECT_EQ(Journal(journal.end() - static_cast<long>(tail.size()), journal.end()), tail);
}

TEST_F(ApplicationTest, ClosingTheWindowEndsTheLoopBeforeTheNextFrame) {
    script({{ScriptedEvent::keyDown(KeyCode::A), ScriptedEvent::close()}});
    run();
    EXPECT_EQ(frames, 0u);
    EXPECT_EQ(std::count(journal.begin(), journal.end(), "script"), 0);
    EXPECT_EQ(journal.back(), "close");
}

TEST_F(ApplicationTest, FramesOptionQuitsAfterThatManyFrames) {
    platform.closeWhenScriptEnds = false;
    platform.pollLimit = 50;
    options.frames = 3;
    run();
    EXPECT_EQ(frames, 3u);
    EXPECT_EQ(std::count(journal.begin(), journal.end(), "swap"), 3);
    EXPECT_EQ(std::count(journal.begin(), journal.end(), "poll"), 4);
}

TEST_F(ApplicationTest, FixedStepAdvancesTheSceneTimeByOneStepPerFrame) {
    options.fixedStep = 0.25;
    options.frames = 4;
    platform.closeWhenScriptEnds = false;
    platform.pollLimit = 50;
    run();
    EXPECT_EQ(demo.cameraRecord.times, (std::vector<float>{0.25f, 0.5f, 0.75f, 1.0f}));
    // The timer's report line of the first frame shows the frame time.
    EXPECT_EQ(output.rfind("0.25   ", 0), 0u) << output;
}

TEST_F(ApplicationTest, AKeyCountsAsPressedOncePerFrameInWhichAKeyDownArrived) {
    const auto down = ScriptedEvent::keyDown(KeyCode::A);
    script({{down, down, down}, {}, {down}, {ScriptedEvent::keyUp(KeyCode::A)}, {}});
    run();
    ASSERT_EQ(demo.views.size(), 5u);
    const bool pressed[] = {true, false, true, false, false};
    const bool held[] = {true, true, true, false, false};
    const bool released[] = {false, false, false, true, false};
    for (std::size_t i = 0; i < 5; ++i) {
        EXPECT_EQ(demo.views[i].aPressed, pressed[i]) << "frame " << i;
        EXPECT_EQ(demo.views[i].aHeld, held[i]) << "frame " << i;
        EXPECT_EQ(demo.views[i].aReleased, released[i]) << "frame " << i;
    }
}

TEST_F(ApplicationTest, WheelAndButtonPressesLastOneFrame) {
    script({{ScriptedEvent::wheel(1.0f), ScriptedEvent::wheel(1.0f),
             ScriptedEvent::buttonDown(InputState::MiddleButton)},
            {}});
    run();
    ASSERT_EQ(demo.views.size(), 2u);
    EXPECT_FLOAT_EQ(demo.views[0].wheel, 2.0f);
    EXPECT_FLOAT_EQ(demo.views[1].wheel, 0.0f);
    EXPECT_TRUE(demo.views[0].middlePressed);
    EXPECT_FALSE(demo.views[1].middlePressed);
    EXPECT_TRUE(demo.views[1].middleHeld);
}

TEST_F(ApplicationTest, SpaceHandsTheCameraToTheUserAndCtrlSpaceBackToTheDemo) {
    script({{},
            {ScriptedEvent::keyDown(KeyCode::Space)},
            {ScriptedEvent::keyUp(KeyCode::Space)},
            {ScriptedEvent::keyDown(KeyCode::Ctrl), ScriptedEvent::keyDown(KeyCode::Space)},
            {ScriptedEvent::keyUp(KeyCode::Space), ScriptedEvent::keyUp(KeyCode::Ctrl)}});
    run();
    EXPECT_EQ(demoModes(), (std::vector<bool>{true, false, false, true, true}));
}

TEST_F(ApplicationTest, InDemoModeArrowsAndWheelLeaveTheCameraAlone) {
    demo.scribble = true;
    script({{ScriptedEvent::keyDown(KeyCode::Right), ScriptedEvent::keyDown(KeyCode::Plus),
             ScriptedEvent::wheel(3.0f)},
            {}});
    run();
    ASSERT_EQ(demo.views.size(), 2u);
    for (FrameView const& view : demo.views) {
        EXPECT_TRUE(view.demoMode);
        EXPECT_TRUE(Near(view.rigRotation, Mat4f()));
        EXPECT_TRUE(Near(view.cameraMatrix, demo.scribbled));
    }
    EXPECT_FLOAT_EQ(finalState.rig.Distance(), 5.0f);
}

TEST_F(ApplicationTest, WithDemoModeOffTheRigRewritesTheCameraEveryFrame) {
    demo.scribble = true;
    script({{ScriptedEvent::keyDown(KeyCode::Space)}, {ScriptedEvent::keyUp(KeyCode::Space)}, {}});
    run();
    ASSERT_EQ(demo.views.size(), 3u);
    for (FrameView const& view : demo.views) {
        EXPECT_FALSE(view.demoMode);
        EXPECT_TRUE(Near(view.cameraMatrix, translation(0, 0, 5)));
    }
}

TEST_F(ApplicationTest, TheRigTakesEffectInTheNextFrame) {
    script({{ScriptedEvent::keyDown(KeyCode::Space)}, {ScriptedEvent::keyUp(KeyCode::Space)}});
    run();
    // Frame 1 renders from where the demo put the camera; the rig then moves
    // the camera object, and frame 2 renders from there.
    ASSERT_EQ(demo.cameraRecord.locations.size(), 2u);
    EXPECT_TRUE(Near(demo.cameraRecord.locations[0], Vec3f(0, 0, 0)));
    EXPECT_TRUE(Near(demo.cameraRecord.locations[1], Vec3f(0, 0, 5)));
}

TEST_F(ApplicationTest, ArrowsTurnTheCameraWhileTheUserHasIt) {
    script({{ScriptedEvent::keyDown(KeyCode::Space)},
            {ScriptedEvent::keyUp(KeyCode::Space), ScriptedEvent::keyDown(KeyCode::Right)},
            {}});
    run();
    ASSERT_EQ(demo.views.size(), 3u);
    EXPECT_TRUE(Near(demo.views[0].rigRotation, Mat4f()));
    EXPECT_TRUE(Near(demo.views[1].rigRotation, rotationY(0.02f)));
    EXPECT_TRUE(Near(demo.views[2].rigRotation, rotationY(0.04f)));
    EXPECT_TRUE(Near(demo.views[2].cameraMatrix, rotationY(0.04f) * translation(0, 0, 5)));
}

TEST_F(ApplicationTest, MiddleDragUsesTheCursorMovementBetweenFrames) {
    // The cursor is away from the origin from the start; the first frames
    // must not take that for a movement.
    platform.cursor = {300, 200};
    script({{ScriptedEvent::keyDown(KeyCode::Space),
             ScriptedEvent::buttonDown(InputState::MiddleButton)},
            {ScriptedEvent::moveCursor(310, 200)},
            {},
            {}});
    run();
    ASSERT_EQ(demo.views.size(), 4u);
    EXPECT_TRUE(Near(demo.views[0].rigRotation, Mat4f()));
    EXPECT_TRUE(Near(demo.views[1].rigRotation, Mat4f()));
    // The cursor read at the end of frame 2 gives frame 3 its movement.
    EXPECT_TRUE(Near(demo.views[2].rigRotation, rotationY(-0.04f)));
    EXPECT_TRUE(Near(demo.views[3].rigRotation, rotationY(-0.04f)));
}

TEST_F(ApplicationTest, ACameraObjectWithoutAPositionComponentIsLeftAlone) {
    demo.withPositionComponent = false;
    script({{ScriptedEvent::keyDown(KeyCode::Space), ScriptedEvent::keyDown(KeyCode::Left)}, {}});
    EXPECT_EQ(run(), Application::ExitSuccess);
    EXPECT_EQ(frames, 2u);
    EXPECT_TRUE(Near(finalState.rig.Rotation(), rotationY(-0.04f)));
}

TEST_F(ApplicationTest, CaptureReadsEveryKthFrameRightAfterRendering) {
    TemporaryFolder folder;
    options.captureDirectory = folder / "shots";
    options.captureEvery = 2;
    script({{}, {}, {}, {}, {}});
    run();
    EXPECT_EQ(errors.str(), "");
    EXPECT_EQ(std::count(journal.begin(), journal.end(), "readBack"), 3);
    const auto firstRender = std::find(journal.begin(), journal.end(), "render");
    ASSERT_NE(firstRender, journal.end());
    EXPECT_EQ(*(firstRender + 1), "readBack");
    for (int frame : {0, 2, 4}) {
        GameTestSupport::PngFile png;
        char name[32];
        std::snprintf(name, sizeof name, "shots/frame_%06d.png", frame);
        ASSERT_TRUE(png.Load(folder / name)) << name << ": " << png.error;
        EXPECT_EQ(png.width, 4u);
        EXPECT_EQ(png.height, 2u);
        EXPECT_EQ(png.Green(1, 1), 200u);
    }
    EXPECT_FALSE(std::filesystem::exists(folder / "shots/frame_000001.png"));
    EXPECT_FALSE(std::filesystem::exists(folder / "shots/frame_000003.png"));
}

TEST_F(ApplicationTest, TitleAndScreenshotRequestsReachTheWindowOnce) {
    TemporaryFolder folder;
    demo.requestedTitle = "Viewer: 5 ms";
    demo.requestedScreenshot = folder / "shot.png";
    script({{}, {}, {}});
    run();
    EXPECT_EQ(errors.str(), "");
    const Journal firstFrame = {"poll", "script", "render", "title Viewer: 5 ms", "readBack"};
    const auto frame =
        std::search(journal.begin(), journal.end(), firstFrame.begin(), firstFrame.end());
    EXPECT_NE(frame, journal.end());
    EXPECT_EQ(std::count(journal.begin(), journal.end(), "title Viewer: 5 ms"), 1);
    EXPECT_EQ(std::count(journal.begin(), journal.end(), "readBack"), 1);
    EXPECT_EQ(finalState.screenshotPath, "");
    GameTestSupport::PngFile png;
    ASSERT_TRUE(png.Load(folder / "shot.png")) << png.error;
    EXPECT_EQ(png.width, 4u);
    EXPECT_EQ(png.Green(3, 1), 200u);
}

TEST_F(ApplicationTest, AScreenshotThatCannotBeWrittenIsReportedAndTheRunGoesOn) {
    TemporaryFolder folder;
    demo.requestedTitle = "title";
    demo.requestedScreenshot = folder / "missing/shot.png";
    script({{}, {}});
    run();
    EXPECT_NE(errors.str().find("error: cannot write \"" + folder / "missing/shot.png"),
              std::string::npos)
        << errors.str();
    EXPECT_EQ(frames, 2u);
}

TEST_F(ApplicationTest, AFrameThatCannotBeReadBackEndsCapturing) {
    TemporaryFolder folder;
    options.captureDirectory = folder.Path();
    platform.readBackFails = true;
    script({{}, {}, {}});
    run();
    EXPECT_EQ(frames, 3u);
    EXPECT_EQ(std::count(journal.begin(), journal.end(), "readBack"), 1);
    EXPECT_NE(errors.str().find("cannot read the frame back"), std::string::npos);
}

TEST_F(ApplicationTest, ACaptureFolderThatCannotBeCreatedIsReportedAndTheRunGoesOn) {
    TemporaryFolder folder;
    std::ofstream(folder / "file") << "x";
    options.captureDirectory = folder / "file/shots";
    script({{}, {}});
    EXPECT_EQ(run(), Application::ExitSuccess);
    EXPECT_EQ(frames, 2u);
    EXPECT_EQ(std::count(journal.begin(), journal.end(), "readBack"), 0);
    EXPECT_NE(errors.str().find("cannot create the capture folder"), std::string::npos);
}
