#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <musicgen/WavFile.h>
#include <sndfile.h>
#include <vector>

namespace musicgen {

namespace {

std::vector<std::int16_t> toPcm16(StereoBuffer const& mix) {
    std::vector<std::int16_t> pcm(2 * mix.frames());
    auto convert = [](float sample) {
        double const scaled = std::round(static_cast<double>(sample) * 32767.0);
        return static_cast<std::int16_t>(std::clamp(scaled, -32768.0, 32767.0));
    };
    for (std::size_t i = 0; i < mix.frames(); ++i) {
        pcm[2 * i] = convert(mix.left[i]);
        pcm[2 * i + 1] = convert(mix.right[i]);
    }
    return pcm;
}

} // namespace

std::string writeWav(std::string const& path, StereoBuffer const& mix) {
    std::string const temporary = path + ".part";
    SF_INFO info{};
    info.samplerate = kSampleRate;
    info.channels = 2;
    info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    SNDFILE* file = sf_open(temporary.c_str(), SFM_WRITE, &info);
    if (!file)
        return "cannot write " + temporary + ": " + sf_strerror(nullptr);

    std::vector<std::int16_t> const pcm = toPcm16(mix);
    auto const frames = static_cast<sf_count_t>(mix.frames());
    bool const written = sf_writef_short(file, pcm.data(), frames) == frames;
    std::string error = written ? "" : std::string(sf_strerror(file));
    if (sf_close(file) != 0 && error.empty())
        error = "closing failed";
    if (error.empty() && std::rename(temporary.c_str(), path.c_str()) != 0)
        error = "cannot rename it to " + path;
    if (!error.empty()) {
        std::remove(temporary.c_str());
        return "cannot write " + temporary + ": " + error;
    }
    return "";
}

} // namespace musicgen
