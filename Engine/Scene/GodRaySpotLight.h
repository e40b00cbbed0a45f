#pragma once

#include <Engine/Scene/ShadowCastingSpotLight.h>

namespace Engine::Scene {

// A shadow-casting spot light whose cone also scatters light in the medium
// (god rays); the scattering pass reads its unblurred shadow map and its
// inverse camera matrix.
class ENGINE_API GodRaySpotLight : public ShadowCastingSpotLight {
public:
    GodRaySpotLight(Math::Vec3f const& intensity, bool specular, Math::Vec4f const& location,
                    Math::Vec3f const& direction, float angle, float radialAttenuationExponent,
                    Math::Vec3f const& attenuation, World* world);

    // The light's clip space to world.
    Math::Mat4f const& getInverseCameraMatrix() const;
};

} // namespace Engine::Scene
