#pragma once

#include <Engine/Math/Vec3f.h>
#include <Engine/Scene/PointLight.h>

namespace Engine::Scene {

// A point light that shines into a cone around a direction of its owner's
// object space; the light falls off towards the cone's edge.
class ENGINE_API SpotLight : public PointLight {
public:
    // angle: half the cone's opening angle in radians; exponent: radial falloff.
    SpotLight(Math::Vec3f const& intensity, bool specular, Math::Vec4f const& location,
              Math::Vec3f const& direction, float angle, float radialAttenuationExponent);
    SpotLight(Math::Vec3f const& intensity, bool specular, Math::Vec4f const& location,
              Math::Vec3f const& direction, float angle, float radialAttenuationExponent,
              Math::Vec3f const& attenuation);

    // Moves the location as a point light does; the world direction is the
    // object-space direction turned by the matrix (not normalised).
    void Update(Math::Mat4f const& ownerMatrix) override;

    Math::Vec3f const& Direction() const { return direction; }
    Math::Vec3f const& WorldDirection() const { return worldDirection; }
    // Minus the object-space direction.
    Math::Vec3f InverseDirection() const { return direction * -1.0f; }
    float Angle() const { return angle; }
    void Angle(float value) { angle = value; }
    float RadialAttenuationEpx() const { return radialAttenuationExponent; }
    void RadialAttenuationEpx(float value) { radialAttenuationExponent = value; }

protected:
    SpotLight(LightType type, Math::Vec3f const& intensity, bool specular,
              Math::Vec4f const& location, Math::Vec3f const& direction, float angle,
              float radialAttenuationExponent);
    SpotLight(LightType type, Math::Vec3f const& intensity, bool specular,
              Math::Vec4f const& location, Math::Vec3f const& direction, float angle,
              float radialAttenuationExponent, Math::Vec3f const& attenuation);

private:
    Math::Vec3f direction;
    Math::Vec3f worldDirection{0.0f, 0.0f, 0.0f};
    float angle;
    float radialAttenuationExponent;
};

} // namespace Engine::Scene
