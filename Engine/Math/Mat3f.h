#pragma once

#include <Engine/Export.h>
#include <Engine/Math/Vec3f.h>
#include <ostream>

namespace Engine::Math {

// 3x3 single-precision matrix, stored column-major: element Mrc (row r, column
// c, counted from 1) lies at index (c-1)*3 + (r-1), the layout OpenGL takes
// without transposition.
class ENGINE_API Mat3f {
public:
    // Identity.
    Mat3f() : Mat3f(1.0f) {}
    // d on the diagonal, 0 elsewhere.
    explicit Mat3f(float d) : m{d, 0.0f, 0.0f, 0.0f, d, 0.0f, 0.0f, 0.0f, d} {}
    // Arguments in row order (M11, M12, M13, M21, ...); stored column-major.
    Mat3f(float m11, float m12, float m13, float m21, float m22, float m23, float m31, float m32,
          float m33)
        : m{m11, m21, m31, m12, m22, m32, m13, m23, m33} {}
    Mat3f(const Mat3f&) = default;
    Mat3f& operator=(const Mat3f&) = default;

    float M11() const { return m[0]; }
    float M21() const { return m[1]; }
    float M31() const { return m[2]; }
    float M12() const { return m[3]; }
    float M22() const { return m[4]; }
    float M32() const { return m[5]; }
    float M13() const { return m[6]; }
    float M23() const { return m[7]; }
    float M33() const { return m[8]; }
    Mat3f& M11(float v) { return set(0, v); }
    Mat3f& M21(float v) { return set(1, v); }
    Mat3f& M31(float v) { return set(2, v); }
    Mat3f& M12(float v) { return set(3, v); }
    Mat3f& M22(float v) { return set(4, v); }
    Mat3f& M32(float v) { return set(5, v); }
    Mat3f& M13(float v) { return set(6, v); }
    Mat3f& M23(float v) { return set(7, v); }
    Mat3f& M33(float v) { return set(8, v); }

    // Transposes in place.
    Mat3f& Transpose();
    static Mat3f Transpose(const Mat3f& a);

    // Rotation matrices; angles in radians.
    static Mat3f RotateX(float angle);
    static Mat3f RotateY(float angle);
    static Mat3f RotateZ(float angle);
    // Rotation about a unit-length axis (not normalised here).
    static Mat3f RotateAxis(const Vec3f& axis, float angle);

    // In-place forms: a = a * (the rotation), so successive calls compose in the
    // order written. Each returns a.
    static Mat3f& RotateX(Mat3f& a, float angle);
    static Mat3f& RotateY(Mat3f& a, float angle);
    static Mat3f& RotateZ(Mat3f& a, float angle);
    static Mat3f& RotateAxis(Mat3f& a, const Vec3f& axis, float angle);

    Mat3f operator*(const Mat3f& o) const {
        Mat3f r;
        for (int c = 0; c < 3; ++c) {
            for (int row = 0; row < 3; ++row) {
                r.m[c * 3 + row] =
                    m[row] * o.m[c * 3] + m[3 + row] * o.m[c * 3 + 1] + m[6 + row] * o.m[c * 3 + 2];
            }
        }
        return r;
    }
    // Computed from a copy, so a *= a is correct.
    Mat3f& operator*=(const Mat3f& o) { return *this = *this * o; }

    Vec3f operator*(const Vec3f& v) const {
        return Vec3f(m[0] * v.X() + m[3] * v.Y() + m[6] * v.Z(),
                     m[1] * v.X() + m[4] * v.Y() + m[7] * v.Z(),
                     m[2] * v.X() + m[5] * v.Y() + m[8] * v.Z());
    }

    // Exact comparison of all nine elements, no tolerance.
    bool operator==(const Mat3f& o) const {
        for (int i = 0; i < 9; ++i) {
            if (m[i] != o.m[i]) {
                return false;
            }
        }
        return true;
    }
    bool operator!=(const Mat3f& o) const { return !(*this == o); }

    bool IsColumnMajor() const { return true; }
    float* GetGlMatrix() { return m; }
    const float* GetGlMatrix() const { return m; }

private:
    Mat3f& set(int index, float v) {
        m[index] = v;
        return *this;
    }

    float m[9];
};

// Writes the rows "[M11, M12, M13; M21, M22, M23; M31, M32, M33]".
ENGINE_API std::ostream& operator<<(std::ostream& os, const Mat3f& a);

} // namespace Engine::Math
