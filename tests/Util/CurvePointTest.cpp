#include <Engine/Util/CurvePoint.h>
#include <gtest/gtest.h>

using Engine::Math::Vec3f;
using Engine::Util::CurvePoint;

TEST(CurvePoint, StartsWithoutTangent) {
    CurvePoint const point(Vec3f(1, 2, 3), 4.5f);
    EXPECT_EQ(point.Point(), Vec3f(1, 2, 3));
    EXPECT_EQ(point.Tangent(), Vec3f(0, 0, 0));
    EXPECT_EQ(point.Time(), 4.5f);
}

TEST(CurvePoint, SettersChain) {
    CurvePoint point(Vec3f(), 0.0f);
    point.Point(Vec3f(1, 0, 0)).Tangent(Vec3f(0, 2, 0)).Time(7.0f);
    EXPECT_EQ(point.Point(), Vec3f(1, 0, 0));
    EXPECT_EQ(point.Tangent(), Vec3f(0, 2, 0));
    EXPECT_EQ(point.Time(), 7.0f);
}
