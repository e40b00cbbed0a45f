#pragma once

#include <Engine/Export.h>
#include <Engine/Math/Vec3f.h>

namespace Engine::Render {
class CDFrameBuffer;
}

namespace Engine::Util {

class CurvePoint;
class DebugDrawSettings;

// A cubic Hermite spline through timed key points: the position at any time,
// with each point's tangent (velocity per second) taken from its neighbours.
// Owns the point array and its points.
class ENGINE_API CSplineInterpolator {
public:
    // Takes ownership of the array (allocated with new[]) and of its points,
    // and computes the tangents. Needs at least two points with strictly
    // increasing times; a null array or fewer points leave the interpolator
    // empty.
    CSplineInterpolator(CurvePoint** points, unsigned short count);
    ~CSplineInterpolator();
    CSplineInterpolator(CSplineInterpolator const&) = delete;
    CSplineInterpolator& operator=(CSplineInterpolator const&) = delete;

    // The position at time t. After the last key the path rests at the last
    // point; before the first key the first segment is extrapolated. An empty
    // interpolator gives (0, 0, 0).
    Math::Vec3f Interpolate(float t) const;
    // The time of the last point.
    float CurveLength() const { return curveLength; }
    unsigned short PointCount() const { return pointCount; }
    CurvePoint* const* Points() const { return points; }

    // Draws the curve in one colour as dashes of 0.1 s of curve time with
    // 0.1 s gaps, up to its last whole second, and its key points as dots.
    void DrawDebug(DebugDrawSettings const& settings, Render::CDFrameBuffer* target,
                   Math::Vec3f const& color) const;

private:
    unsigned short pointCount = 0;
    CurvePoint** points = nullptr;
    float curveLength = 0.0f;
};

} // namespace Engine::Util
