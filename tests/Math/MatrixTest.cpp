#include "MathTestHelpers.h"

#include <Engine/Math/Mat3f.h>
#include <Engine/Math/Mat4f.h>
#include <cmath>
#include <gtest/gtest.h>
#include <sstream>

namespace Engine::Math {
namespace {

using TestUtil::kPi;
using TestUtil::Near;

// Rows 1 2 3 4 / 5 6 7 8 / 9 10 11 12 / 13 14 15 16.
Mat4f sequence4() {
    return Mat4f(1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16);
}

// A general affine-plus-projective matrix: no zero elements, no symmetry.
Mat4f general4() {
    return Mat4f(0.9f, -0.3f, 0.2f, 4.0f, 0.1f, 1.2f, -0.5f, -2.0f, -0.4f, 0.7f, 1.1f, 3.0f, 0.25f,
                 -0.5f, 0.75f, 1.5f);
}

Mat3f general3() {
    return Mat3f(0.9f, -0.3f, 0.2f, 0.1f, 1.2f, -0.5f, -0.4f, 0.7f, 1.1f);
}

// ---------------------------------------------------------------- Mat4f

TEST(Mat4fTest, DefaultIsIdentityAndDiagonalConstructorFillsDiagonalOnly) {
    EXPECT_EQ(Mat4f(), Mat4f(1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1));
    EXPECT_EQ(Mat4f(2.5f), Mat4f(2.5f, 0, 0, 0, 0, 2.5f, 0, 0, 0, 0, 2.5f, 0, 0, 0, 0, 2.5f));
    EXPECT_TRUE(Mat4f().IsColumnMajor());
}

TEST(Mat4fTest, RowOrderConstructorStoresColumnMajor) {
    const Mat4f a = sequence4();
    EXPECT_EQ(a.M12(), 2.0f);
    EXPECT_EQ(a.M21(), 5.0f);
    EXPECT_EQ(a.M14(), 4.0f);
    EXPECT_EQ(a.M41(), 13.0f);
    const float expected[16] = {1, 5, 9, 13, 2, 6, 10, 14, 3, 7, 11, 15, 4, 8, 12, 16};
    for (int i = 0; i < 16; ++i) {
        EXPECT_EQ(a.GetGlMatrix()[i], expected[i]) << "index " << i;
    }
}

TEST(Mat4fTest, PointerConstructorCopiesColumnMajorAsIs) {
    float values[16];
    for (int i = 0; i < 16; ++i) {
        values[i] = static_cast<float>(i + 1);
    }
    const Mat4f a(values);
    EXPECT_EQ(a, Mat4f::Transpose(sequence4()));
    EXPECT_EQ(a.M21(), 2.0f);
    EXPECT_EQ(a.M14(), 13.0f);
    values[0] = 99.0f;
    EXPECT_EQ(a.M11(), 1.0f) << "the constructor must copy, not alias";
}

TEST(Mat4fTest, FromMat3fFillsUpperLeftAndIdentityBorder) {
    const Mat4f a(Mat3f(1, 2, 3, 4, 5, 6, 7, 8, 9));
    EXPECT_EQ(a, Mat4f(1, 2, 3, 0, 4, 5, 6, 0, 7, 8, 9, 0, 0, 0, 0, 1));
}

TEST(Mat4fTest, SettersChainAndWriteTheNamedElement) {
    Mat4f a;
    a.M14(7.0f).M43(-3.0f).M21(2.0f);
    EXPECT_EQ(a.GetGlMatrix()[12], 7.0f);
    EXPECT_EQ(a.GetGlMatrix()[11], -3.0f);
    EXPECT_EQ(a.GetGlMatrix()[1], 2.0f);
    EXPECT_EQ(a, Mat4f(1, 0, 0, 7, 2, 1, 0, 0, 0, 0, 1, 0, 0, 0, -3, 1));
}

TEST(Mat4fTest, TransposeStaticAndMemberAgree) {
    const Mat4f a = sequence4();
    const Mat4f expected(1, 5, 9, 13, 2, 6, 10, 14, 3, 7, 11, 15, 4, 8, 12, 16);
    EXPECT_EQ(Mat4f::Transpose(a), expected);
    EXPECT_EQ(a, sequence4()) << "the static form must not modify its argument";
    Mat4f b = a;
    EXPECT_EQ(&b.Transpose(), &b);
    EXPECT_EQ(b, expected);
}

TEST(Mat4fTest, ProductIsRowTimesColumnAndOrdered) {
    const Mat4f a = sequence4();
    const Mat4f b(2, 0, 0, 1, 0, 1, 0, 0, 0, 0, 3, 0, 1, 0, 0, 1);
    EXPECT_EQ(a * b, Mat4f(6, 2, 9, 5, 18, 6, 21, 13, 30, 10, 33, 21, 42, 14, 45, 29));
    EXPECT_EQ(b * a, Mat4f(15, 18, 21, 24, 5, 6, 7, 8, 27, 30, 33, 36, 14, 16, 18, 20));
}

TEST(Mat4fTest, MultiplyAssignWithItselfUsesTheOriginal) {
    const Mat4f original = general4();
    const Mat4f expected = original * original;
    Mat4f a = original;
    a *= a;
    EXPECT_EQ(a, expected);

    Mat4f b = sequence4();
    b *= Mat4f(2, 0, 0, 1, 0, 1, 0, 0, 0, 0, 3, 0, 1, 0, 0, 1);
    EXPECT_EQ(b, Mat4f(6, 2, 9, 5, 18, 6, 21, 13, 30, 10, 33, 21, 42, 14, 45, 29));
}

TEST(Mat4fTest, Vec4fProductIsFullWithoutDivision) {
    const Vec4f r = sequence4() * Vec4f(1, 2, 3, 4);
    EXPECT_EQ(r, Vec4f(30, 70, 110, 150));
}

TEST(Mat4fTest, Vec3fProductUsesUpperLeft3x3Only) {
    EXPECT_EQ(sequence4() * Vec3f(1, 2, 3), Vec3f(14, 38, 62));
}

TEST(Mat4fTest, TranslateMovesPointsButNotDirections) {
    const Vec3f v(1, -2, 3);
    const Vec3f p(4, 5, 6);
    const Mat4f t = Mat4f::Translate(v);
    EXPECT_EQ(t.M14(), 1.0f);
    EXPECT_EQ(t.M24(), -2.0f);
    EXPECT_EQ(t.M34(), 3.0f);
    EXPECT_EQ(t * p, p);
    EXPECT_EQ(t * Vec4f(p, 1.0f), Vec4f(5, 3, 9, 1));
}

TEST(Mat4fTest, ScaleIsDiagonal) {
    EXPECT_EQ(Mat4f::Scale(Vec3f(2, 3, 4)), Mat4f(2, 0, 0, 0, 0, 3, 0, 0, 0, 0, 4, 0, 0, 0, 0, 1));
}

TEST(Mat4fTest, RotationsPlaceSinAndCosAsRightHanded) {
    const float a = 0.3f;
    const Mat4f x = Mat4f::RotateX(a);
    EXPECT_FLOAT_EQ(x.M22(), std::cos(a));
    EXPECT_FLOAT_EQ(x.M23(), -std::sin(a));
    EXPECT_FLOAT_EQ(x.M32(), std::sin(a));
    EXPECT_FLOAT_EQ(x.M33(), std::cos(a));
    const Mat4f y = Mat4f::RotateY(a);
    EXPECT_FLOAT_EQ(y.M11(), std::cos(a));
    EXPECT_FLOAT_EQ(y.M13(), std::sin(a));
    EXPECT_FLOAT_EQ(y.M31(), -std::sin(a));
    const Mat4f z = Mat4f::RotateZ(a);
    EXPECT_FLOAT_EQ(z.M11(), std::cos(a));
    EXPECT_FLOAT_EQ(z.M12(), -std::sin(a));
    EXPECT_FLOAT_EQ(z.M21(), std::sin(a));
    EXPECT_EQ(z.M44(), 1.0f);
    EXPECT_EQ(z.M33(), 1.0f);

    // A quarter turn about each axis maps the next axis onto the one after it.
    const float q = kPi / 2;
    EXPECT_TRUE(Near(Mat4f::RotateZ(q) * Vec3f(1, 0, 0), Vec3f(0, 1, 0)));
    EXPECT_TRUE(Near(Mat4f::RotateX(q) * Vec3f(0, 1, 0), Vec3f(0, 0, 1)));
    EXPECT_TRUE(Near(Mat4f::RotateY(q) * Vec3f(0, 0, 1), Vec3f(1, 0, 0)));
}

TEST(Mat4fTest, RotateAxisMatchesAxisRotations) {
    const float a = 0.7f;
    EXPECT_TRUE(Near(Mat4f::RotateAxis(Vec3f(0, 0, 1), a), Mat4f::RotateZ(a)));
    EXPECT_TRUE(Near(Mat4f::RotateAxis(Vec3f(1, 0, 0), a), Mat4f::RotateX(a)));
    EXPECT_TRUE(Near(Mat4f::RotateAxis(Vec3f(0, 1, 0), a), Mat4f::RotateY(a)));
    // A third of a turn about the diagonal cycles the axes x -> y -> z -> x.
    const Mat4f r = Mat4f::RotateAxis(Vec3f::Normalize(Vec3f(1, 1, 1)), 2 * kPi / 3);
    EXPECT_TRUE(Near(r * Vec3f(1, 0, 0), Vec3f(0, 1, 0)));
    EXPECT_TRUE(Near(r * Vec3f(0, 1, 0), Vec3f(0, 0, 1)));
    EXPECT_EQ(r.M44(), 1.0f);
    EXPECT_EQ(r.M14(), 0.0f);
    EXPECT_EQ(r.M41(), 0.0f);
}

TEST(Mat4fTest, InPlaceTransformsPostMultiply) {
    const Mat4f m = general4();
    const float a = 0.4f;
    const Vec3f axis = Vec3f::Normalize(Vec3f(1, -2, 0.5f));
    const Vec3f v(1.5f, -2.0f, 0.5f);
    Mat4f r = m;
    EXPECT_EQ(&Mat4f::RotateX(r, a), &r);
    EXPECT_TRUE(Near(r, m * Mat4f::RotateX(a)));
    r = m;
    EXPECT_TRUE(Near(Mat4f::RotateY(r, a), m * Mat4f::RotateY(a)));
    r = m;
    EXPECT_TRUE(Near(Mat4f::RotateZ(r, a), m * Mat4f::RotateZ(a)));
    r = m;
    EXPECT_TRUE(Near(Mat4f::RotateAxis(r, axis, a), m * Mat4f::RotateAxis(axis, a)));
    r = m;
    EXPECT_TRUE(Near(Mat4f::Translate(r, v), m * Mat4f::Translate(v)));
    r = m;
    EXPECT_TRUE(Near(Mat4f::Scale(r, v), m * Mat4f::Scale(v)));
    EXPECT_EQ(r.M14(), m.M14()) << "scaling leaves column 4 alone";
}

TEST(Mat4fTest, InPlaceRotateZRotatesTheFourthRowToo) {
    Mat4f m;
    m.M41(1).M42(2).M43(3).M44(4);
    const float a = 0.5f;
    const float c = std::cos(a);
    const float s = std::sin(a);
    Mat4f::RotateZ(m, a);
    EXPECT_FLOAT_EQ(m.M41(), c * 1 + s * 2);
    EXPECT_FLOAT_EQ(m.M42(), c * 2 - s * 1);
    EXPECT_EQ(m.M43(), 3.0f);
    EXPECT_EQ(m.M44(), 4.0f);
}

TEST(Mat4fTest, InPlaceCallsComposeInTheOrderWritten) {
    const Mat4f m = general4();
    Mat4f r = m;
    Mat4f::RotateY(r, 0.3f);
    Mat4f::RotateX(r, -1.1f);
    Mat4f::Translate(r, Vec3f(1, 2, 3));
    EXPECT_TRUE(Near(r, m * Mat4f::RotateY(0.3f) * Mat4f::RotateX(-1.1f) *
                            Mat4f::Translate(Vec3f(1, 2, 3))));
}

TEST(Mat4fTest, InvertUndoesRigidTransform) {
    const Mat4f m = Mat4f::Translate(Vec3f(3, -1, 2)) * Mat4f::RotateY(0.8f);
    const Mat4f inverse = Mat4f::Invert(m);
    EXPECT_TRUE(Near(inverse * m, Mat4f()));
    EXPECT_TRUE(Near(m * inverse, Mat4f()));
    Mat4f inPlace = m;
    EXPECT_EQ(&inPlace.Invert(), &inPlace);
    EXPECT_EQ(inPlace, inverse);
    EXPECT_TRUE(
        Near(Mat4f::Invert(Mat4f::Translate(Vec3f(1, 2, 3))), Mat4f::Translate(Vec3f(-1, -2, -3))));
}

TEST(Mat4fTest, PerspMapsNearAndFarPlanesToClipDepthLimits) {
    const float fovy = 1.0f;
    const float aspect = 1.5f;
    const float n = 0.5f;
    const float f = 100.0f;
    const Mat4f p = Mat4f::Persp(fovy, aspect, n, f);
    EXPECT_EQ(p.M43(), -1.0f);
    EXPECT_EQ(p.M44(), 0.0f);

    Vec4f nearPoint = p * Vec4f(0, 0, -n);
    EXPECT_FLOAT_EQ(nearPoint.W(), n);
    EXPECT_NEAR(nearPoint.MakeHomogenous().Z(), -1.0f, 1e-5f);
    Vec4f farPoint = p * Vec4f(0, 0, -f);
    EXPECT_NEAR(farPoint.MakeHomogenous().Z(), 1.0f, 1e-4f);

    // The top-right corner of the near plane lands on the clip-space corner.
    const float top = n * std::tan(fovy / 2);
    Vec4f corner = p * Vec4f(top * aspect, top, -n);
    corner.MakeHomogenous();
    EXPECT_NEAR(corner.X(), 1.0f, 1e-5f);
    EXPECT_NEAR(corner.Y(), 1.0f, 1e-5f);
}

TEST(Mat4fTest, InversePerspUndoesPersp) {
    const Mat4f p = Mat4f::Persp(1.2f, 16.0f / 9.0f, 0.1f, 500.0f);
    const Mat4f inverse = Mat4f::InversePersp(1.2f, 16.0f / 9.0f, 0.1f, 500.0f);
    EXPECT_TRUE(Near(p * inverse, Mat4f()));
    EXPECT_TRUE(Near(inverse * p, Mat4f()));
    // A clip-space point goes back to its view-space position.
    Vec4f view = inverse * (p * Vec4f(2, -1, -30));
    EXPECT_TRUE(Near(view.MakeHomogenous(), Vec4f(2, -1, -30), 1e-3f));
}

TEST(Mat4fTest, OrthoMapsBoxCornersToUnitCube) {
    const Mat4f o = Mat4f::Ortho(-4, 6, -1, 3, 2, 12);
    EXPECT_TRUE(Near(o * Vec4f(-4, -1, -2), Vec4f(-1, -1, -1, 1)));
    EXPECT_TRUE(Near(o * Vec4f(6, 3, -12), Vec4f(1, 1, 1, 1)));
    EXPECT_TRUE(Near(o * Vec4f(1, 1, -7), Vec4f(0, 0, 0, 1)));
}

TEST(Mat4fTest, EqualityIsExact) {
    const Mat4f a = general4();
    Mat4f b = a;
    EXPECT_TRUE(a == b);
    EXPECT_FALSE(a != b);
    b.M34(std::nextafter(b.M34(), 10.0f));
    EXPECT_FALSE(a == b);
    EXPECT_TRUE(a != b);
}

TEST(Mat4fTest, StreamsRowByRow) {
    std::ostringstream out;
    out << sequence4();
    EXPECT_EQ(out.str(), "[1, 2, 3, 4; 5, 6, 7, 8; 9, 10, 11, 12; 13, 14, 15, 16]");
}

// ---------------------------------------------------------------- Mat3f

TEST(Mat3fTest, ConstructorsAndLayout) {
    EXPECT_EQ(Mat3f(), Mat3f(1, 0, 0, 0, 1, 0, 0, 0, 1));
    EXPECT_EQ(Mat3f(3.0f), Mat3f(3, 0, 0, 0, 3, 0, 0, 0, 3));
    const Mat3f a(1, 2, 3, 4, 5, 6, 7, 8, 9);
    EXPECT_EQ(a.M12(), 2.0f);
    EXPECT_EQ(a.M21(), 4.0f);
    EXPECT_EQ(a.M31(), 7.0f);
    const float expected[9] = {1, 4, 7, 2, 5, 8, 3, 6, 9};
    for (int i = 0; i < 9; ++i) {
        EXPECT_EQ(a.GetGlMatrix()[i], expected[i]) << "index " << i;
    }
    EXPECT_TRUE(a.IsColumnMajor());
    Mat3f b;
    b.M23(5.0f).M32(-5.0f);
    EXPECT_EQ(b, Mat3f(1, 0, 0, 0, 1, 5, 0, -5, 1));
}

TEST(Mat3fTest, TransposeStaticAndMemberAgree) {
    const Mat3f a(1, 2, 3, 4, 5, 6, 7, 8, 9);
    const Mat3f expected(1, 4, 7, 2, 5, 8, 3, 6, 9);
    EXPECT_EQ(Mat3f::Transpose(a), expected);
    Mat3f b = a;
    EXPECT_EQ(&b.Transpose(), &b);
    EXPECT_EQ(b, expected);
}

TEST(Mat3fTest, ProductsAreOrdered) {
    const Mat3f a(1, 2, 3, 4, 5, 6, 7, 8, 9);
    const Mat3f b(0, 1, 0, 1, 0, 0, 0, 0, 2);
    EXPECT_EQ(a * b, Mat3f(2, 1, 6, 5, 4, 12, 8, 7, 18));
    EXPECT_EQ(b * a, Mat3f(4, 5, 6, 1, 2, 3, 14, 16, 18));
    EXPECT_EQ(a * Vec3f(1, 2, 3), Vec3f(14, 32, 50));

    const Mat3f g = general3();
    Mat3f c = g;
    c *= c;
    EXPECT_EQ(c, g * g);
}

TEST(Mat3fTest, RotationsMatchTheMat4fUpperLeft) {
    const float a = 0.6f;
    const Vec3f axis = Vec3f::Normalize(Vec3f(2, 1, -1));
    EXPECT_TRUE(Near(Mat4f(Mat3f::RotateX(a)), Mat4f::RotateX(a)));
    EXPECT_TRUE(Near(Mat4f(Mat3f::RotateY(a)), Mat4f::RotateY(a)));
    EXPECT_TRUE(Near(Mat4f(Mat3f::RotateZ(a)), Mat4f::RotateZ(a)));
    EXPECT_TRUE(Near(Mat4f(Mat3f::RotateAxis(axis, a)), Mat4f::RotateAxis(axis, a)));
    EXPECT_TRUE(Near(Mat3f::RotateZ(kPi / 2) * Vec3f(1, 0, 0), Vec3f(0, 1, 0)));
}

TEST(Mat3fTest, InPlaceRotationsPostMultiply) {
    const Mat3f m = general3();
    const float a = -0.9f;
    const Vec3f axis = Vec3f::Normalize(Vec3f(0.3f, 1, 2));
    Mat3f r = m;
    EXPECT_EQ(&Mat3f::RotateX(r, a), &r);
    EXPECT_TRUE(Near(r, m * Mat3f::RotateX(a)));
    r = m;
    EXPECT_TRUE(Near(Mat3f::RotateY(r, a), m * Mat3f::RotateY(a)));
    r = m;
    EXPECT_TRUE(Near(Mat3f::RotateZ(r, a), m * Mat3f::RotateZ(a)));
    r = m;
    EXPECT_TRUE(Near(Mat3f::RotateAxis(r, axis, a), m * Mat3f::RotateAxis(axis, a)));

    r = m;
    Mat3f::RotateY(r, 0.2f);
    Mat3f::RotateX(r, 1.3f);
    EXPECT_TRUE(Near(r, m * Mat3f::RotateY(0.2f) * Mat3f::RotateX(1.3f)));
}

TEST(Mat3fTest, EqualityIsExact) {
    const Mat3f a = general3();
    Mat3f b = a;
    EXPECT_TRUE(a == b);
    b.M11(std::nextafter(b.M11(), -10.0f));
    EXPECT_FALSE(a == b);
    EXPECT_TRUE(a != b);
}

TEST(Mat3fTest, StreamsRowByRow) {
    std::ostringstream out;
    out << Mat3f();
    EXPECT_EQ(out.str(), "[1, 0, 0; 0, 1, 0; 0, 0, 1]");
    out.str("");
    out << Mat3f(1, 2, 3, 4, 5, 6, 7, 8, 9.5f);
    EXPECT_EQ(out.str(), "[1, 2, 3; 4, 5, 6; 7, 8, 9.5]");
}

} // namespace
} // namespace Engine::Math
