#pragma once

#include <Engine/Math/Vec3f.h>
#include <Engine/Scene/Light.h>

namespace Engine::Scene {

// A light from infinitely far away, like the sun: one world-space direction
// that does not follow the owner's matrix.
class ENGINE_API DirectionalLight : public Light {
public:
    DirectionalLight(Math::Vec3f const& intensity, bool specular, Math::Vec3f const& direction)
        : Light(LIGHT_DIRECTIONAL, intensity, specular), direction(direction) {}

    Math::Vec3f const& Direction() const { return direction; }
    void Direction(Math::Vec3f const& value) { direction = value; }
    // The direction towards the light.
    Math::Vec3f InverseDirection() const { return direction * -1.0f; }

private:
    Math::Vec3f direction;
};

} // namespace Engine::Scene
