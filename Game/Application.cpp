#include <Engine/Render/Viewer.h>
#include <Engine/Scene/PositionComponent.h>
#include <Engine/Scene/SceneObject.h>
#include <Engine/Util/Timer.h>
#include <Game/Application.h>
#include <Game/DemoHooks.h>
#include <Game/Platform.h>
#include <ostream>

namespace Game {

using Engine::Render::Viewer;
using Engine::Scene::PositionComponent;
using Engine::Util::Timer;

Application::Application(Platform& platform, DemoHooks& hooks, CommandLine const& options,
                         std::ostream& errors)
    : platform(platform), hooks(hooks), options(options), errors(errors), capture(errors) {
    state.width = options.width;
    state.height = options.height;
    state.scriptTimeOffset = options.scriptTimeOffset;
    state.loop = options.loop;
}

int Application::Run() {
    Platform::WindowSettings window;
    window.width = state.width;
    window.height = state.height;
    window.fullScreen = options.fullScreen;
    window.hidden = options.hidden;
    std::string error;
    if (!platform.OpenWindow(window, error)) {
        errors << "Game: " << error << "\n";
        platform.CloseWindow();
        return ExitNoWindow;
    }
    platform.PrepareContext(state.width, state.height);
    if (!options.captureDirectory.empty()) {
        capture.Open(options.captureDirectory);
    }

    const DemoHooks::Scene scene = hooks.Build(state);
    // The viewer's timer starts now, so the time spent building is not part of
    // the scene's time.
    createViewer();
    if (scene.world != nullptr) {
        state.viewer->CurrentWorld(scene.world);
        state.controlledCameraObject = scene.cameraObject;
        hooks.Start(state);
        platform.ReportGLErrors();
        input.ResetCursor(platform.CursorPosition());
        mainLoop();
    }
    teardown();
    return ExitSuccess;
}

void Application::createViewer() {
    if (options.fixedStep > 0.0) {
        state.viewer = new Viewer(
            Timer(Timer::FixedStepSource(options.fixedStep), Timer::FixedStepTicksPerSecond));
    } else {
        state.viewer = new Viewer();
    }
}

void Application::mainLoop() {
    // Every pending event is handled before a frame is drawn; a quit request
    // made during a frame ends the loop at the next event check.
    for (;;) {
        platform.PollEvents(input);
        if (platform.QuitRequested()) {
            break;
        }
        runFrame();
    }
}

void Application::runFrame() {
    hooks.Script(state);
    state.viewer->RenderFrame();
    captureFrame();
    windowRequests();
    perFrameControls();
    platform.SwapBuffers();
    ++frames;
    if (options.frames != 0 && frames >= options.frames) {
        platform.RequestQuit();
    }
}

void Application::captureFrame() {
    if (!capture.Active() || frames % options.captureEvery != 0) {
        return;
    }
    Platform::Image image;
    if (platform.ReadBackBuffer(image)) {
        capture.Write(frames, image);
    } else {
        errors << "error: cannot read the frame back from the window; frames are not captured\n";
        capture.Stop();
    }
}

void Application::windowRequests() {
    if (!state.windowTitle.empty() && state.windowTitle != shownTitle) {
        platform.WindowTitle(state.windowTitle);
        shownTitle = state.windowTitle;
    }
    if (state.screenshotPath.empty()) {
        return;
    }
    Platform::Image image;
    std::string error;
    if (!platform.ReadBackBuffer(image)) {
        errors << "error: cannot read the frame back from the window; no screenshot\n";
    } else if (!FrameCapture::WritePng(state.screenshotPath, image, error)) {
        errors << "error: " << error << "\n";
    }
    state.screenshotPath.clear();
}

void Application::perFrameControls() {
    if (input.KeyPressed(KeyCode::Escape)) {
        platform.RequestQuit();
    }
    if (input.KeyHeld(KeyCode::Space)) {
        // Space alone hands the camera to the user, Ctrl+Space back to the demo.
        state.demoMode = input.KeyHeld(KeyCode::Ctrl);
    }
    if (!state.demoMode) {
        state.rig.Move(input);
        if (state.controlledCameraObject != nullptr) {
            auto* position = static_cast<PositionComponent*>(
                state.controlledCameraObject->Components(COMPONENT_POSITION));
            if (position != nullptr) {
                position->Matrix(state.rig.Matrix());
            }
        }
    }
    hooks.Keys(state, input);
    platform.ReportGLErrors();
    input.EndFrame(platform.CursorPosition());
}

void Application::teardown() {
    if (state.viewer != nullptr) {
        // Detached first, so that deleting the viewer leaves the demo's world alive.
        state.viewer->CurrentWorld(nullptr);
        delete state.viewer;
        state.viewer = nullptr;
    }
    hooks.TearDown(state);
    state.controlledCameraObject = nullptr;
    platform.CloseWindow();
}

} // namespace Game
