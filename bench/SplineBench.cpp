// Cost of one spline lookup on a path of 200 key points.
#include <Engine/Util/CSplineInterpolator.h>
#include <Engine/Util/CurvePoint.h>
#include <benchmark/benchmark.h>
#include <cmath>

using Engine::Math::Vec3f;
using Engine::Util::CSplineInterpolator;
using Engine::Util::CurvePoint;

namespace {

void BM_SplineInterpolate(benchmark::State& state) {
    constexpr unsigned short Count = 200;
    auto** points = new CurvePoint*[Count];
    for (unsigned short i = 0; i < Count; ++i) {
        const float t = static_cast<float>(i);
        points[i] = new CurvePoint(Vec3f(std::sin(t), std::cos(t), t * 0.5f), t * 0.75f);
    }
    CSplineInterpolator spline(points, Count);
    float time = 0.0f;
    const float step = spline.CurveLength() / 997.0f;
    for (auto _ : state) {
        benchmark::DoNotOptimize(spline.Interpolate(time));
        time += step;
        if (time > spline.CurveLength()) {
            time = 0.0f;
        }
    }
}
BENCHMARK(BM_SplineInterpolate);

} // namespace
