#pragma once

#include <Engine/Export.h>
#include <Engine/Math/Vec3f.h>
#include <cmath>
#include <ostream>

namespace Engine::Math {

// Four-component single-precision vector: homogeneous points (w defaults to 1)
// and RGBA colours.
class ENGINE_API Vec4f {
public:
    Vec4f() = default;
    Vec4f(float x, float y, float z) : x(x), y(y), z(z) {}
    Vec4f(float x, float y, float z, float w) : x(x), y(y), z(z), w(w) {}
    Vec4f(const Vec3f& v, float w) : x(v.X()), y(v.Y()), z(v.Z()), w(w) {}
    // The first four floats of the array.
    explicit Vec4f(const float* v) : x(v[0]), y(v[1]), z(v[2]), w(v[3]) {}
    Vec4f(const Vec4f&) = default;
    Vec4f& operator=(const Vec4f&) = default;

    float X() const { return x; }
    float Y() const { return y; }
    float Z() const { return z; }
    float W() const { return w; }
    Vec4f& X(float value) {
        x = value;
        return *this;
    }
    Vec4f& Y(float value) {
        y = value;
        return *this;
    }
    Vec4f& Z(float value) {
        z = value;
        return *this;
    }
    Vec4f& W(float value) {
        w = value;
        return *this;
    }

    Vec3f GetVec3f() const { return Vec3f(x, y, z); }

    // Length over all four components.
    float Length() const { return std::sqrt(x * x + y * y + z * z + w * w); }
    static float Length(const Vec4f& v) { return v.Length(); }
    // Length of x, y, z.
    float Length3() const { return std::sqrt(x * x + y * y + z * z); }
    static float Length3(const Vec4f& v) { return v.Length3(); }

    // Divides all four components by the 4D length.
    Vec4f& Normalize() {
        const float length = Length();
        x /= length;
        y /= length;
        z /= length;
        w /= length;
        return *this;
    }
    static Vec4f Normalize(const Vec4f& v) { return Vec4f(v).Normalize(); }

    // Divides x, y, z by the 3D length; w is kept.
    Vec4f& Normalize3() {
        const float length = Length3();
        x /= length;
        y /= length;
        z /= length;
        return *this;
    }
    static Vec4f Normalize3(const Vec4f& v) { return Vec4f(v).Normalize3(); }

    static float DotProd3(const Vec4f& a, const Vec4f& b) {
        return a.x * b.x + a.y * b.y + a.z * b.z;
    }
    // Cross product of x, y, z; the result is a point (w = 1).
    static Vec4f CrossProd3(const Vec4f& a, const Vec4f& b) {
        return Vec4f(a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x, 1.0f);
    }

    // Divides x, y, z by w and sets w to 1, unless w already is 1. w = 0 is
    // not guarded.
    Vec4f& MakeHomogenous() {
        if (w != 1.0f) {
            x /= w;
            y /= w;
            z /= w;
            w = 1.0f;
        }
        return *this;
    }

    Vec4f operator+(const Vec4f& o) const { return Vec4f(x + o.x, y + o.y, z + o.z, w + o.w); }
    Vec4f operator-(const Vec4f& o) const { return Vec4f(x - o.x, y - o.y, z - o.z, w - o.w); }
    Vec4f& operator+=(const Vec4f& o) {
        x += o.x;
        y += o.y;
        z += o.z;
        w += o.w;
        return *this;
    }
    Vec4f& operator-=(const Vec4f& o) {
        x -= o.x;
        y -= o.y;
        z -= o.z;
        w -= o.w;
        return *this;
    }
    // With a Vec3f, only x, y, z take part and the result is a Vec3f.
    Vec3f operator+(const Vec3f& o) const { return Vec3f(x + o.X(), y + o.Y(), z + o.Z()); }
    Vec3f operator-(const Vec3f& o) const { return Vec3f(x - o.X(), y - o.Y(), z - o.Z()); }
    Vec4f operator*(float f) const { return Vec4f(x * f, y * f, z * f, w * f); }
    Vec4f& operator*=(float f) {
        x *= f;
        y *= f;
        z *= f;
        w *= f;
        return *this;
    }

    // Exact comparison of all four components, no tolerance.
    bool operator==(const Vec4f& o) const { return x == o.x && y == o.y && z == o.z && w == o.w; }
    bool operator!=(const Vec4f& o) const { return !(*this == o); }

    float* GetGlVector() { return &x; }
    const float* GetGlVector() const { return &x; }

private:
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
    float w = 1.0f;
};

// Writes "[x, y, z, w]".
ENGINE_API std::ostream& operator<<(std::ostream& os, const Vec4f& v);

inline Vec3f::Vec3f(const Vec4f& v) : x(v.X()), y(v.Y()), z(v.Z()) {}

inline Vec3f Vec3f::operator-(const Vec4f& o) const {
    return Vec3f(x - o.X(), y - o.Y(), z - o.Z());
}

} // namespace Engine::Math
