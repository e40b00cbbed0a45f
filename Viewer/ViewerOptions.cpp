#include <Game/CommandLine.h>
#include <Viewer/ViewerOptions.h>
#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <ostream>

namespace Viewer {

namespace {

// How many values each of the shell's switches takes, so that they are not
// taken for the model file.
int shellValues(char const* arg) {
    static char const* const one[] = {"-t", "--frames", "--fixed-step", "--capture",
                                      "--capture-every"};
    if (std::strcmp(arg, "-f") == 0 || std::strcmp(arg, "--window") == 0) {
        return 2;
    }
    for (char const* name : one) {
        if (std::strcmp(arg, name) == 0) {
            return 1;
        }
    }
    return 0;
}

} // namespace

ViewerOptions ViewerOptions::Parse(int argc, char const* const* argv, std::ostream& warnings) {
    ViewerOptions result;
    for (int i = 1; i < argc; ++i) {
        char const* arg = argv[i];
        char const* next = i + 1 < argc ? argv[i + 1] : nullptr;
        bool const hasValue = next != nullptr && *next != '\0' && *next != '-';
        if (std::strcmp(arg, "--help") == 0) {
            result.help = true;
        } else if (std::strcmp(arg, "--god-ray") == 0) {
            result.godRay = true;
        } else if (std::strcmp(arg, "--cache") == 0 || std::strcmp(arg, "--screenshots") == 0) {
            if (hasValue) {
                (arg[2] == 'c' ? result.cacheRoot : result.screenshotFolder) = next;
                ++i;
            } else {
                warnings << "warning: \"" << arg << "\" needs a folder; ignored\n";
            }
        } else if (std::strcmp(arg, "--turntable") == 0) {
            char* end = nullptr;
            errno = 0;
            double const seconds = hasValue ? std::strtod(next, &end) : 0.0;
            if (hasValue && errno == 0 && *end == '\0' && std::isfinite(seconds) && seconds > 0.0) {
                result.turntableSeconds = seconds;
                ++i;
            } else {
                warnings << "warning: \"--turntable\" needs a positive number of seconds per "
                            "turn; ignored\n";
            }
        } else if (int const values = shellValues(arg)) {
            // Read (and checked) by the shell's command line.
            i += std::min(values, argc - 1 - i);
        } else if (arg[0] == '-' && arg[1] != '\0') {
            // The shell's flags (--hidden) and unknown switches.
        } else if (result.model.empty()) {
            result.model = arg;
        } else {
            result.error = "one model file at a time ('" + result.model + "', then '" + arg + "')";
        }
    }
    return result;
}

void ViewerOptions::PrintUsage(std::ostream& out) {
    out << "Usage: Viewer FILE [--cache DIR] [--screenshots DIR] [--turntable SECONDS] "
           "[--god-ray]\n"
           "              [--window WIDTH HEIGHT] [-f WIDTH HEIGHT] [--frames N]\n"
           "              [--fixed-step SECONDS] [--capture DIR [--capture-every K]] [--hidden]\n"
           "\n"
           "Shows a glTF 2.0 (.gltf, .glb) or OBJ file with the engine's renderer. The file is\n"
           "compiled once into a cache folder named after its contents.\n"
           "\n"
           "  --cache DIR           cache folder (default: ~/.cache/engine-viewer)\n"
           "  --screenshots DIR     where P saves pictures (default: the current folder)\n"
           "  --turntable SECONDS   start with the camera turning once in SECONDS\n"
           "  --god-ray             start with the god-ray spot light on\n"
           "  -f WIDTH HEIGHT       full screen at that size (default: a 1024 x 768 window)\n";
    Game::CommandLine::PrintUnattendedSwitches(out);
    out << "  --help                print this text and exit\n"
           "\n"
           "Keys:\n"
           "  Escape                quit\n"
           "  arrows, middle drag   turn the camera about the model (Shift: pan)\n"
           "  Plus/Minus, wheel     nearer, farther (Shift + wheel: ten times as far)\n"
           "  Space / Ctrl+Space    hold the camera yourself / let it turn (turntable)\n"
           "  L                     cycle the lights: key and fills, key only, fills only\n"
           "  B                     god-ray spot light on/off\n"
           "  F                     floor on/off\n"
           "  M / Ctrl+M            denser / thinner medium (god rays and haze)\n"
           "  R                     reload the file (recompiled when it changed)\n"
           "  P                     save a screenshot (viewer-NAME-NNN.png)\n"
           "  F3                    debug overlays (bounding boxes, lights)\n"
           "  F4                    wireframe\n"
           "  F5                    next G-buffer inset\n"
           "  H / Ctrl+H            tone-mapped colour with / without glow\n"
           "  C, G                  plain colour, plain glow\n"
           "  A / Ctrl+A            FXAA on / off\n"
           "\n"
           "The title shows the frame time and its split over the passes once a second.\n";
}

} // namespace Viewer
