#pragma once

#include <Engine/Export.h>
#include <algorithm>
#include <cmath>
#include <ostream>

namespace Engine::Math {

class Vec4f;

// Three-component single-precision vector: positions, directions, colours.
class ENGINE_API Vec3f {
public:
    Vec3f() = default;
    Vec3f(float x, float y, float z) : x(x), y(y), z(z) {}
    // The first three floats of the array.
    explicit Vec3f(const float* v) : x(v[0]), y(v[1]), z(v[2]) {}
    // Drops w. Defined in Vec4f.h.
    inline Vec3f(const Vec4f& v);
    Vec3f(const Vec3f&) = default;
    Vec3f& operator=(const Vec3f&) = default;

    float X() const { return x; }
    float Y() const { return y; }
    float Z() const { return z; }
    Vec3f& X(float value) {
        x = value;
        return *this;
    }
    Vec3f& Y(float value) {
        y = value;
        return *this;
    }
    Vec3f& Z(float value) {
        z = value;
        return *this;
    }

    float Length() const { return std::sqrt(x * x + y * y + z * z); }
    static float Length(const Vec3f& v) { return v.Length(); }

    // Divides each component by the length; a zero vector is not guarded.
    Vec3f& Normalize() {
        const float length = Length();
        x /= length;
        y /= length;
        z /= length;
        return *this;
    }
    static Vec3f Normalize(const Vec3f& v) { return Vec3f(v).Normalize(); }

    static float DotProd(const Vec3f& a, const Vec3f& b) {
        return a.x * b.x + a.y * b.y + a.z * b.z;
    }
    static Vec3f CrossProd(const Vec3f& a, const Vec3f& b) {
        return Vec3f(a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x);
    }

    Vec3f ComponentMax(const Vec3f& o) const {
        return Vec3f(std::max(x, o.x), std::max(y, o.y), std::max(z, o.z));
    }
    Vec3f ComponentMin(const Vec3f& o) const {
        return Vec3f(std::min(x, o.x), std::min(y, o.y), std::min(z, o.z));
    }

    // The point dividing the segment from a to b in the ratio s : t, s measured
    // from a. s + t must not be 0.
    static Vec3f Interpolate(const Vec3f& a, const Vec3f& b, float s, float t) {
        return a + (b - a) * (s / (s + t));
    }

    Vec3f operator+(const Vec3f& o) const { return Vec3f(x + o.x, y + o.y, z + o.z); }
    Vec3f operator-(const Vec3f& o) const { return Vec3f(x - o.x, y - o.y, z - o.z); }
    // Uses x, y, z of o; its w is ignored. Defined in Vec4f.h.
    inline Vec3f operator-(const Vec4f& o) const;
    Vec3f& operator+=(const Vec3f& o) {
        x += o.x;
        y += o.y;
        z += o.z;
        return *this;
    }
    Vec3f& operator-=(const Vec3f& o) {
        x -= o.x;
        y -= o.y;
        z -= o.z;
        return *this;
    }
    Vec3f operator*(float f) const { return Vec3f(x * f, y * f, z * f); }
    Vec3f& operator*=(float f) {
        x *= f;
        y *= f;
        z *= f;
        return *this;
    }
    // Division multiplies by the reciprocal.
    Vec3f operator/(float f) const { return *this * (1.0f / f); }
    Vec3f& operator/=(float f) { return *this *= (1.0f / f); }

    // Exact comparison, no tolerance.
    bool operator==(const Vec3f& o) const { return x == o.x && y == o.y && z == o.z; }
    bool operator!=(const Vec3f& o) const { return !(*this == o); }

    float* GetGlVector() { return &x; }
    const float* GetGlVector() const { return &x; }

private:
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
};

// Writes "[x, y, z]".
ENGINE_API std::ostream& operator<<(std::ostream& os, const Vec3f& v);

} // namespace Engine::Math

// The conversions between Vec3f and Vec4f need both classes complete.
#include <Engine/Math/Vec4f.h>
