#pragma once

#include <Engine/Export.h>
#include <cmath>
#include <ostream>

namespace Engine::Math {

// Two-component single-precision vector, e.g. texture coordinates or screen
// positions.
class ENGINE_API Vec2f {
public:
    Vec2f() = default;
    Vec2f(float x, float y) : x(x), y(y) {}
    Vec2f(const Vec2f&) = default;
    Vec2f& operator=(const Vec2f&) = default;

    float X() const { return x; }
    float Y() const { return y; }
    Vec2f& X(float value) {
        x = value;
        return *this;
    }
    Vec2f& Y(float value) {
        y = value;
        return *this;
    }

    float Length() const { return std::sqrt(x * x + y * y); }
    static float Length(const Vec2f& v) { return v.Length(); }

    // Divides both components by the length; a zero vector is not guarded.
    Vec2f& Normalize() {
        const float length = Length();
        x /= length;
        y /= length;
        return *this;
    }
    static Vec2f Normalize(const Vec2f& v) { return Vec2f(v).Normalize(); }

    Vec2f operator+(const Vec2f& o) const { return Vec2f(x + o.x, y + o.y); }
    Vec2f operator-(const Vec2f& o) const { return Vec2f(x - o.x, y - o.y); }
    Vec2f& operator+=(const Vec2f& o) {
        x += o.x;
        y += o.y;
        return *this;
    }
    Vec2f& operator-=(const Vec2f& o) {
        x -= o.x;
        y -= o.y;
        return *this;
    }
    Vec2f operator*(float f) const { return Vec2f(x * f, y * f); }
    Vec2f& operator*=(float f) {
        x *= f;
        y *= f;
        return *this;
    }

    // Exact comparison, no tolerance.
    bool operator==(const Vec2f& o) const { return x == o.x && y == o.y; }
    bool operator!=(const Vec2f& o) const { return !(*this == o); }

    float* GetGlVector() { return &x; }
    const float* GetGlVector() const { return &x; }

private:
    float x = 0.0f;
    float y = 0.0f;
};

// Writes "[y, x]": the second component comes first.
ENGINE_API std::ostream& operator<<(std::ostream& os, const Vec2f& v);

} // namespace Engine::Math
