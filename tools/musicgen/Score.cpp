#include <algorithm>
#include <cstdlib>
#include <musicgen/Score.h>

namespace musicgen {

namespace {

// The tone an arpeggio pattern plays at step s of a chord with count tones.
int arpeggioIndex(int pattern, int step, int count, Random& random) {
    switch (pattern) {
    case 0: // up
        return step % count;
    case 1: // down
        return count - 1 - step % count;
    case 2: { // up and down again without repeating the ends
        int const cycle = 2 * count - 2;
        int const s = step % cycle;
        return s < count ? s : cycle - s;
    }
    default:
        return random.index(count);
    }
}

// Every pitch in [low, high] whose pitch class is one of the chord's tones.
std::vector<int> melodyCandidates(Chord const& chord, int low, int high) {
    std::vector<int> result;
    for (int pitch = low; pitch <= high; ++pitch)
        for (int const tone : chord.tones)
            if ((pitch - tone) % 12 == 0) {
                result.push_back(pitch);
                break;
            }
    return result;
}

void addPad(Score& score, Chord const& chord, double start, double hold) {
    int const count = static_cast<int>(chord.pad.size());
    for (int k = 0; k < count; ++k) {
        double const pan = count > 1 ? -0.5 + static_cast<double>(k) / (count - 1) : 0.0;
        score.pad.push_back({start, hold, chord.pad[k], 0.25, pan});
    }
}

void addBass(Score& score, Chord const& chord, double start, double beat, int bars, bool last,
             Random& random) {
    if (last) {
        score.bass.push_back({start, bars * 4 * beat, chord.bass, 0.42, 0.0});
        return;
    }
    for (int bar = 0; bar < bars; ++bar) {
        // Now and then the second bar climbs to the fifth.
        int const pitch = bar > 0 && random.chance(0.3) ? chord.bass + 7 : chord.bass;
        score.bass.push_back({start + bar * 4 * beat, 3.5 * beat, pitch, 0.42, 0.0});
    }
}

void addArpeggio(Score& score, TrackPlan const& plan, Chord const& chord, double start, double beat,
                 Random& random) {
    int const pattern = random.index(4);
    int const steps = plan.beatsPerChord * plan.arpPerBeat;
    double const step = beat / plan.arpPerBeat;
    int const count = static_cast<int>(chord.tones.size());
    for (int s = 0; s < steps; ++s) {
        int const index = arpeggioIndex(pattern, s, count, random);
        if (random.chance(plan.arpRest))
            continue;
        bool const onBeat = s % plan.arpPerBeat == 0;
        double const velocity = (onBeat ? 0.3 : 0.22) * random.uniform(0.85, 1.1);
        double const time = start + s * step + random.uniform(-0.006, 0.006);
        double const pan = (s % 2 == 0 ? -0.35 : 0.35) * random.uniform(0.6, 1.0);
        score.arp.push_back({time, 2.0 * step, chord.tones[index], velocity, pan});
    }
}

void addMelody(Score& score, TrackPlan const& plan, Chord const& chord, double start, double beat,
               int& previous, Random& random) {
    std::vector<int> const candidates = melodyCandidates(chord, plan.melodyLow, plan.melodyHigh);
    if (candidates.empty())
        return;
    int const steps = plan.beatsPerChord / plan.melodyBeats;
    for (int s = 0; s < steps; ++s) {
        if (s > 0 && random.chance(plan.melodyRest))
            continue;
        // Start from the candidate nearest the last note and step a little.
        auto const nearest =
            std::min_element(candidates.begin(), candidates.end(), [previous](int a, int b) {
                return std::abs(a - previous) < std::abs(b - previous);
            });
        int const moved = static_cast<int>(nearest - candidates.begin()) + random.index(5) - 2;
        int const index = std::clamp(moved, 0, static_cast<int>(candidates.size()) - 1);
        previous = candidates[index];
        double const time = start + s * plan.melodyBeats * beat + random.uniform(-0.01, 0.01);
        score.melody.push_back({time, 0.8 * plan.melodyBeats * beat, previous,
                                0.3 * random.uniform(0.85, 1.1), random.uniform(-0.3, 0.3)});
    }
}

} // namespace

Score compose(TrackPlan const& plan, Random& random) {
    Score score;
    double const beat = 60.0 / plan.bpm;
    double const chordLength = plan.beatsPerChord * beat;
    int const bars = plan.beatsPerChord / 4;
    int const count = static_cast<int>(plan.chords.size());
    int melodyPitch = (plan.melodyLow + plan.melodyHigh) / 2;
    for (int c = 0; c < count; ++c) {
        Chord const& chord = plan.chords[c];
        double const start = plan.lead + c * chordLength;
        bool const last = c == count - 1;
        addPad(score, chord, start, chordLength);
        if (c >= plan.bassFrom)
            addBass(score, chord, start, beat, bars, last, random);
        if (c >= plan.arpFrom && c < plan.arpTo)
            addArpeggio(score, plan, chord, start, beat, random);
        if (c >= plan.melodyFrom && c < plan.melodyTo)
            addMelody(score, plan, chord, start, beat, melodyPitch, random);
    }
    // One last high note rings over the closing chord.
    if (count > 0 && plan.melodyTo > plan.melodyFrom) {
        Chord const& closing = plan.chords.back();
        double const start = plan.lead + (count - 1) * chordLength;
        score.melody.push_back({start + beat, 2.0 * beat, closing.tones.back(), 0.22, 0.1});
    }
    score.length = plan.lead + count * chordLength + plan.tail;
    return score;
}

} // namespace musicgen
