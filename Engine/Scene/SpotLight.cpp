#include <Engine/Scene/SpotLight.h>

namespace Engine::Scene {

using Math::Mat4f;
using Math::Vec3f;
using Math::Vec4f;

SpotLight::SpotLight(Vec3f const& intensity, bool specular, Vec4f const& location,
                     Vec3f const& direction, float angle, float radialAttenuationExponent)
    : SpotLight(LIGHT_SPOT, intensity, specular, location, direction, angle,
                radialAttenuationExponent) {}

SpotLight::SpotLight(Vec3f const& intensity, bool specular, Vec4f const& location,
                     Vec3f const& direction, float angle, float radialAttenuationExponent,
                     Vec3f const& attenuation)
    : SpotLight(LIGHT_SPOT, intensity, specular, location, direction, angle,
                radialAttenuationExponent, attenuation) {}

SpotLight::SpotLight(LightType type, Vec3f const& intensity, bool specular, Vec4f const& location,
                     Vec3f const& direction, float angle, float radialAttenuationExponent)
    : PointLight(type, intensity, specular, location), direction(direction), angle(angle),
      radialAttenuationExponent(radialAttenuationExponent) {}

SpotLight::SpotLight(LightType type, Vec3f const& intensity, bool specular, Vec4f const& location,
                     Vec3f const& direction, float angle, float radialAttenuationExponent,
                     Vec3f const& attenuation)
    : PointLight(type, intensity, specular, location, attenuation), direction(direction),
      angle(angle), radialAttenuationExponent(radialAttenuationExponent) {}

void SpotLight::Update(Mat4f const& ownerMatrix) {
    PointLight::Update(ownerMatrix);
    worldDirection = ownerMatrix * direction;
}

} // namespace Engine::Scene
