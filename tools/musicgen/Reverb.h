#pragma once

#include <cstddef>
#include <musicgen/StereoBuffer.h>
#include <vector>

namespace musicgen {

// A Schroeder-Moorer room: eight damped feedback combs in parallel and four
// allpasses in series per channel, the right channel's delays a little longer
// than the left's for width.
class Reverb {
public:
    // roomSize in [0, 1) sets the tail's length, damping in [0, 1) how fast
    // its highs fade.
    Reverb(double roomSize, double damping);

    // Adds the reverberated input, scaled by wet, into out.
    void process(StereoBuffer const& in, StereoBuffer& out, double wet);

private:
    struct Comb {
        std::vector<float> line;
        std::size_t position = 0;
        float store = 0.0f;
    };
    struct Allpass {
        std::vector<float> line;
        std::size_t position = 0;
    };

    float runChannel(float input, std::vector<Comb>& combs, std::vector<Allpass>& allpasses);

    float feedback;
    float damping;
    std::vector<Comb> combsLeft, combsRight;
    std::vector<Allpass> allpassesLeft, allpassesRight;
};

} // namespace musicgen
