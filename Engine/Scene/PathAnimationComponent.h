#pragma once

#include <Engine/Math/Mat4f.h>
#include <Engine/Scene/IComponent.h>
#include <Engine/Util/CSplineInterpolator.h>

namespace Engine::Render {
class CDFrameBuffer;
}
namespace Engine::Util {
class CurvePoint;
class DebugDrawSettings;
} // namespace Engine::Util

namespace Engine::Scene {

// Flies a scene object along a timed path: every update places the object on
// its position path, looking at the point of its look-at path for the same
// time, with the world's up axis (0, 1, 0) up. Owns both paths.
class ENGINE_API PathAnimationComponent : public IComponent {
public:
    // Point arrays and counts of the position and look-at paths; the paths
    // take ownership of them.
    PathAnimationComponent(Util::CurvePoint** positionPoints, unsigned short positionCount,
                           Util::CurvePoint** lookAtPoints, unsigned short lookAtCount,
                           SceneObject* owner);
    PathAnimationComponent(PathAnimationComponent const&) = delete;
    PathAnimationComponent& operator=(PathAnimationComponent const&) = delete;

    // Writes the object's matrix for time t into its position component.
    void Update(float t) override;

    // The object's world matrix at time t: origin on the position path, -Z
    // towards the look-at point, +Y as close to world up as the view allows.
    Math::Mat4f MatrixAt(float t) const;

    // Draws the position path in cyan and the look-at path in magenta, and a
    // cyan sight line from one to the other every 3 s.
    void DrawDebug(Util::DebugDrawSettings const& settings, Render::CDFrameBuffer* target);

    Util::CSplineInterpolator const& PositionPath() const { return positionPath; }
    Util::CSplineInterpolator const& LookAtPath() const { return lookAtPath; }

private:
    // Destroyed in reverse order: the look-at path first.
    Util::CSplineInterpolator positionPath;
    Util::CSplineInterpolator lookAtPath;
};

} // namespace Engine::Scene
