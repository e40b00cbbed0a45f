#include <cmath>
#include <gtest/gtest.h>
#include <lightgen/ScatteringTables.h>
#include <random>
#include <stdexcept>

using lightgen::HALF_PI;
using lightgen::scatteringA;
using lightgen::scatteringB;

namespace {

// Independent check: composite trapezoid rule on 200000 steps.
template <typename F> double trapezoid(F const& f, double v) {
    int const steps = 200000;
    double const h = v / steps;
    double sum = 0.5 * (f(0.0) + f(v));
    for (int k = 1; k < steps; ++k) {
        sum += f(k * h);
    }
    return sum * h;
}

double directA(double u, double v) {
    return trapezoid([u](double t) { return t >= HALF_PI ? 0.0 : std::exp(-u * std::tan(t)); }, v);
}

double directB(double u, double v) {
    return trapezoid(
        [u](double t) {
            return t >= HALF_PI ? 0.0
                                : 2.0 * std::cos(t) * std::cos(t) * std::exp(-u * std::tan(t));
        },
        v);
}

} // namespace

TEST(ScatteringTables, ClosedFormsAtZeroDistance) {
    for (double v : {0.0, 0.1, 0.7, 1.2, 1.5, HALF_PI}) {
        EXPECT_NEAR(scatteringA(0.0, v), v, 1e-12) << v;
        EXPECT_NEAR(scatteringB(0.0, v), v + std::sin(2.0 * v) / 2.0, 1e-12) << v;
    }
    // Far from the ray the integrand falls like exp(-u eta) near 0: A ~ 1 / u.
    EXPECT_NEAR(scatteringA(1000.0, HALF_PI), 1e-3, 1e-8);
}

TEST(ScatteringTables, TableCellsMatchDirectIntegration) {
    lightgen::TableParameters p;
    p.width = 24;
    p.height = 40;
    p.maxU = 6.0;
    vlpc::LightLookupFile const file = lightgen::computeLightLookup(p);
    ASSERT_EQ(file.a.size(), 24u * 40u);
    EXPECT_FLOAT_EQ(file.maxA, HALF_PI);
    EXPECT_FLOAT_EQ(file.maxB, HALF_PI);
    std::mt19937 random(7);
    for (int n = 0; n < 40; ++n) {
        std::size_t const x = random() % p.width;
        std::size_t const y = random() % p.height;
        double const u = p.maxU * double(x) / (p.width - 1);
        double const v = HALF_PI * double(y) / (p.height - 1);
        std::size_t const i = y * p.width + x;
        EXPECT_NEAR(file.a[i] * double(file.maxA), directA(u, v), 1e-5 * file.maxA)
            << u << ' ' << v;
        EXPECT_NEAR(file.b[i] * double(file.maxB), directB(u, v), 1e-5 * file.maxB)
            << u << ' ' << v;
    }
}

TEST(ScatteringTables, GrowInVAndFallInU) {
    lightgen::TableParameters p;
    vlpc::LightLookupFile const file = lightgen::computeLightLookup(p);
    for (std::vector<float> const* table : {&file.a, &file.b}) {
        auto at = [&](std::size_t x, std::size_t y) { return (*table)[y * p.width + x]; };
        EXPECT_EQ(at(0, p.height - 1), 1.0f);
        for (std::size_t y = 0; y < p.height; ++y) {
            for (std::size_t x = 0; x < p.width; ++x) {
                if (y == 0) {
                    EXPECT_EQ(at(x, y), 0.0f);
                    continue;
                }
                // For u > 0 the integrand vanishes towards v = pi/2, where
                // rows may agree in single precision.
                if (x == 0) {
                    EXPECT_GT(at(x, y), at(x, y - 1)) << y;
                } else {
                    EXPECT_GE(at(x, y), at(x, y - 1)) << x << ' ' << y;
                }
                if (x > 0) {
                    EXPECT_LT(at(x, y), at(x - 1, y)) << x << ' ' << y;
                }
            }
        }
    }
}

TEST(ScatteringTables, RefusesParametersOutsideTheModel) {
    auto refused = [](auto change) {
        lightgen::TableParameters p;
        change(p);
        EXPECT_THROW(lightgen::computeLightLookup(p), std::invalid_argument);
    };
    refused([](lightgen::TableParameters& p) { p.beta = 0.0; });
    refused([](lightgen::TableParameters& p) { p.width = 1; });
    refused([](lightgen::TableParameters& p) { p.maxU = 0.0; });
    refused([](lightgen::TableParameters& p) { p.maxU = 1e300; });
    refused([](lightgen::TableParameters& p) { p.maxV = 2.0; });
    EXPECT_THROW(scatteringA(-1.0, 1.0), std::invalid_argument);
}
