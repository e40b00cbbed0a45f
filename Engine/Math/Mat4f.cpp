#include <Engine/Math/Mat4f.h>
#include <cmath>
#include <type_traits>
#include <utility>

namespace Engine::Math {

static_assert(sizeof(Mat4f) == 16 * sizeof(float));
static_assert(std::is_trivially_copyable_v<Mat4f>);

namespace {

// Replaces columns i and j (0-based) of a by c*ci + s*cj and c*cj - s*ci, over
// all four rows: the in-place product a * R for a rotation R acting on the two
// axes i and j.
void rotateColumns(float* a, int i, int j, float c, float s) {
    float* ci = a + i * 4;
    float* cj = a + j * 4;
    for (int r = 0; r < 4; ++r) {
        const float vi = ci[r];
        const float vj = cj[r];
        ci[r] = c * vi + s * vj;
        cj[r] = c * vj - s * vi;
    }
}

} // namespace

Mat4f& Mat4f::Transpose() {
    std::swap(m[1], m[4]);
    std::swap(m[2], m[8]);
    std::swap(m[3], m[12]);
    std::swap(m[6], m[9]);
    std::swap(m[7], m[13]);
    std::swap(m[11], m[14]);
    return *this;
}

Mat4f Mat4f::Transpose(const Mat4f& a) {
    return Mat4f(a).Transpose();
}

Mat4f& Mat4f::Invert() {
    const Vec3f t(m[12], m[13], m[14]);
    m[12] = 0.0f;
    m[13] = 0.0f;
    m[14] = 0.0f;
    Transpose();
    const Vec3f u = *this * t;
    m[12] = -u.X();
    m[13] = -u.Y();
    m[14] = -u.Z();
    return *this;
}

Mat4f Mat4f::Invert(const Mat4f& a) {
    return Mat4f(a).Invert();
}

Mat4f Mat4f::RotateX(float angle) {
    return Mat4f(Mat3f::RotateX(angle));
}

Mat4f Mat4f::RotateY(float angle) {
    return Mat4f(Mat3f::RotateY(angle));
}

Mat4f Mat4f::RotateZ(float angle) {
    return Mat4f(Mat3f::RotateZ(angle));
}

Mat4f Mat4f::RotateAxis(const Vec3f& axis, float angle) {
    return Mat4f(Mat3f::RotateAxis(axis, angle));
}

Mat4f Mat4f::Translate(const Vec3f& v) {
    Mat4f r;
    r.m[12] = v.X();
    r.m[13] = v.Y();
    r.m[14] = v.Z();
    return r;
}

Mat4f Mat4f::Scale(const Vec3f& v) {
    Mat4f r;
    r.m[0] = v.X();
    r.m[5] = v.Y();
    r.m[10] = v.Z();
    return r;
}

Mat4f& Mat4f::RotateX(Mat4f& a, float angle) {
    // Column 2 becomes c*col2 + s*col3, column 3 becomes c*col3 - s*col2.
    rotateColumns(a.m, 1, 2, std::cos(angle), std::sin(angle));
    return a;
}

Mat4f& Mat4f::RotateY(Mat4f& a, float angle) {
    // Column 1 becomes c*col1 - s*col3, column 3 becomes c*col3 + s*col1.
    rotateColumns(a.m, 0, 2, std::cos(angle), -std::sin(angle));
    return a;
}

Mat4f& Mat4f::RotateZ(Mat4f& a, float angle) {
    // Column 1 becomes c*col1 + s*col2, column 2 becomes c*col2 - s*col1.
    rotateColumns(a.m, 0, 1, std::cos(angle), std::sin(angle));
    return a;
}

Mat4f& Mat4f::RotateAxis(Mat4f& a, const Vec3f& axis, float angle) {
    return a *= RotateAxis(axis, angle);
}

Mat4f& Mat4f::Translate(Mat4f& a, const Vec3f& v) {
    for (int r = 0; r < 4; ++r) {
        a.m[12 + r] += v.X() * a.m[r] + v.Y() * a.m[4 + r] + v.Z() * a.m[8 + r];
    }
    return a;
}

Mat4f& Mat4f::Scale(Mat4f& a, const Vec3f& v) {
    for (int r = 0; r < 4; ++r) {
        a.m[r] *= v.X();
        a.m[4 + r] *= v.Y();
        a.m[8 + r] *= v.Z();
    }
    return a;
}

Mat4f Mat4f::Persp(float fovy, float aspect, float zNear, float zFar) {
    const float top = zNear * std::tan(fovy * 0.5f);
    const float bottom = -top;
    const float right = top * aspect;
    const float left = bottom * aspect;
    Mat4f r(0.0f);
    r.M11(2.0f * zNear / (right - left));
    r.M22(2.0f * zNear / (top - bottom));
    r.M13((right + left) / (right - left));
    r.M23((top + bottom) / (top - bottom));
    r.M33(-(zFar + zNear) / (zFar - zNear));
    r.M34(-2.0f * zFar * zNear / (zFar - zNear));
    r.M43(-1.0f);
    return r;
}

Mat4f Mat4f::InversePersp(float fovy, float aspect, float zNear, float zFar) {
    const float top = zNear * std::tan(fovy * 0.5f);
    const float bottom = -top;
    const float right = top * aspect;
    const float left = bottom * aspect;
    Mat4f r(0.0f);
    r.M11((right - left) / (2.0f * zNear));
    r.M22((top - bottom) / (2.0f * zNear));
    r.M14((right + left) / (2.0f * zNear));
    r.M24((top + bottom) / (2.0f * zNear));
    r.M34(-1.0f);
    r.M43(-(zFar - zNear) / (2.0f * zFar * zNear));
    r.M44((zFar + zNear) / (2.0f * zFar * zNear));
    return r;
}

Mat4f Mat4f::Ortho(float left, float right, float bottom, float top, float zNear, float zFar) {
    Mat4f r(0.0f);
    r.M11(2.0f / (right - left));
    r.M22(2.0f / (top - bottom));
    r.M33(-2.0f / (zFar - zNear));
    r.M14(-(right + left) / (right - left));
    r.M24(-(top + bottom) / (top - bottom));
    r.M34(-(zFar + zNear) / (zFar - zNear));
    r.M44(1.0f);
    return r;
}

std::ostream& operator<<(std::ostream& os, const Mat4f& a) {
    return os << "[" << a.M11() << ", " << a.M12() << ", " << a.M13() << ", " << a.M14() << "; "
              << a.M21() << ", " << a.M22() << ", " << a.M23() << ", " << a.M24() << "; " << a.M31()
              << ", " << a.M32() << ", " << a.M33() << ", " << a.M34() << "; " << a.M41() << ", "
              << a.M42() << ", " << a.M43() << ", " << a.M44() << "]";
}

} // namespace Engine::Math
