#pragma once

#include <musicgen/Note.h>
#include <musicgen/Random.h>
#include <vector>

namespace musicgen {

// A chord of a progression: its bass note, the pad's voicing and the tones
// the arpeggio and the melody choose from (MIDI numbers).
struct Chord {
    int bass;
    std::vector<int> pad;
    std::vector<int> tones;
};

// The form of a track: tempo, progression and where each part plays, by
// chord index (from inclusive, to exclusive).
struct TrackPlan {
    double bpm = 60.0;
    int beatsPerChord = 8;
    std::vector<Chord> chords; // the last one closes the track
    double lead = 0.5;         // seconds before the first chord
    double tail = 4.0;         // seconds after the last chord for its release and the reverb
    int bassFrom = 1;
    int arpPerBeat = 2;
    int arpFrom = 2, arpTo = 0;
    double arpRest = 0.15; // chance that an arpeggio step is left out
    int melodyFrom = 4, melodyTo = 0;
    int melodyBeats = 2; // beats from one melody note to the next
    double melodyRest = 0.25;
    int melodyLow = 69, melodyHigh = 86;
};

// The notes of a track by part, and its length in seconds.
struct Score {
    double length = 0.0;
    std::vector<Note> pad, bass, arp, melody;
};

// Writes the parts of plan: the pad holds each chord, the bass plays its root
// once a bar, the arpeggio walks its tones in a pattern picked per chord and
// the melody takes small random steps through them.
Score compose(TrackPlan const& plan, Random& random);

} // namespace musicgen
