#include <chrono>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <future>
#include <iostream>
#include <musicgen/Mastering.h>
#include <musicgen/Tracks.h>
#include <musicgen/WavFile.h>
#include <string>
#include <system_error>
#include <vector>

namespace {

constexpr char const* kUsage =
    "usage: musicgen --out DIR [--seed N] [--seconds S] [-q]\n"
    "Synthesizes the demo's music into DIR: track1.wav (the flight through the floating\n"
    "ruins) and track2.wav (the stone hall), 44.1 kHz 16-bit stereo.\n"
    "  --out DIR     folder to write into (created if missing)\n"
    "  --seed N      seed of the arrangement, a whole number (default 1)\n"
    "  --seconds S   cut each track to at most S seconds, with its fade (for tests)\n"
    "  -q            print nothing on success\n";

struct Options {
    std::string out;
    std::uint64_t seed = 1;
    double seconds = 0.0;
    bool quiet = false;
    bool help = false;
};

bool parseSeed(std::string const& text, std::uint64_t& seed) {
    if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos)
        return false;
    try {
        seed = std::stoull(text);
    } catch (std::exception const&) {
        return false;
    }
    return true;
}

bool parseSeconds(std::string const& text, double& seconds) {
    try {
        std::size_t used = 0;
        seconds = std::stod(text, &used);
        return used == text.size() && std::isfinite(seconds) && seconds >= 1.0;
    } catch (std::exception const&) {
        return false;
    }
}

// Fills options from args; returns an error message, empty when they are valid.
std::string parse(std::vector<std::string> const& args, Options& options) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string const& arg = args[i];
        if (arg == "--help" || arg == "-h") {
            options.help = true;
            return "";
        }
        if (arg == "-q") {
            options.quiet = true;
            continue;
        }
        if (arg != "--out" && arg != "--seed" && arg != "--seconds")
            return "unknown argument '" + arg + "'";
        if (i + 1 == args.size())
            return arg + " needs a value";
        std::string const& value = args[++i];
        if (arg == "--out")
            options.out = value;
        else if (arg == "--seed" && !parseSeed(value, options.seed))
            return "--seed needs a whole number, got '" + value + "'";
        else if (arg == "--seconds" && !parseSeconds(value, options.seconds))
            return "--seconds needs a number of at least 1, got '" + value + "'";
    }
    if (options.out.empty())
        return "--out DIR is required";
    return "";
}

} // namespace

int main(int argc, char** argv) {
    Options options;
    std::string const error = parse(std::vector<std::string>(argv + 1, argv + argc), options);
    if (!error.empty()) {
        std::cerr << "musicgen: " << error << "\n" << kUsage;
        return 1;
    }
    if (options.help) {
        std::cout << kUsage;
        return 0;
    }
    std::error_code code;
    std::filesystem::create_directories(options.out, code);
    if (!std::filesystem::is_directory(options.out)) {
        std::cerr << "musicgen: cannot create the folder " << options.out << "\n";
        return 1;
    }
    // The tracks are independent: render them side by side.
    auto const begin = std::chrono::steady_clock::now();
    std::vector<std::future<musicgen::StereoBuffer>> renders;
    for (int number = 1; number <= musicgen::kTrackCount; ++number)
        renders.push_back(std::async(std::launch::async, musicgen::renderTrack, number,
                                     options.seed, options.seconds));
    for (int number = 1; number <= musicgen::kTrackCount; ++number) {
        musicgen::StereoBuffer const mix = renders[number - 1].get();
        std::string const path =
            (std::filesystem::path(options.out) / ("track" + std::to_string(number) + ".wav"))
                .string();
        std::string const failure = musicgen::writeWav(path, mix);
        if (!failure.empty()) {
            std::cerr << "musicgen: " << failure << "\n";
            return 1;
        }
        if (!options.quiet) {
            musicgen::Levels const levels = musicgen::measure(mix);
            std::cout << path << ": " << static_cast<double>(mix.frames()) / musicgen::kSampleRate
                      << " s, peak " << 20.0 * std::log10(levels.peak) << " dBFS, RMS "
                      << 20.0 * std::log10(levels.rms) << " dBFS\n";
        }
    }
    if (!options.quiet) {
        std::chrono::duration<double> const took = std::chrono::steady_clock::now() - begin;
        std::cout << "rendered and written in " << took.count() << " s\n";
    }
    return 0;
}
