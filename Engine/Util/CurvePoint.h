#pragma once

#include <Engine/Export.h>
#include <Engine/Math/Vec3f.h>

namespace Engine::Util {

// One timed key point of a path: where the path passes at which time (seconds)
// and the velocity there, which the spline interpolator computes from the
// neighbouring points.
class ENGINE_API CurvePoint {
public:
    // Tangent (0, 0, 0) until an interpolator sets it.
    CurvePoint(Math::Vec3f const& point, float time);

    Math::Vec3f const& Point() const { return point; }
    CurvePoint& Point(Math::Vec3f const& value) {
        point = value;
        return *this;
    }
    Math::Vec3f const& Tangent() const { return tangent; }
    CurvePoint& Tangent(Math::Vec3f const& value) {
        tangent = value;
        return *this;
    }
    float Time() const { return time; }
    CurvePoint& Time(float value) {
        time = value;
        return *this;
    }

private:
    Math::Vec3f point;
    Math::Vec3f tangent = Math::Vec3f(0.0f, 0.0f, 0.0f);
    float time;
};

} // namespace Engine::Util
