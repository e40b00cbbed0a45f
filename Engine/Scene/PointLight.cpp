#include <Engine/Scene/PointLight.h>
#include <algorithm>
#include <cmath>
#include <limits>

namespace Engine::Scene {

using Math::Mat4f;
using Math::Vec3f;
using Math::Vec4f;

PointLight::PointLight(Vec3f const& intensity, bool specular, Vec4f const& location)
    : PointLight(LIGHT_POINT, intensity, specular, location) {}

PointLight::PointLight(Vec3f const& intensity, bool specular, Vec4f const& location,
                       Vec3f const& attenuation)
    : PointLight(LIGHT_POINT, intensity, specular, location, attenuation) {}

PointLight::PointLight(LightType type, Vec3f const& intensity, bool specular, Vec4f const& location)
    : Light(type, intensity, specular), location(location), attenuationOn(false),
      attenuation(0.0f, 0.0f, 0.0f), maxDistanceOfInfluence(std::numeric_limits<float>::max()) {
    updateLocationMat();
}

PointLight::PointLight(LightType type, Vec3f const& intensity, bool specular, Vec4f const& location,
                       Vec3f const& attenuation)
    : Light(type, intensity, specular), location(location), attenuationOn(true),
      attenuation(attenuation), maxDistanceOfInfluence(0.0f) {
    calcMaxDistanceOfInfluence();
    updateLocationMat();
}

void PointLight::Update(Mat4f const& ownerMatrix) {
    worldLocation = ownerMatrix * location;
    updateLocationMat();
}

void PointLight::Attenuation(Vec3f const& value) {
    attenuation = value;
    calcMaxDistanceOfInfluence();
}

void PointLight::updateLocationMat() {
    viewTranslationMat = Mat4f();
    viewTranslationMat.M14(-worldLocation.X());
    viewTranslationMat.M24(-worldLocation.Y());
    viewTranslationMat.M34(-worldLocation.Z());
}

// The distance d at which the brightest channel m, attenuated by
// c + l d + q d^2, falls to the threshold t.
void PointLight::calcMaxDistanceOfInfluence() {
    Vec3f const& i = Intensity();
    const float m = std::max(i.X(), std::max(i.Y(), i.Z()));
    const float t = influenceThreshold;
    const float c = attenuation.X();
    const float l = attenuation.Y();
    const float q = attenuation.Z();
    if (l == 0.0f && q == 0.0f) {
        maxDistanceOfInfluence = std::numeric_limits<float>::max();
    } else if (q == 0.0f) {
        maxDistanceOfInfluence = (m / t - c) / l;
    } else {
        // The positive root of q d^2 + l d + c = m / t; the absolute value keeps
        // the result finite where the root would be imaginary.
        maxDistanceOfInfluence =
            (std::sqrt(t) * std::sqrt(std::fabs(4.0f * c * q * t - l * l * t - 4.0f * q * m)) -
             l * t) /
            (2.0f * q * t);
    }
}

} // namespace Engine::Scene
