#include <Game/CommandLine.h>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <ostream>

namespace Game {

namespace {

// A whole decimal number in [1, max], nothing else in the text.
bool parsePositive(char const* text, std::uint64_t max, std::uint64_t& value) {
    if (text == nullptr || *text == '\0' || *text == '-') {
        return false;
    }
    errno = 0;
    char* end = nullptr;
    const unsigned long long parsed = std::strtoull(text, &end, 10);
    if (errno != 0 || *end != '\0' || parsed == 0 || parsed > max) {
        return false;
    }
    value = parsed;
    return true;
}

// A finite decimal number in [min, max], nothing else in the text.
bool parseReal(char const* text, double min, double max, double& value) {
    if (text == nullptr || *text == '\0') {
        return false;
    }
    errno = 0;
    char* end = nullptr;
    const double parsed = std::strtod(text, &end);
    if (errno != 0 || *end != '\0' || !std::isfinite(parsed) || parsed < min || parsed > max) {
        return false;
    }
    value = parsed;
    return true;
}

// The argument after index i, or null when i is the last one.
char const* valueAfter(int argc, char const* const* argv, int i) {
    return i + 1 < argc ? argv[i + 1] : nullptr;
}

const std::uint64_t MaxCount = 1000000000000ull;

} // namespace

CommandLine CommandLine::Parse(int argc, char const* const* argv, std::ostream& warnings) {
    CommandLine result;
    for (int i = 1; i < argc; ++i) {
        char const* arg = argv[i];
        if (std::strcmp(arg, "-f") == 0 || std::strcmp(arg, "--window") == 0) {
            // A size: full screen ("-f") or a window ("--window").
            const bool full = arg[1] == 'f';
            std::uint64_t w = 0;
            std::uint64_t h = 0;
            if (parsePositive(valueAfter(argc, argv, i), MaxWindowSide, w) &&
                parsePositive(valueAfter(argc, argv, i + 1), MaxWindowSide, h)) {
                result.width = static_cast<unsigned>(w);
                result.height = static_cast<unsigned>(h);
                result.fullScreen = full;
                i += 2;
            } else {
                warnings << "warning: \"" << arg << "\" needs a width and a height from 1 to "
                         << MaxWindowSide << "; keeping " << result.width << " x " << result.height
                         << (result.fullScreen ? " full screen" : " windowed") << "\n";
            }
        } else if (std::strcmp(arg, "-t") == 0) {
            double seconds = 0.0;
            if (parseReal(valueAfter(argc, argv, i), 0.0, 1e30, seconds)) {
                result.scriptTimeOffset = static_cast<float>(seconds);
                i += 1;
            } else {
                warnings << "warning: \"-t\" needs a number of seconds, 0 or more; keeping "
                         << result.scriptTimeOffset << "\n";
            }
        } else if (std::strcmp(arg, "--frames") == 0) {
            if (parsePositive(valueAfter(argc, argv, i), MaxCount, result.frames)) {
                i += 1;
            } else {
                warnings << "warning: \"--frames\" needs a positive whole number; ignored\n";
            }
        } else if (std::strcmp(arg, "--fixed-step") == 0) {
            if (parseReal(valueAfter(argc, argv, i), MinFixedStep, MaxFixedStep,
                          result.fixedStep)) {
                i += 1;
            } else {
                warnings << "warning: \"--fixed-step\" needs a number of seconds from "
                         << MinFixedStep << " to " << MaxFixedStep << "; ignored\n";
            }
        } else if (std::strcmp(arg, "--capture") == 0) {
            char const* directory = valueAfter(argc, argv, i);
            if (directory != nullptr && *directory != '\0' && *directory != '-') {
                result.captureDirectory = directory;
                i += 1;
            } else {
                warnings << "warning: \"--capture\" needs a directory; ignored\n";
            }
        } else if (std::strcmp(arg, "--capture-every") == 0) {
            if (parsePositive(valueAfter(argc, argv, i), MaxCount, result.captureEvery)) {
                i += 1;
            } else {
                warnings << "warning: \"--capture-every\" needs a positive whole number; "
                            "ignored\n";
            }
        } else if (std::strcmp(arg, "--hidden") == 0) {
            result.hidden = true;
        } else if (std::strcmp(arg, "--loop") == 0) {
            result.loop = true;
        } else if (std::strcmp(arg, "--help") == 0) {
            result.help = true;
        }
    }
    return result;
}

void CommandLine::PrintUnattendedSwitches(std::ostream& out) {
    out << "  --window WIDTH HEIGHT a window of that size\n"
           "  --frames N            quit after N frames\n"
           "  --fixed-step SECONDS  advance the scene time by exactly SECONDS per frame\n"
           "  --capture DIR         write frames to DIR/frame_NNNNNN.png (frames count from 0)\n"
           "  --capture-every K     capture every K-th frame: 0, K, 2K, ... (default: 1)\n"
           "  --hidden              do not show the window\n";
}

void CommandLine::PrintUsage(std::ostream& out) {
    out << "Usage: Game [-f WIDTH HEIGHT] [-t SECONDS] [--window WIDTH HEIGHT] [--frames N]\n"
           "            [--fixed-step SECONDS] [--capture DIR [--capture-every K]] [--hidden]\n"
           "            [--loop] [--help]\n"
           "\n"
           "  -f WIDTH HEIGHT       full screen at that size (default: a 1024 x 768 window)\n"
           "  -t SECONDS            time offset of the demo's script (default: 5)\n";
    PrintUnattendedSwitches(out);
    out << "  --loop                play the demo again from its start when it ends\n"
           "  --help                print this text and exit\n"
           "\n"
           "Keys: Escape quits; Space gives the camera to the user, Ctrl+Space gives it back\n"
           "to the demo; arrows turn the camera (pan with Shift), middle-button drag turns\n"
           "(pans with Shift), Plus/Minus and the wheel change the distance (Shift: ten\n"
           "times as far per notch).\n";
}

} // namespace Game
