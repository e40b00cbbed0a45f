#pragma once

namespace musicgen {

// One note of a score: when it starts, how long it is held (its release comes
// after), its pitch as a MIDI number, its loudness and its place in the stereo
// field.
struct Note {
    double start = 0.0;    // seconds
    double hold = 0.0;     // seconds until the release begins
    int pitch = 60;        // MIDI note number
    double velocity = 1.0; // linear gain
    double pan = 0.0;      // -1 left to 1 right
};

double frequencyOf(int pitch);

} // namespace musicgen
