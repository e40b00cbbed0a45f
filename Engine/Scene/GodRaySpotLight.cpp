#include <Engine/Scene/GodRaySpotLight.h>
#include <Engine/Scene/ShadowMapCamera.h>

namespace Engine::Scene {

GodRaySpotLight::GodRaySpotLight(Math::Vec3f const& intensity, bool specular,
                                 Math::Vec4f const& location, Math::Vec3f const& direction,
                                 float angle, float radialAttenuationExponent,
                                 Math::Vec3f const& attenuation, World* world)
    : ShadowCastingSpotLight(LIGHT_GOD_RAY_SPOT, intensity, specular, location, direction, angle,
                             radialAttenuationExponent, attenuation, world) {}

Math::Mat4f const& GodRaySpotLight::getInverseCameraMatrix() const {
    return MapCamera()->getInverseCameraMatrix();
}

} // namespace Engine::Scene
