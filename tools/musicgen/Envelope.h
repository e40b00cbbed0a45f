#pragma once

namespace musicgen {

// A note's amplitude over its life: a raised-cosine attack, an exponential
// decay toward a sustain level and a raised-cosine release that reaches
// exactly zero, so that no note starts or stops with a click.
struct Envelope {
    double attack = 0.01; // seconds
    double decay = 0.0;   // time constant in seconds; 0 holds the level
    double sustain = 1.0; // level the decay heads for
    double release = 0.1; // seconds

    // The level t seconds after the note starts, for a note released at hold.
    double at(double t, double hold) const;
    // How long a note released at hold sounds.
    double length(double hold) const { return hold + release; }
};

} // namespace musicgen
