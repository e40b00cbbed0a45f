#pragma once

// The scattering tables of the god-ray pass computed in the test itself (the
// build's own lightlookup.vlp is not needed): A(u, v) and B(u, v) of the
// model, 64 x 64, u in [0, 4], v in [0, pi/2], each stored divided by its
// largest value, as the table file holds them.

#include <Engine/Render/LightLookupTable.h>
#include <algorithm>
#include <cmath>
#include <vector>

namespace RenderTest {

constexpr double HalfPi = 1.5707963267948966;

// A(u, v) and B(u, v) of the scattering model, by fine Simpson steps.
inline double integrand(double u, double eta, bool weighted) {
    const double e = eta >= HalfPi ? (u > 0.0 ? 0.0 : 1.0) : std::exp(-u * std::tan(eta));
    return weighted ? 2.0 * std::cos(eta) * std::cos(eta) * e : e;
}

// The tables as the file stores them: 64 x 64, u in [0, 4], eta in
// [0, pi/2], each divided by its largest value.
inline Engine::Render::LightLookupTable* makeLookupTable(float beta) {
    const int n = 64;
    const double uMax = 4.0;
    std::vector<float> a(n * n);
    std::vector<float> b(n * n);
    for (int i = 0; i < n; ++i) {
        const double u = uMax * i / (n - 1);
        double sumA = 0.0;
        double sumB = 0.0;
        a[static_cast<size_t>(i)] = 0.0f;
        b[static_cast<size_t>(i)] = 0.0f;
        for (int j = 1; j < n; ++j) {
            const double v0 = HalfPi * (j - 1) / (n - 1);
            const double v1 = HalfPi * j / (n - 1);
            const int steps = 64;
            for (int k = 0; k < steps; ++k) {
                const double x0 = v0 + (v1 - v0) * k / steps;
                const double x1 = v0 + (v1 - v0) * (k + 1) / steps;
                const double xm = 0.5 * (x0 + x1);
                for (int w = 0; w < 2; ++w) {
                    const double s =
                        (x1 - x0) / 6.0 *
                        (integrand(u, x0, w) + 4.0 * integrand(u, xm, w) + integrand(u, x1, w));
                    (w == 0 ? sumA : sumB) += s;
                }
            }
            a[static_cast<size_t>(j * n + i)] = static_cast<float>(sumA);
            b[static_cast<size_t>(j * n + i)] = static_cast<float>(sumB);
        }
    }
    const float maxA = *std::max_element(a.begin(), a.end());
    const float maxB = *std::max_element(b.begin(), b.end());
    for (float& v : a) {
        v /= maxA;
    }
    for (float& v : b) {
        v /= maxB;
    }
    return new Engine::Render::LightLookupTable(a.data(), b.data(), maxA, maxB, 0.0f,
                                                static_cast<float>(uMax), 0.0f,
                                                static_cast<float>(HalfPi), beta, n, n);
}

} // namespace RenderTest
