#pragma once

// The demo driven frame by frame at chosen times, without the shell's window
// and loop: for picture tests and the demo benchmark. It needs a current
// OpenGL context of at least the given size, and the working folder of the
// programs (build/bin).

#include <Engine/Render/Viewer.h>
#include <Engine/Scene/CameraComponent.h>
#include <Engine/Scene/SceneObject.h>
#include <Engine/Scene/ScreenCamera.h>
#include <Engine/Scene/World.h>
#include <Engine/Util/Timer.h>
#include <Game/ApplicationState.h>
#include <Game/Demo.h>
#include <cmath>
#include <cstdint>

namespace GameTestSupport {

class DemoDriver {
public:
    // Builds the demo at width x height and starts it (with its sound, when
    // there is a device). False when the build failed.
    bool Build(unsigned width, unsigned height) {
        state.width = width;
        state.height = height;
        state.scriptTimeOffset = 5.0f;
        const Game::DemoHooks::Scene scene = demo.Build(state);
        state.viewer = new Engine::Render::Viewer(
            Engine::Util::Timer([this] { return ticks; }, TicksPerSecond));
        if (scene.world == nullptr) {
            return false;
        }
        state.viewer->CurrentWorld(scene.world);
        state.controlledCameraObject = scene.cameraObject;
        demo.Start(state);
        return true;
    }

    // One frame of the shell at `seconds` on the demo's clock (the timeline,
    // then the rendered frame).
    void FrameAt(double seconds) {
        ticks = static_cast<std::int64_t>(std::llround(seconds * TicksPerSecond));
        demo.Script(state);
        state.viewer->RenderFrame();
    }

    // The camera of the world shown now.
    Engine::Scene::ScreenCamera* Camera() const {
        Engine::Scene::World* world = state.viewer->CurrentWorld();
        auto* object = world == demo.FirstWorld() ? demo.FirstCamera() : demo.SecondCamera();
        return static_cast<Engine::Scene::CameraComponent*>(object->Components(COMPONENT_CAMERA))
            ->Camera();
    }

    Game::Demo& TheDemo() { return demo; }
    Game::ApplicationState& State() { return state; }

    // The shell's teardown order: the viewer, then the demo.
    void TearDown() {
        if (state.viewer != nullptr) {
            state.viewer->CurrentWorld(nullptr);
            delete state.viewer;
            state.viewer = nullptr;
        }
        demo.TearDown(state);
    }

    ~DemoDriver() { TearDown(); }

private:
    static constexpr std::int64_t TicksPerSecond = 1000000;

    Game::ApplicationState state;
    Game::Demo demo;
    std::int64_t ticks = 0;
};

} // namespace GameTestSupport
