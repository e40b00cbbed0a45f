#pragma once

#include <Engine/Export.h>
#include <Engine/Math/Mat3f.h>
#include <Engine/Math/Vec3f.h>
#include <Engine/Math/Vec4f.h>
#include <ostream>

namespace Engine::Math {

// 4x4 single-precision matrix, stored column-major: element Mrc (row r, column
// c, counted from 1) lies at index (c-1)*4 + (r-1), the layout OpenGL takes
// without transposition. The translation of an affine transform sits in M14,
// M24, M34 (indices 12, 13, 14). Column vectors are multiplied on the right.
class ENGINE_API Mat4f {
public:
    // Identity.
    Mat4f() : Mat4f(1.0f) {}
    // d on the diagonal, 0 elsewhere.
    explicit Mat4f(float d)
        : m{d, 0.0f, 0.0f, 0.0f, 0.0f, d, 0.0f, 0.0f, 0.0f, 0.0f, d, 0.0f, 0.0f, 0.0f, 0.0f, d} {}
    // Arguments in row order (M11, M12, M13, M14, M21, ...); stored column-major.
    Mat4f(float m11, float m12, float m13, float m14, float m21, float m22, float m23, float m24,
          float m31, float m32, float m33, float m34, float m41, float m42, float m43, float m44)
        : m{m11, m21, m31, m41, m12, m22, m32, m42, m13, m23, m33, m43, m14, m24, m34, m44} {}
    // Copies 16 floats that are already in column-major order.
    explicit Mat4f(const float* values) {
        for (int i = 0; i < 16; ++i) {
            m[i] = values[i];
        }
    }
    // a in the upper left, the rest of the identity around it.
    Mat4f(const Mat3f& a)
        : m{a.M11(), a.M21(), a.M31(), 0.0f, a.M12(), a.M22(), a.M32(), 0.0f,
            a.M13(), a.M23(), a.M33(), 0.0f, 0.0f,    0.0f,    0.0f,    1.0f} {}
    Mat4f(const Mat4f&) = default;
    Mat4f& operator=(const Mat4f&) = default;

    float M11() const { return m[0]; }
    float M21() const { return m[1]; }
    float M31() const { return m[2]; }
    float M41() const { return m[3]; }
    float M12() const { return m[4]; }
    float M22() const { return m[5]; }
    float M32() const { return m[6]; }
    float M42() const { return m[7]; }
    float M13() const { return m[8]; }
    float M23() const { return m[9]; }
    float M33() const { return m[10]; }
    float M43() const { return m[11]; }
    float M14() const { return m[12]; }
    float M24() const { return m[13]; }
    float M34() const { return m[14]; }
    float M44() const { return m[15]; }
    Mat4f& M11(float v) { return set(0, v); }
    Mat4f& M21(float v) { return set(1, v); }
    Mat4f& M31(float v) { return set(2, v); }
    Mat4f& M41(float v) { return set(3, v); }
    Mat4f& M12(float v) { return set(4, v); }
    Mat4f& M22(float v) { return set(5, v); }
    Mat4f& M32(float v) { return set(6, v); }
    Mat4f& M42(float v) { return set(7, v); }
    Mat4f& M13(float v) { return set(8, v); }
    Mat4f& M23(float v) { return set(9, v); }
    Mat4f& M33(float v) { return set(10, v); }
    Mat4f& M43(float v) { return set(11, v); }
    Mat4f& M14(float v) { return set(12, v); }
    Mat4f& M24(float v) { return set(13, v); }
    Mat4f& M34(float v) { return set(14, v); }
    Mat4f& M44(float v) { return set(15, v); }

    // Transposes in place.
    Mat4f& Transpose();
    static Mat4f Transpose(const Mat4f& a);

    // Inverse of a rigid transform (orthonormal upper-left 3x3, fourth row
    // 0, 0, 0, 1): [R^T | -R^T t]. Other matrices give no true inverse.
    Mat4f& Invert();
    static Mat4f Invert(const Mat4f& a);

    // Rotation matrices; angles in radians.
    static Mat4f RotateX(float angle);
    static Mat4f RotateY(float angle);
    static Mat4f RotateZ(float angle);
    // Rotation about a unit-length axis (not normalised here).
    static Mat4f RotateAxis(const Vec3f& axis, float angle);
    static Mat4f Translate(const Vec3f& v);
    // diag(x, y, z, 1).
    static Mat4f Scale(const Vec3f& v);

    // In-place forms: a = a * (the transform), so successive calls compose in
    // the order written. Each returns a.
    static Mat4f& RotateX(Mat4f& a, float angle);
    static Mat4f& RotateY(Mat4f& a, float angle);
    static Mat4f& RotateZ(Mat4f& a, float angle);
    static Mat4f& RotateAxis(Mat4f& a, const Vec3f& axis, float angle);
    static Mat4f& Translate(Mat4f& a, const Vec3f& v);
    static Mat4f& Scale(Mat4f& a, const Vec3f& v);

    // Perspective projection; fovy is the full vertical field of view in
    // radians, aspect is width / height. Needs 0 < zNear < zFar.
    static Mat4f Persp(float fovy, float aspect, float zNear, float zFar);
    // The inverse of Persp with the same arguments: clip space to view space.
    static Mat4f InversePersp(float fovy, float aspect, float zNear, float zFar);
    static Mat4f Ortho(float left, float right, float bottom, float top, float zNear, float zFar);

    Mat4f operator*(const Mat4f& o) const {
        Mat4f r;
        for (int c = 0; c < 4; ++c) {
            const float* oc = o.m + c * 4;
            for (int row = 0; row < 4; ++row) {
                r.m[c * 4 + row] =
                    m[row] * oc[0] + m[4 + row] * oc[1] + m[8 + row] * oc[2] + m[12 + row] * oc[3];
            }
        }
        return r;
    }
    // Computed from a copy, so a *= a is correct.
    Mat4f& operator*=(const Mat4f& o) { return *this = *this * o; }

    // Full 4x4 product; the result is not divided by w.
    Vec4f operator*(const Vec4f& v) const {
        const float x = v.X();
        const float y = v.Y();
        const float z = v.Z();
        const float w = v.W();
        return Vec4f(m[0] * x + m[4] * y + m[8] * z + m[12] * w,
                     m[1] * x + m[5] * y + m[9] * z + m[13] * w,
                     m[2] * x + m[6] * y + m[10] * z + m[14] * w,
                     m[3] * x + m[7] * y + m[11] * z + m[15] * w);
    }
    // Upper-left 3x3 times v: transforms a direction, ignoring translation.
    Vec3f operator*(const Vec3f& v) const {
        const float x = v.X();
        const float y = v.Y();
        const float z = v.Z();
        return Vec3f(m[0] * x + m[4] * y + m[8] * z, m[1] * x + m[5] * y + m[9] * z,
                     m[2] * x + m[6] * y + m[10] * z);
    }

    // Exact comparison of all sixteen elements, no tolerance.
    bool operator==(const Mat4f& o) const {
        for (int i = 0; i < 16; ++i) {
            if (m[i] != o.m[i]) {
                return false;
            }
        }
        return true;
    }
    bool operator!=(const Mat4f& o) const { return !(*this == o); }

    bool IsColumnMajor() const { return true; }
    float* GetGlMatrix() { return m; }
    const float* GetGlMatrix() const { return m; }

private:
    Mat4f& set(int index, float v) {
        m[index] = v;
        return *this;
    }

    float m[16];
};

// Writes the rows "[M11, M12, M13, M14; M21, ...; M41, M42, M43, M44]".
ENGINE_API std::ostream& operator<<(std::ostream& os, const Mat4f& a);

} // namespace Engine::Math
