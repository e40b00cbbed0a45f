#pragma once

#include <Engine/Math/Mat4f.h>
#include <Engine/Math/Vec3f.h>
#include <Engine/Math/Vec4f.h>
#include <Engine/Scene/Light.h>

namespace Engine::Scene {

// A light at a point of its owner's object space that shines in all
// directions. With attenuation its reach is finite, and culling drops it when
// its sphere of influence misses the view.
class ENGINE_API PointLight : public Light {
public:
    // Brightness below which a light no longer counts: the edge of its reach.
    static constexpr float InfluenceThreshold = 0.01f;

    // Without attenuation: unlimited reach.
    PointLight(Math::Vec3f const& intensity, bool specular, Math::Vec4f const& location);
    // Attenuation: x constant, y linear, z quadratic coefficient.
    PointLight(Math::Vec3f const& intensity, bool specular, Math::Vec4f const& location,
               Math::Vec3f const& attenuation);

    // World location = ownerMatrix * location.
    void Update(Math::Mat4f const& ownerMatrix) override;

    Math::Vec4f const& Location() const { return location; }
    Math::Vec4f const& WorldLocation() const { return worldLocation; }
    // Translation by minus the world location.
    Math::Mat4f const& ViewTranslationMat() const { return viewTranslationMat; }
    float MaxDistanceOfInfluence() const { return maxDistanceOfInfluence; }

    bool AttenuationOn() const { return attenuationOn; }
    void AttenuationOn(bool value) { attenuationOn = value; }
    Math::Vec3f const& Attenuation() const { return attenuation; }
    // Stores the coefficients and recomputes the reach.
    void Attenuation(Math::Vec3f const& value);

protected:
    PointLight(LightType type, Math::Vec3f const& intensity, bool specular,
               Math::Vec4f const& location);
    PointLight(LightType type, Math::Vec3f const& intensity, bool specular,
               Math::Vec4f const& location, Math::Vec3f const& attenuation);

private:
    void updateLocationMat();
    void calcMaxDistanceOfInfluence();

    Math::Vec4f location;
    Math::Mat4f viewTranslationMat;
    Math::Vec4f worldLocation{0.0f, 0.0f, 0.0f, 1.0f};
    bool attenuationOn;
    Math::Vec3f attenuation;
    float maxDistanceOfInfluence;
    float influenceThreshold = InfluenceThreshold;
};

} // namespace Engine::Scene
