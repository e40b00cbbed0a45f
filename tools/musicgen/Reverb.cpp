#include <musicgen/Reverb.h>

namespace musicgen {

namespace {

// Mutually prime delays in samples at 44.1 kHz.
constexpr int kCombDelays[] = {1116, 1188, 1277, 1356, 1422, 1491, 1557, 1617};
constexpr int kAllpassDelays[] = {556, 441, 341, 225};
constexpr int kStereoSpread = 23;
constexpr float kInputGain = 0.015f;
constexpr float kAllpassFeedback = 0.5f;

} // namespace

Reverb::Reverb(double roomSize, double damping)
    : feedback(static_cast<float>(0.7 + 0.28 * roomSize)), damping(static_cast<float>(damping)) {
    for (int const delay : kCombDelays) {
        combsLeft.push_back({std::vector<float>(delay, 0.0f)});
        combsRight.push_back({std::vector<float>(delay + kStereoSpread, 0.0f)});
    }
    for (int const delay : kAllpassDelays) {
        allpassesLeft.push_back({std::vector<float>(delay, 0.0f)});
        allpassesRight.push_back({std::vector<float>(delay + kStereoSpread, 0.0f)});
    }
}

float Reverb::runChannel(float input, std::vector<Comb>& combs, std::vector<Allpass>& allpasses) {
    float sum = 0.0f;
    for (Comb& comb : combs) {
        float const delayed = comb.line[comb.position];
        comb.store = delayed * (1.0f - damping) + comb.store * damping;
        comb.line[comb.position] = input + comb.store * feedback;
        if (++comb.position == comb.line.size())
            comb.position = 0;
        sum += delayed;
    }
    for (Allpass& allpass : allpasses) {
        float const delayed = allpass.line[allpass.position];
        allpass.line[allpass.position] = sum + delayed * kAllpassFeedback;
        if (++allpass.position == allpass.line.size())
            allpass.position = 0;
        sum = delayed - sum;
    }
    return sum;
}

void Reverb::process(StereoBuffer const& in, StereoBuffer& out, double wet) {
    float const gain = static_cast<float>(wet);
    for (std::size_t i = 0; i < in.frames() && i < out.frames(); ++i) {
        float const input = (in.left[i] + in.right[i]) * kInputGain;
        out.left[i] += gain * runChannel(input, combsLeft, allpassesLeft);
        out.right[i] += gain * runChannel(input, combsRight, allpassesRight);
    }
}

} // namespace musicgen
