#include <Engine/Math/Mat3f.h>
#include <cmath>
#include <type_traits>
#include <utility>

namespace Engine::Math {

static_assert(sizeof(Mat3f) == 9 * sizeof(float));
static_assert(std::is_trivially_copyable_v<Mat3f>);

namespace {

// Replaces columns i and j (0-based) of a by c*ci + s*cj and c*cj - s*ci, over
// all three rows: the in-place product a * R for a rotation R acting on the two
// axes i and j.
void rotateColumns(float* a, int i, int j, float c, float s) {
    float* ci = a + i * 3;
    float* cj = a + j * 3;
    for (int r = 0; r < 3; ++r) {
        const float vi = ci[r];
        const float vj = cj[r];
        ci[r] = c * vi + s * vj;
        cj[r] = c * vj - s * vi;
    }
}

} // namespace

Mat3f& Mat3f::Transpose() {
    std::swap(m[1], m[3]);
    std::swap(m[2], m[6]);
    std::swap(m[5], m[7]);
    return *this;
}

Mat3f Mat3f::Transpose(const Mat3f& a) {
    return Mat3f(a).Transpose();
}

Mat3f Mat3f::RotateX(float angle) {
    const float c = std::cos(angle);
    const float s = std::sin(angle);
    return Mat3f(1.0f, 0.0f, 0.0f, 0.0f, c, -s, 0.0f, s, c);
}

Mat3f Mat3f::RotateY(float angle) {
    const float c = std::cos(angle);
    const float s = std::sin(angle);
    return Mat3f(c, 0.0f, s, 0.0f, 1.0f, 0.0f, -s, 0.0f, c);
}

Mat3f Mat3f::RotateZ(float angle) {
    const float c = std::cos(angle);
    const float s = std::sin(angle);
    return Mat3f(c, -s, 0.0f, s, c, 0.0f, 0.0f, 0.0f, 1.0f);
}

Mat3f Mat3f::RotateAxis(const Vec3f& axis, float angle) {
    const float c = std::cos(angle);
    const float s = std::sin(angle);
    const float t = 1.0f - c;
    const float x = axis.X();
    const float y = axis.Y();
    const float z = axis.Z();
    return Mat3f(c + x * x * t, x * y * t - z * s, x * z * t + y * s, //
                 x * y * t + z * s, c + y * y * t, y * z * t - x * s, //
                 x * z * t - y * s, y * z * t + x * s, c + z * z * t);
}

Mat3f& Mat3f::RotateX(Mat3f& a, float angle) {
    // Column 2 becomes c*col2 + s*col3, column 3 becomes c*col3 - s*col2.
    rotateColumns(a.m, 1, 2, std::cos(angle), std::sin(angle));
    return a;
}

Mat3f& Mat3f::RotateY(Mat3f& a, float angle) {
    // Column 1 becomes c*col1 - s*col3, column 3 becomes c*col3 + s*col1.
    rotateColumns(a.m, 0, 2, std::cos(angle), -std::sin(angle));
    return a;
}

Mat3f& Mat3f::RotateZ(Mat3f& a, float angle) {
    // Column 1 becomes c*col1 + s*col2, column 2 becomes c*col2 - s*col1.
    rotateColumns(a.m, 0, 1, std::cos(angle), std::sin(angle));
    return a;
}

Mat3f& Mat3f::RotateAxis(Mat3f& a, const Vec3f& axis, float angle) {
    return a *= RotateAxis(axis, angle);
}

std::ostream& operator<<(std::ostream& os, const Mat3f& a) {
    return os << "[" << a.M11() << ", " << a.M12() << ", " << a.M13() << "; " //
              << a.M21() << ", " << a.M22() << ", " << a.M23() << "; "        //
              << a.M31() << ", " << a.M32() << ", " << a.M33() << "]";
}

} // namespace Engine::Math
