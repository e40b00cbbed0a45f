#pragma once

#include <cstdint>
#include <vlpc/LightLookupFormat.h>

// The single-scattering integrals of a point light in a homogeneous medium and
// the lookup tables built from them. With the substitution along the view ray
// the in-scattered light reduces to
//   A(u, v) = integral from 0 to v of exp(-u tan(eta)) d eta
//   B(u, v) = integral from 0 to v of 2 cos(eta)^2 exp(-u tan(eta)) d eta
// where u >= 0 is an optical distance (beta times the light's distance from the
// view ray) and v in [0, pi/2] an angle along the ray. A is the isotropic part,
// B the part weighted by 1 + cos of the scattering angle, so that the phase
// function (1 + g cos theta) / (4 pi) gives (1 - g) A + g B.
namespace lightgen {

constexpr double HALF_PI = 1.57079632679489661923;

// The sampling of the tables: columns (x) sample u uniformly from minU to maxU,
// rows (y) sample v uniformly from minV to maxV, both ends included.
struct TableParameters {
    double beta = 0.04;
    std::uint16_t width = 64;
    std::uint16_t height = 64;
    double minU = 0.0;
    double maxU = 4.0;
    double minV = 0.0;
    double maxV = HALF_PI;
};

// Absolute error bound of one adaptive Simpson integration in A and B.
constexpr double INTEGRATION_TOLERANCE = 1e-12;

// Both integrals at one point, by adaptive Simpson integration in double
// precision. u must be at least 0 and v lie in [0, pi/2].
double scatteringA(double u, double v);
double scatteringB(double u, double v);

// Both tables over the parameters' ranges, each divided by its largest value.
// Throws std::invalid_argument for ranges outside u >= 0, 0 <= v <= pi/2, an
// empty range, beta <= 0 or a side below 2.
vlpc::LightLookupFile computeLightLookup(TableParameters const& parameters);

} // namespace lightgen
