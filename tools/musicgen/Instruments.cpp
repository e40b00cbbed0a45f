#include <algorithm>
#include <cmath>
#include <musicgen/Instruments.h>

namespace musicgen {

double frequencyOf(int pitch) {
    return 440.0 * std::pow(2.0, (pitch - 69) / 12.0);
}

namespace {

// The frames a note covers, clipped to the buffer.
struct Span {
    std::size_t first;
    std::size_t end;
};

Span spanOf(StereoBuffer const& out, Note const& note, Envelope const& envelope) {
    double const start = std::max(0.0, note.start) * kSampleRate;
    double const end = (note.start + envelope.length(note.hold)) * kSampleRate + 1.0;
    auto const frames = static_cast<double>(out.frames());
    return {static_cast<std::size_t>(std::min(start, frames)),
            static_cast<std::size_t>(std::clamp(end, 0.0, frames))};
}

double timeAt(std::size_t frame, Note const& note) {
    return static_cast<double>(frame) / kSampleRate - note.start;
}

} // namespace

void playPad(StereoBuffer& out, PadSound const& sound, Note const& note, double phaseSeed) {
    double const base = frequencyOf(note.pitch);
    double const detune = std::pow(2.0, sound.detuneCents / 1200.0);
    double const frequencies[3] = {base / detune, base, base * detune};
    Pan const pans[3] = {Pan(std::clamp(note.pan - 0.6, -1.0, 1.0)), Pan(note.pan),
                         Pan(std::clamp(note.pan + 0.6, -1.0, 1.0))};
    double const swellPhase = phaseSeed * 7.0;
    Span const span = spanOf(out, note, sound.envelope);
    for (std::size_t i = span.first; i < span.end; ++i) {
        double const t = timeAt(i, note);
        double const level = note.velocity * sound.envelope.at(t, note.hold) *
                             (0.85 + 0.15 * std::sin(2.0 * kPi * (sound.swellHz * t + swellPhase)));
        if (level == 0.0)
            continue;
        for (int v = 0; v < 3; ++v) {
            double const phase = frequencies[v] * t + phaseSeed * (v + 1);
            out.add(i, level / 3.0 * sound.table->at(phase), pans[v]);
        }
    }
}

void playFm(StereoBuffer& out, FmSound const& sound, Note const& note) {
    double const carrier = frequencyOf(note.pitch);
    double const modulator = carrier * sound.ratio;
    Pan const pan(note.pan);
    Span const span = spanOf(out, note, sound.envelope);
    for (std::size_t i = span.first; i < span.end; ++i) {
        double const t = timeAt(i, note);
        double const level = note.velocity * sound.envelope.at(t, note.hold);
        if (level == 0.0)
            continue;
        double const index =
            sound.index + (sound.attackIndex - sound.index) * std::exp(-t / sound.indexDecay);
        // The index is in radians of carrier phase; the table's phase is in cycles.
        double const bend = index / (2.0 * kPi) * sound.sine->at(modulator * t);
        out.add(i, level * sound.sine->at(carrier * t + bend), pan);
    }
}

void playTone(StereoBuffer& out, ToneSound const& sound, Note const& note) {
    double const frequency = frequencyOf(note.pitch);
    Pan const pan(note.pan);
    Span const span = spanOf(out, note, sound.envelope);
    for (std::size_t i = span.first; i < span.end; ++i) {
        double const t = timeAt(i, note);
        double const level = note.velocity * sound.envelope.at(t, note.hold);
        if (level != 0.0)
            out.add(i, level * sound.table->at(frequency * t), pan);
    }
}

} // namespace musicgen
