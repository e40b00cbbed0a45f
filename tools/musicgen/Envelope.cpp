#include <cmath>
#include <musicgen/Envelope.h>
#include <musicgen/StereoBuffer.h>

namespace musicgen {

double Envelope::at(double t, double hold) const {
    if (t <= 0.0 || t >= hold + release)
        return 0.0;
    double level = 1.0;
    if (t < attack)
        level = 0.5 - 0.5 * std::cos(kPi * t / attack);
    if (decay > 0.0)
        level *= sustain + (1.0 - sustain) * std::exp(-t / decay);
    if (t > hold)
        level *= 0.5 + 0.5 * std::cos(kPi * (t - hold) / release);
    return level;
}

} // namespace musicgen
