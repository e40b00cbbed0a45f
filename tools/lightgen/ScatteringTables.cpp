#include <algorithm>
#include <cmath>
#include <lightgen/ScatteringTables.h>
#include <stdexcept>
#include <string>
#include <vector>

namespace lightgen {

namespace {

// Subdivision levels every interval gets before its error estimate is
// trusted, and the deepest level allowed.
constexpr int MIN_DEPTH = 3;
constexpr int MAX_DEPTH = 40;

// exp(-u tan(eta)). At eta = pi/2 tan goes to infinity and the integrand to 0
// for u > 0 (smoothly, with every derivative); for u = 0 it is 1 everywhere.
double attenuation(double u, double eta) {
    if (u == 0.0) {
        return 1.0;
    }
    if (eta >= HALF_PI) {
        return 0.0;
    }
    return std::exp(-u * std::tan(eta));
}

double integrandA(double u, double eta) {
    return attenuation(u, eta);
}

double integrandB(double u, double eta) {
    double const c = std::cos(eta);
    return 2.0 * c * c * attenuation(u, eta);
}

template <typename F> class AdaptiveSimpson {
public:
    explicit AdaptiveSimpson(F const& f) : f(f) {}

    double integrate(double a, double b, double tolerance) const {
        if (!(b > a)) {
            return 0.0;
        }
        double const fa = f(a);
        double const fb = f(b);
        double const fm = f(0.5 * (a + b));
        return refine(a, b, fa, fm, fb, simpson(a, b, fa, fm, fb), tolerance, 0);
    }

private:
    static double simpson(double a, double b, double fa, double fm, double fb) {
        return (b - a) / 6.0 * (fa + 4.0 * fm + fb);
    }

    // Richardson-corrected sum of both halves once they agree with the whole
    // within 15 times the tolerance (the classic adaptive Simpson criterion).
    double refine(double a, double b, double fa, double fm, double fb, double whole,
                  double tolerance, int depth) const {
        double const m = 0.5 * (a + b);
        double const flm = f(0.5 * (a + m));
        double const frm = f(0.5 * (m + b));
        double const left = simpson(a, m, fa, flm, fm);
        double const right = simpson(m, b, fm, frm, fb);
        double const delta = left + right - whole;
        if (depth >= MAX_DEPTH || (depth >= MIN_DEPTH && std::fabs(delta) <= 15.0 * tolerance)) {
            return left + right + delta / 15.0;
        }
        return refine(a, m, fa, flm, fm, left, 0.5 * tolerance, depth + 1) +
               refine(m, b, fm, frm, fb, right, 0.5 * tolerance, depth + 1);
    }

    F const& f;
};

template <typename F> double integrate(F const& f, double a, double b) {
    return AdaptiveSimpson<F>(f).integrate(a, b, INTEGRATION_TOLERANCE);
}

void checkPoint(double u, double v) {
    if (!(u >= 0.0) || !std::isfinite(u) || !(v >= 0.0) || !(v <= HALF_PI)) {
        throw std::invalid_argument("scattering integral outside u >= 0, 0 <= v <= pi/2");
    }
}

double sample(double min, double max, std::size_t i, std::size_t count) {
    return i + 1 == count ? max : min + (max - min) * double(i) / double(count - 1);
}

// One table column: the integral at every row's v, accumulated row by row so
// that each piece is integrated once and the column grows in v.
template <typename Integrand>
void integrateColumn(Integrand integrand, double u, TableParameters const& p,
                     std::vector<double>& table, std::size_t column) {
    auto const f = [&](double eta) { return integrand(u, eta); };
    double value = integrate(f, 0.0, p.minV);
    double from = p.minV;
    for (std::size_t row = 0; row < p.height; ++row) {
        double const to = sample(p.minV, p.maxV, row, p.height);
        value += integrate(f, from, to);
        from = to;
        table[row * p.width + column] = value;
    }
}

std::vector<float> normalised(std::vector<double> const& table, double largest) {
    std::vector<float> values(table.size());
    std::transform(table.begin(), table.end(), values.begin(),
                   [&](double value) { return static_cast<float>(value / largest); });
    return values;
}

} // namespace

double scatteringA(double u, double v) {
    checkPoint(u, v);
    return integrate([u](double eta) { return integrandA(u, eta); }, 0.0, v);
}

double scatteringB(double u, double v) {
    checkPoint(u, v);
    return integrate([u](double eta) { return integrandB(u, eta); }, 0.0, v);
}

vlpc::LightLookupFile computeLightLookup(TableParameters const& p) {
    // The file holds single-precision values: the checks apply to them.
    auto const single = [](double value) { return static_cast<float>(value); };
    if (!(single(p.beta) > 0.0f) || !std::isfinite(single(p.beta))) {
        throw std::invalid_argument("beta must be a single-precision number above 0");
    }
    if (p.width < 2 || p.height < 2) {
        throw std::invalid_argument("the tables need at least 2 x 2 values");
    }
    if (!(p.minU >= 0.0) || !(single(p.maxU) > single(p.minU)) || !std::isfinite(single(p.maxU))) {
        throw std::invalid_argument("the u range must satisfy 0 <= min < max in single precision");
    }
    if (!(p.minV >= 0.0) || !(p.maxV > p.minV) || !(p.maxV <= HALF_PI)) {
        throw std::invalid_argument("the v range must satisfy 0 <= min < max <= pi/2");
    }
    std::size_t const count = std::size_t(p.width) * p.height;
    std::vector<double> a(count);
    std::vector<double> b(count);
    for (std::size_t column = 0; column < p.width; ++column) {
        double const u = sample(p.minU, p.maxU, column, p.width);
        integrateColumn(integrandA, u, p, a, column);
        integrateColumn(integrandB, u, p, b, column);
    }
    // Both integrals grow in v and fall in u, so the largest values lie at
    // (minU, maxV); the search also covers round-off.
    double const largestA = *std::max_element(a.begin(), a.end());
    double const largestB = *std::max_element(b.begin(), b.end());

    vlpc::LightLookupFile file;
    file.width = p.width;
    file.height = p.height;
    file.minAB = static_cast<float>(p.minU);
    file.maxAB = static_cast<float>(p.maxU);
    file.minC = static_cast<float>(p.minV);
    file.maxC = static_cast<float>(p.maxV);
    file.beta = static_cast<float>(p.beta);
    file.maxA = static_cast<float>(largestA);
    file.maxB = static_cast<float>(largestB);
    file.a = normalised(a, largestA);
    file.b = normalised(b, largestB);
    return file;
}

} // namespace lightgen
