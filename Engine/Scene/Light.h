#pragma once

#include <Engine/Export.h>
#include <Engine/Math/Mat4f.h>
#include <Engine/Math/Vec3f.h>
#include <Engine/Scene/LightType.h>

namespace Engine::Scene {

// Base of every light source: its kind, on and specular switches and its RGB
// intensity (values above 1 are allowed). Owned by a LightComponent, which moves
// it with its scene object through Update.
class ENGINE_API Light {
public:
    Light(LightType type, Math::Vec3f const& intensity, bool specular)
        : type(type), specular(specular), intensity(intensity) {}
    virtual ~Light() = default;
    Light(Light const&) = default;
    Light& operator=(Light const&) = default;

    // Moves the light with its owner's world matrix; a plain light has no place.
    virtual void Update(Math::Mat4f const& ownerMatrix) { (void)ownerMatrix; }

    bool isOn() const { return on; }
    void turnOn() { on = true; }
    void turnOff() { on = false; }

    bool specularOn() const { return specular; }
    void specularOn(bool value) { specular = value; }

    Math::Vec3f const& Intensity() const { return intensity; }
    void Intensity(Math::Vec3f const& value) { intensity = value; }

    LightType Type() const { return type; }

private:
    LightType type;
    bool on = true;
    bool specular;
    Math::Vec3f intensity;
};

} // namespace Engine::Scene
