#include <Engine/Util/CSplineInterpolator.h>
#include <Engine/Util/CurvePoint.h>
#include <gtest/gtest.h>
#include <initializer_list>
#include <utility>
#include <vector>

using Engine::Math::Vec3f;
using Engine::Util::CSplineInterpolator;
using Engine::Util::CurvePoint;

namespace {

// A new[] array of new points, as the interpolator takes them.
CurvePoint** makePoints(std::initializer_list<std::pair<Vec3f, float>> keys) {
    auto** points = new CurvePoint*[keys.size()];
    unsigned int i = 0;
    for (auto const& key : keys) {
        points[i++] = new CurvePoint(key.first, key.second);
    }
    return points;
}

void expectNear(Vec3f const& actual, Vec3f const& expected, float tolerance = 1e-5f) {
    EXPECT_NEAR(actual.X(), expected.X(), tolerance) << actual;
    EXPECT_NEAR(actual.Y(), expected.Y(), tolerance) << actual;
    EXPECT_NEAR(actual.Z(), expected.Z(), tolerance) << actual;
}

} // namespace

TEST(CSplineInterpolatorTest, TwoPointsMoveAtConstantSpeed) {
    CSplineInterpolator spline(makePoints({{Vec3f(0, 0, 0), 0.0f}, {Vec3f(10, 0, 0), 10.0f}}), 2);
    EXPECT_EQ(spline.Points()[0]->Tangent(), Vec3f(1, 0, 0));
    EXPECT_EQ(spline.Points()[1]->Tangent(), Vec3f(1, 0, 0));
    expectNear(spline.Interpolate(5.0f), Vec3f(5, 0, 0));
    expectNear(spline.Interpolate(2.5f), Vec3f(2.5f, 0, 0));
    EXPECT_FLOAT_EQ(spline.CurveLength(), 10.0f);
}

TEST(CSplineInterpolatorTest, RestsAtTheLastPointAfterTheLastKey) {
    CSplineInterpolator spline(makePoints({{Vec3f(0, 0, 0), 0.0f}, {Vec3f(10, 0, 0), 10.0f}}), 2);
    EXPECT_EQ(spline.Interpolate(20.0f), Vec3f(10, 0, 0));
    EXPECT_EQ(spline.Interpolate(1000.0f), Vec3f(10, 0, 0));
}

TEST(CSplineInterpolatorTest, PassesThroughEveryKeyAtItsTime) {
    CSplineInterpolator spline(makePoints({{Vec3f(0, 0, 0), 0.0f},
                                           {Vec3f(1, 2, 0), 1.0f},
                                           {Vec3f(4, 0, -1), 3.0f},
                                           {Vec3f(5, 5, 5), 3.5f}}),
                               4);
    expectNear(spline.Interpolate(0.0f), Vec3f(0, 0, 0));
    expectNear(spline.Interpolate(1.0f), Vec3f(1, 2, 0));
    expectNear(spline.Interpolate(3.0f), Vec3f(4, 0, -1));
    expectNear(spline.Interpolate(3.5f), Vec3f(5, 5, 5));
}

TEST(CSplineInterpolatorTest, MiddleTangentAveragesSlopesWeightedByTime) {
    CSplineInterpolator spline(
        makePoints({{Vec3f(0, 0, 0), 0.0f}, {Vec3f(2, 0, 0), 1.0f}, {Vec3f(2, 4, 0), 3.0f}}), 3);
    // (P1 - P0) / (2 * 1) + (P2 - P1) / (2 * 2).
    expectNear(spline.Points()[1]->Tangent(), Vec3f(1, 1, 0));
    expectNear(spline.Points()[0]->Tangent(), Vec3f(2, 0, 0));
    expectNear(spline.Points()[2]->Tangent(), Vec3f(0, 2, 0));
}

TEST(CSplineInterpolatorTest, HermiteSegmentUsesTangentsScaledBySegmentLength) {
    CSplineInterpolator spline(
        makePoints({{Vec3f(0, 0, 0), 0.0f}, {Vec3f(2, 0, 0), 1.0f}, {Vec3f(2, 4, 0), 3.0f}}), 3);
    // Halfway through the second segment (d = 2, s = 0.5): h00 = h01 = 0.5,
    // h10 = 0.125, h11 = -0.125.
    const Vec3f expected = Vec3f(2, 0, 0) * 0.5f + Vec3f(1, 1, 0) * 0.125f * 2.0f +
                           Vec3f(2, 4, 0) * 0.5f - Vec3f(0, 2, 0) * 0.125f * 2.0f;
    expectNear(spline.Interpolate(2.0f), expected);
}

TEST(CSplineInterpolatorTest, ExtrapolatesTheFirstSegmentBeforeTheFirstKey) {
    CSplineInterpolator spline(makePoints({{Vec3f(0, 0, 0), 1.0f}, {Vec3f(10, 0, 0), 11.0f}}), 2);
    // A straight segment with matching tangents is linear, also outside.
    expectNear(spline.Interpolate(0.0f), Vec3f(-1, 0, 0), 1e-4f);
}

TEST(CSplineInterpolatorTest, NullArrayGivesAnEmptyInterpolator) {
    CSplineInterpolator spline(nullptr, 0);
    EXPECT_EQ(spline.PointCount(), 0);
    EXPECT_EQ(spline.CurveLength(), 0.0f);
    EXPECT_EQ(spline.Interpolate(1.0f), Vec3f(0, 0, 0));
}

TEST(CSplineInterpolatorTest, SinglePointIsTakenButNotInterpolated) {
    // The point is owned and freed (the sanitizer build checks for leaks).
    CSplineInterpolator spline(makePoints({{Vec3f(1, 2, 3), 0.0f}}), 1);
    EXPECT_EQ(spline.PointCount(), 0);
    EXPECT_EQ(spline.Interpolate(0.0f), Vec3f(0, 0, 0));
}
