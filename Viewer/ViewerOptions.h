#pragma once

#include <iosfwd>
#include <string>

namespace Viewer {

// The viewer's own command-line settings: the model file, the cache folder,
// where screenshots go and the turntable. The switches it shares with Game
// (--window, --frames, --fixed-step, --capture, --capture-every, --hidden)
// are read by Game::CommandLine from the same arguments.
struct ViewerOptions {
    // Seconds per turn of the turntable when it is switched on by key.
    static constexpr double DefaultTurntableSeconds = 20.0;

    // A switch with a missing or invalid value is ignored with a warning; a
    // second file name is an error (in `error`).
    static ViewerOptions Parse(int argc, char const* const* argv, std::ostream& warnings);
    static void PrintUsage(std::ostream& out);

    std::string model;
    // Empty: SceneCompiler::DefaultCacheRoot().
    std::string cacheRoot;
    std::string screenshotFolder = ".";
    // 0: the user holds the camera from the start; otherwise the camera turns
    // about the model once in this many seconds until Space is pressed.
    double turntableSeconds = 0.0;
    // Starts with the god-ray spot light on.
    bool godRay = false;
    bool help = false;
    std::string error;
};

} // namespace Viewer
