#pragma once

#include <musicgen/Envelope.h>
#include <musicgen/Note.h>
#include <musicgen/StereoBuffer.h>
#include <musicgen/WaveTable.h>

namespace musicgen {

// A sustained pad voice: three slightly detuned copies of a wave table spread
// across the stereo field, with a slow swell.
struct PadSound {
    WaveTable const* table = nullptr;
    Envelope envelope;
    double detuneCents = 7.0;
    double swellHz = 0.13;
};

// A two-operator FM voice (a sine carrier whose phase a sine modulator
// bends): an electric piano at a modulator ratio of 1, a bell at
// inharmonic ratios. The modulation index fades from attackIndex to index.
struct FmSound {
    WaveTable const* sine = nullptr;
    Envelope envelope;
    double ratio = 1.0;
    double index = 0.3;
    double attackIndex = 1.5;
    double indexDecay = 0.4; // seconds
};

// A voice that plays a wave table once per cycle of the note: the bass.
struct ToneSound {
    WaveTable const* table = nullptr;
    Envelope envelope;
};

// Each adds one note into out; the phase randomness comes from phaseSeed so
// that the result is reproducible.
void playPad(StereoBuffer& out, PadSound const& sound, Note const& note, double phaseSeed);
void playFm(StereoBuffer& out, FmSound const& sound, Note const& note);
void playTone(StereoBuffer& out, ToneSound const& sound, Note const& note);

} // namespace musicgen
