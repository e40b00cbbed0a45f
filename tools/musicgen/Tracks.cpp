#include <algorithm>
#include <cmath>
#include <musicgen/Instruments.h>
#include <musicgen/Mastering.h>
#include <musicgen/Reverb.h>
#include <musicgen/Score.h>
#include <musicgen/Tracks.h>
#include <stdexcept>

namespace musicgen {

namespace {

constexpr double kTargetRms = 0.1;      // -20 dBFS
constexpr double kPeakCeiling = 0.8414; // -1.5 dBFS
constexpr double kFadeIn = 0.3;         // seconds

// How a track sounds: its instruments, its room and its closing fade.
struct TrackSound {
    PadSound pad;
    ToneSound bass;
    FmSound arp;
    FmSound melody;
    double roomSize;
    double damping;
    double wet;
    double fadeOut; // seconds
};

std::vector<double> harmonicSeries(int count, double rolloff, double evenGain) {
    std::vector<double> result;
    for (int k = 1; k <= count; ++k)
        result.push_back((k % 2 == 0 ? evenGain : 1.0) / std::pow(k, rolloff));
    return result;
}

WaveTable const& sineTable() {
    static WaveTable const table({1.0});
    return table;
}

WaveTable const& bassTable() {
    static WaveTable const table({1.0, 0.35, 0.12, 0.05});
    return table;
}

// Track 1, the flight through the floating ruins: D minor, 72 bpm, two bars a
// chord, an electric-piano arpeggio in eighths and a glassy bell melody.
TrackPlan ruinsPlan() {
    Chord const dm{38, {50, 57, 60, 65}, {62, 65, 69, 72, 76}};
    Chord const bb{34, {46, 53, 57, 62}, {58, 62, 65, 69, 74}};
    Chord const f{41, {48, 53, 57, 64}, {60, 65, 69, 72, 76}};
    Chord const c{36, {48, 55, 62, 64}, {60, 64, 67, 72, 74}};
    Chord const gm{43, {50, 55, 58, 65}, {62, 67, 70, 74, 77}};
    Chord const asus{33, {45, 52, 57, 62}, {57, 62, 64, 69, 76}};
    TrackPlan plan;
    plan.bpm = 72.0;
    plan.chords = {dm, bb, f, c, gm, bb, dm, asus, dm, bb, gm, asus, dm};
    plan.tail = 3.5;
    plan.arpPerBeat = 2;
    plan.arpFrom = 2;
    plan.arpTo = 12;
    plan.arpRest = 0.15;
    plan.melodyFrom = 5;
    plan.melodyTo = 12;
    plan.melodyRest = 0.3;
    plan.melodyLow = 69;
    plan.melodyHigh = 84;
    return plan;
}

TrackSound ruinsSound() {
    static WaveTable const pad(harmonicSeries(12, 1.4, 1.0));
    TrackSound sound;
    sound.pad = {&pad, {2.5, 0.0, 1.0, 3.5}, 7.0, 0.13};
    sound.bass = {&bassTable(), {0.08, 2.0, 0.55, 0.9}};
    sound.arp = {&sineTable(), {0.004, 0.8, 0.0, 0.35}, 1.0, 0.25, 1.8, 0.25};
    sound.melody = {&sineTable(), {0.006, 1.8, 0.0, 0.8}, 3.5, 0.1, 0.7, 0.4};
    sound.roomSize = 0.82;
    sound.damping = 0.3;
    sound.wet = 0.7;
    sound.fadeOut = 7.0;
    return sound;
}

// Track 2, the dim stone hall: A minor, 56 bpm, darker and lower, a sparse
// arpeggio like falling drops, a low bell and a long room; it closes on the
// E major to A minor cadence and a decaying A minor chord.
TrackPlan hallPlan() {
    Chord const am{33, {45, 52, 57, 60}, {57, 60, 64, 69, 71}};
    Chord const f{41, {48, 53, 57, 64}, {57, 60, 64, 65, 69}};
    Chord const c{36, {48, 55, 60, 64}, {55, 60, 64, 67, 72}};
    Chord const g{43, {47, 55, 59, 62}, {55, 59, 62, 67, 69}};
    Chord const dm{38, {50, 53, 57, 60}, {57, 60, 62, 65, 69}};
    Chord const em{40, {47, 52, 55, 62}, {55, 59, 62, 64, 67}};
    Chord const e{40, {47, 52, 56, 59}, {56, 59, 64, 68, 71}};
    TrackPlan plan;
    plan.bpm = 56.0;
    plan.chords = {am, f, c, g, dm, f, em, e, am, f, c, g, dm, em, e, am};
    plan.tail = 9.0;
    plan.arpPerBeat = 2;
    plan.arpFrom = 2;
    plan.arpTo = 15;
    plan.arpRest = 0.4;
    plan.melodyFrom = 4;
    plan.melodyTo = 15;
    plan.melodyRest = 0.4;
    plan.melodyLow = 57;
    plan.melodyHigh = 76;
    return plan;
}

TrackSound hallSound() {
    static WaveTable const pad(harmonicSeries(9, 1.7, 0.35));
    TrackSound sound;
    sound.pad = {&pad, {3.5, 0.0, 1.0, 6.0}, 5.0, 0.09};
    sound.bass = {&bassTable(), {0.15, 3.0, 0.6, 1.5}};
    sound.arp = {&sineTable(), {0.006, 1.2, 0.0, 0.6}, 2.0, 0.2, 1.0, 0.3};
    sound.melody = {&sineTable(), {0.01, 3.0, 0.0, 1.2}, 3.5, 0.1, 0.8, 0.8};
    sound.roomSize = 0.93;
    sound.damping = 0.5;
    sound.wet = 0.8;
    sound.fadeOut = 14.0;
    return sound;
}

} // namespace

StereoBuffer renderTrack(int number, std::uint64_t seed, double maxSeconds) {
    if (number < 1 || number > kTrackCount)
        throw std::invalid_argument("no such track");
    TrackPlan const plan = number == 1 ? ruinsPlan() : hallPlan();
    TrackSound const sound = number == 1 ? ruinsSound() : hallSound();
    Random random(seed * 0x100000001B3ull + static_cast<std::uint64_t>(number));
    Score const score = compose(plan, random);

    double const length = maxSeconds > 0.0 ? std::min(score.length, maxSeconds) : score.length;
    StereoBuffer dry(static_cast<std::size_t>(length * kSampleRate));
    for (Note const& note : score.pad)
        playPad(dry, sound.pad, note, random.uniform());
    for (Note const& note : score.bass)
        playTone(dry, sound.bass, note);
    for (Note const& note : score.arp)
        playFm(dry, sound.arp, note);
    for (Note const& note : score.melody)
        playFm(dry, sound.melody, note);

    StereoBuffer mix = dry;
    Reverb(sound.roomSize, sound.damping).process(dry, mix, sound.wet);
    fadeEnds(mix, kFadeIn, std::min(sound.fadeOut, length / 4.0));
    normalise(mix, kTargetRms, kPeakCeiling);
    return mix;
}

} // namespace musicgen
