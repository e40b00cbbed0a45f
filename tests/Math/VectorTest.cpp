#include "MathTestHelpers.h"

#include <Engine/Math/Vec2f.h>
#include <Engine/Math/Vec3f.h>
#include <Engine/Math/Vec4f.h>
#include <gtest/gtest.h>
#include <sstream>
#include <type_traits>

namespace Engine::Math {
namespace {

using TestUtil::Near;

template <typename T> std::string toString(const T& value) {
    std::ostringstream out;
    out << value;
    return out.str();
}

// ---------------------------------------------------------------- Vec2f

TEST(Vec2fTest, ConstructionAccessAndStorage) {
    EXPECT_EQ(Vec2f(), Vec2f(0, 0));
    Vec2f v;
    v.X(3).Y(-4);
    EXPECT_EQ(v.X(), 3.0f);
    EXPECT_EQ(v.Y(), -4.0f);
    EXPECT_EQ(v.GetGlVector()[0], 3.0f);
    EXPECT_EQ(v.GetGlVector()[1], -4.0f);
}

TEST(Vec2fTest, LengthAndNormalize) {
    const Vec2f v(3, 4);
    EXPECT_EQ(v.Length(), 5.0f);
    EXPECT_EQ(Vec2f::Length(v), 5.0f);
    EXPECT_EQ(Vec2f::Normalize(v), Vec2f(0.6f, 0.8f));
    EXPECT_EQ(v, Vec2f(3, 4)) << "the static form must not modify its argument";
    Vec2f w(0, -2);
    w.Normalize();
    EXPECT_EQ(w, Vec2f(0, -1));
}

TEST(Vec2fTest, Arithmetic) {
    const Vec2f a(1, 2);
    const Vec2f b(10, 20);
    EXPECT_EQ(a + b, Vec2f(11, 22));
    EXPECT_EQ(b - a, Vec2f(9, 18));
    EXPECT_EQ(a * 3.0f, Vec2f(3, 6));
    Vec2f c = a;
    c += b;
    EXPECT_EQ(c, Vec2f(11, 22));
    c -= a;
    EXPECT_EQ(c, b);
    c *= 0.5f;
    EXPECT_EQ(c, Vec2f(5, 10));
    EXPECT_TRUE(a != Vec2f(1, 2.5f));
    EXPECT_FALSE(a != Vec2f(1, 2));
}

TEST(Vec2fTest, StreamsSecondComponentFirst) {
    EXPECT_EQ(toString(Vec2f(1, 2)), "[2, 1]");
}

// ---------------------------------------------------------------- Vec3f

TEST(Vec3fTest, Construction) {
    EXPECT_EQ(Vec3f(), Vec3f(0, 0, 0));
    const float values[4] = {1, 2, 3, 4};
    EXPECT_EQ(Vec3f(values), Vec3f(1, 2, 3));
    EXPECT_EQ(Vec3f(Vec4f(5, 6, 7, 8)), Vec3f(5, 6, 7));
    Vec3f v;
    v.X(1).Y(2).Z(3);
    EXPECT_EQ(v.GetGlVector()[2], 3.0f);
    EXPECT_EQ(v, Vec3f(1, 2, 3));
}

TEST(Vec3fTest, LengthAndNormalize) {
    EXPECT_EQ(Vec3f(2, 3, 6).Length(), 7.0f);
    EXPECT_EQ(Vec3f::Length(Vec3f(2, -3, 6)), 7.0f);
    const Vec3f v(0, 3, -4);
    EXPECT_EQ(Vec3f::Normalize(v), Vec3f(0, 0.6f, -0.8f));
    Vec3f w = v;
    EXPECT_EQ(&w.Normalize(), &w);
    EXPECT_EQ(w, Vec3f(0, 0.6f, -0.8f));
}

TEST(Vec3fTest, DotAndCrossProducts) {
    EXPECT_EQ(Vec3f::DotProd(Vec3f(1, 2, 3), Vec3f(4, -5, 6)), 12.0f);
    EXPECT_EQ(Vec3f::CrossProd(Vec3f(1, 0, 0), Vec3f(0, 1, 0)), Vec3f(0, 0, 1));
    EXPECT_EQ(Vec3f::CrossProd(Vec3f(0, 1, 0), Vec3f(0, 0, 1)), Vec3f(1, 0, 0));
    EXPECT_EQ(Vec3f::CrossProd(Vec3f(1, 2, 3), Vec3f(4, 5, 6)), Vec3f(-3, 6, -3));
}

TEST(Vec3fTest, ComponentMaxAndMin) {
    const Vec3f a(1, 5, -2);
    const Vec3f b(3, -1, -2.5f);
    EXPECT_EQ(a.ComponentMax(b), Vec3f(3, 5, -2));
    EXPECT_EQ(a.ComponentMin(b), Vec3f(1, -1, -2.5f));
}

TEST(Vec3fTest, InterpolateDividesInRatio) {
    const Vec3f a(1, 2, 3);
    const Vec3f b(9, -2, 7);
    EXPECT_EQ(Vec3f::Interpolate(a, b, 1, 3), a + (b - a) * 0.25f);
    EXPECT_EQ(Vec3f::Interpolate(a, b, 1, 3), Vec3f(3, 1, 4));
    EXPECT_EQ(Vec3f::Interpolate(a, b, 0, 2), a);
    EXPECT_EQ(Vec3f::Interpolate(a, b, 2, 0), b);
}

TEST(Vec3fTest, Arithmetic) {
    const Vec3f a(1, 2, 3);
    const Vec3f b(10, 20, 30);
    EXPECT_EQ(a + b, Vec3f(11, 22, 33));
    EXPECT_EQ(b - a, Vec3f(9, 18, 27));
    EXPECT_EQ(a * 2.0f, Vec3f(2, 4, 6));
    Vec3f c = a;
    c += b;
    c -= Vec3f(1, 1, 1);
    c *= 2.0f;
    EXPECT_EQ(c, Vec3f(20, 42, 64));
    EXPECT_TRUE(a != Vec3f(1, 2, 3.5f));
    EXPECT_FALSE(a != Vec3f(1, 2, 3));
}

TEST(Vec3fTest, DivisionMultipliesByReciprocal) {
    // 5 / 3 and 5 * (1 / 3) round differently in single precision.
    const float byReciprocal = 5.0f * (1.0f / 3.0f);
    ASSERT_NE(byReciprocal, 5.0f / 3.0f);
    EXPECT_EQ(Vec3f(5, 5, 5) / 3.0f, Vec3f(byReciprocal, byReciprocal, byReciprocal));
    Vec3f v(5, 10, -5);
    v /= 3.0f;
    EXPECT_EQ(v.X(), byReciprocal);
    EXPECT_EQ(Vec3f(2, 4, 6) / 2.0f, Vec3f(1, 2, 3));
}

TEST(Vec3fTest, MixedWithVec4fUsesXyzOnly) {
    const Vec3f a(10, 20, 30);
    const Vec4f b(1, 2, 3, 100);
    static_assert(std::is_same_v<decltype(a - b), Vec3f>);
    static_assert(std::is_same_v<decltype(b + a), Vec3f>);
    static_assert(std::is_same_v<decltype(b - a), Vec3f>);
    EXPECT_EQ(a - b, Vec3f(9, 18, 27));
    EXPECT_EQ(b + a, Vec3f(11, 22, 33));
    EXPECT_EQ(b - a, Vec3f(-9, -18, -27));
}

TEST(Vec3fTest, Streams) {
    EXPECT_EQ(toString(Vec3f(1, -2.5f, 3)), "[1, -2.5, 3]");
}

// ---------------------------------------------------------------- Vec4f

TEST(Vec4fTest, ConstructionDefaultsWToOne) {
    EXPECT_EQ(Vec4f(), Vec4f(0, 0, 0, 1));
    EXPECT_EQ(Vec4f(1, 2, 3).W(), 1.0f);
    EXPECT_EQ(Vec4f(Vec3f(1, 2, 3), 0.0f), Vec4f(1, 2, 3, 0));
    const float values[4] = {4, 3, 2, 0.5f};
    EXPECT_EQ(Vec4f(values), Vec4f(4, 3, 2, 0.5f));
    EXPECT_EQ(Vec4f(1, 2, 3, 4).GetVec3f(), Vec3f(1, 2, 3));
    Vec4f v;
    v.X(1).Y(2).Z(3).W(4);
    EXPECT_EQ(v.GetGlVector()[3], 4.0f);
    EXPECT_EQ(v, Vec4f(1, 2, 3, 4));
}

TEST(Vec4fTest, LengthsAndNormalization) {
    const Vec4f v(1, 1, 1, 1);
    EXPECT_EQ(v.Length(), 2.0f);
    EXPECT_EQ(Vec4f::Length(v), 2.0f);
    EXPECT_EQ(Vec4f(2, 3, 6, 100).Length3(), 7.0f);
    EXPECT_EQ(Vec4f::Length3(Vec4f(2, 3, 6, 100)), 7.0f);

    EXPECT_EQ(Vec4f::Normalize(v), Vec4f(0.5f, 0.5f, 0.5f, 0.5f));
    Vec4f w(0, 0, 3, 4);
    w.Normalize();
    EXPECT_EQ(w, Vec4f(0, 0, 0.6f, 0.8f));
}

TEST(Vec4fTest, Normalize3KeepsW) {
    const Vec4f v(0, 3, 4, 7);
    EXPECT_EQ(Vec4f::Normalize3(v), Vec4f(0, 0.6f, 0.8f, 7));
    Vec4f w = v;
    EXPECT_EQ(&w.Normalize3(), &w);
    EXPECT_EQ(w, Vec4f(0, 0.6f, 0.8f, 7));
}

TEST(Vec4fTest, ProductsIgnoreW) {
    EXPECT_EQ(Vec4f::DotProd3(Vec4f(1, 2, 3, 50), Vec4f(4, 5, 6, 60)), 32.0f);
    EXPECT_EQ(Vec4f::CrossProd3(Vec4f(1, 0, 0, 0), Vec4f(0, 1, 0, 0)), Vec4f(0, 0, 1, 1));
    EXPECT_EQ(Vec4f::CrossProd3(Vec4f(1, 2, 3, 7), Vec4f(4, 5, 6, 9)), Vec4f(-3, 6, -3, 1));
}

TEST(Vec4fTest, MakeHomogenousDividesByW) {
    Vec4f v(1, 2, 3, 2);
    EXPECT_EQ(&v.MakeHomogenous(), &v);
    EXPECT_EQ(v, Vec4f(0.5f, 1, 1.5f, 1));
    Vec4f u(1, 2, 3, 1);
    u.MakeHomogenous();
    EXPECT_EQ(u, Vec4f(1, 2, 3, 1));
    Vec4f n(2, -4, 6, -2);
    EXPECT_EQ(n.MakeHomogenous(), Vec4f(-1, 2, -3, 1));
}

TEST(Vec4fTest, ArithmeticIncludesW) {
    const Vec4f a(1, 2, 3, 4);
    const Vec4f b(10, 20, 30, 40);
    EXPECT_EQ(a + b, Vec4f(11, 22, 33, 44));
    EXPECT_EQ(b - a, Vec4f(9, 18, 27, 36));
    EXPECT_EQ(a * 2.0f, Vec4f(2, 4, 6, 8));
    Vec4f c = a;
    c += b;
    c -= Vec4f(1, 1, 1, 1);
    c *= 0.5f;
    EXPECT_EQ(c, Vec4f(5, 10.5f, 16, 21.5f));
}

TEST(Vec4fTest, EqualityIsExactOverAllFour) {
    const Vec4f a(1, 2, 3, 4);
    EXPECT_TRUE(a == Vec4f(1, 2, 3, 4));
    EXPECT_FALSE(a == Vec4f(1, 2, 3, 4.5f));
    EXPECT_TRUE(a != Vec4f(1, 2, 3, std::nextafter(4.0f, 5.0f)));
}

TEST(Vec4fTest, Streams) {
    EXPECT_EQ(toString(Vec4f(1, 2, 3, 0.5f)), "[1, 2, 3, 0.5]");
}

} // namespace
} // namespace Engine::Math
