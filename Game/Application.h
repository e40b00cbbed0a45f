#pragma once

#include <Game/ApplicationState.h>
#include <Game/CommandLine.h>
#include <Game/FrameCapture.h>
#include <Game/InputState.h>
#include <cstdint>
#include <iosfwd>

namespace Game {

class DemoHooks;
class Platform;

// The program's shell: opens the window, lets the demo build its scene,
// creates the viewer and runs the frame loop (events, the demo's script, one
// rendered frame, the camera rig and the demo's keys, the swap) until the
// window is closed or Escape is pressed, then tears everything down in the
// reverse order of its making.
class Application {
public:
    static constexpr int ExitSuccess = 0;
    // No window or no usable OpenGL context.
    static constexpr int ExitNoWindow = 1;

    // Messages for the user (a window that cannot be opened, a capture folder
    // that cannot be written) go to `errors`.
    Application(Platform& platform, DemoHooks& hooks, CommandLine const& options,
                std::ostream& errors);
    Application(Application const&) = delete;
    Application& operator=(Application const&) = delete;

    // Startup, the frame loop and teardown; returns the exit code.
    int Run();

    ApplicationState const& State() const { return state; }
    std::uint64_t FramesRendered() const { return frames; }

private:
    void createViewer();
    void mainLoop();
    void runFrame();
    void captureFrame();
    void windowRequests();
    void perFrameControls();
    void teardown();

    Platform& platform;
    DemoHooks& hooks;
    CommandLine options;
    std::ostream& errors;
    FrameCapture capture;
    ApplicationState state;
    InputState input;
    std::uint64_t frames = 0;
    std::string shownTitle;
};

} // namespace Game
