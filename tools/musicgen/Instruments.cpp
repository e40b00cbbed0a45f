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

// Calls voice(frame, t, level) for each frame of span, t seconds into the
// note. levelAt(t) is evaluated every kControlFrames frames and interpolated
// linearly between, which keeps the level continuous and saves most of the
// envelope's cost.
template <class LevelAt, class Voice>
void render(Span const& span, Note const& note, LevelAt levelAt, Voice voice) {
    constexpr std::size_t kControlFrames = 16;
    double next = levelAt(timeAt(span.first, note));
    for (std::size_t block = span.first; block < span.end; block += kControlFrames) {
        double const level = next;
        next = levelAt(timeAt(block + kControlFrames, note));
        if (level == 0.0 && next == 0.0)
            continue;
        std::size_t const end = std::min(block + kControlFrames, span.end);
        for (std::size_t i = block; i < end; ++i) {
            double const fraction = static_cast<double>(i - block) / kControlFrames;
            voice(i, timeAt(i, note), level + (next - level) * fraction);
        }
    }
}

} // namespace

void playPad(StereoBuffer& out, PadSound const& sound, Note const& note, double phaseSeed) {
    double const base = frequencyOf(note.pitch);
    double const detune = std::pow(2.0, sound.detuneCents / 1200.0);
    double const frequencies[3] = {base / detune, base, base * detune};
    Pan const pans[3] = {Pan(std::clamp(note.pan - 0.6, -1.0, 1.0)), Pan(note.pan),
                         Pan(std::clamp(note.pan + 0.6, -1.0, 1.0))};
    double const swellPhase = phaseSeed * 7.0;
    auto const levelAt = [&](double t) {
        return note.velocity * sound.envelope.at(t, note.hold) *
               (0.85 + 0.15 * std::sin(2.0 * kPi * (sound.swellHz * t + swellPhase)));
    };
    render(spanOf(out, note, sound.envelope), note, levelAt,
           [&](std::size_t i, double t, double level) {
               double left = 0.0, right = 0.0;
               for (int v = 0; v < 3; ++v) {
                   double const wave = sound.table->at(frequencies[v] * t + phaseSeed * (v + 1));
                   left += wave * pans[v].left;
                   right += wave * pans[v].right;
               }
               out.left[i] += static_cast<float>(level / 3.0 * left);
               out.right[i] += static_cast<float>(level / 3.0 * right);
           });
}

void playFm(StereoBuffer& out, FmSound const& sound, Note const& note) {
    double const carrier = frequencyOf(note.pitch);
    double const modulator = carrier * sound.ratio;
    Pan const pan(note.pan);
    auto const levelAt = [&](double t) { return note.velocity * sound.envelope.at(t, note.hold); };
    render(spanOf(out, note, sound.envelope), note, levelAt,
           [&](std::size_t i, double t, double level) {
               double const index = sound.index + (sound.attackIndex - sound.index) *
                                                      std::exp(-t / sound.indexDecay);
               // The index is in radians of carrier phase; the table's phase is in cycles.
               double const bend = index / (2.0 * kPi) * sound.sine->at(modulator * t);
               out.add(i, level * sound.sine->at(carrier * t + bend), pan);
           });
}

void playTone(StereoBuffer& out, ToneSound const& sound, Note const& note) {
    double const frequency = frequencyOf(note.pitch);
    Pan const pan(note.pan);
    auto const levelAt = [&](double t) { return note.velocity * sound.envelope.at(t, note.hold); };
    render(spanOf(out, note, sound.envelope), note, levelAt,
           [&](std::size_t i, double t, double level) {
               out.add(i, level * sound.table->at(frequency * t), pan);
           });
}

} // namespace musicgen
