#pragma once

#include <cstdint>
#include <iosfwd>
#include <string>

namespace Game {

// The program's settings from its command line. "-f width height" (full
// screen) and "-t seconds" (the demo's script time offset) are the program's
// own switches; the "--" switches (a window size among them) make it usable without a person in
// front of it (a fixed number of frames, a fixed time step, frame capture, a hidden window).
// Unknown arguments are ignored; later switches override earlier ones.
struct CommandLine {
    static constexpr unsigned DefaultWidth = 1024;
    static constexpr unsigned DefaultHeight = 768;
    static constexpr float DefaultScriptTimeOffset = 5.0f;
    // Largest accepted window side in pixels.
    static constexpr unsigned MaxWindowSide = 16384;
    // Accepted range of --fixed-step in seconds: at least one timer tick, at
    // most an hour.
    static constexpr double MinFixedStep = 1e-6;
    static constexpr double MaxFixedStep = 3600.0;

    // Reads the arguments after the program name. A switch with missing or
    // invalid values changes nothing; a warning line goes to `warnings`.
    static CommandLine Parse(int argc, char const* const* argv, std::ostream& warnings);
    // Writes the usage text.
    static void PrintUsage(std::ostream& out);
    // The usage lines of the switches for runs without a person (--window
    // to --hidden), for programs that share them.
    static void PrintUnattendedSwitches(std::ostream& out);

    unsigned width = DefaultWidth;
    unsigned height = DefaultHeight;
    bool fullScreen = false;
    float scriptTimeOffset = DefaultScriptTimeOffset;
    // 0: run until the window is closed or Escape is pressed.
    std::uint64_t frames = 0;
    // 0: the timer follows the real clock.
    double fixedStep = 0.0;
    // Empty: no frames are captured.
    std::string captureDirectory;
    std::uint64_t captureEvery = 1;
    bool hidden = false;
    // The demo starts again from its beginning when its last flight ends.
    bool loop = false;
    bool help = false;
};

} // namespace Game
