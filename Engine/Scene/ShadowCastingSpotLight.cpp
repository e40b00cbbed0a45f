#include <Engine/Scene/ShadowCastingSpotLight.h>
#include <Engine/Scene/ShadowMapCamera.h>

namespace Engine::Scene {

using Math::Vec3f;
using Math::Vec4f;

ShadowCastingSpotLight::ShadowCastingSpotLight(Vec3f const& intensity, bool specular,
                                               Vec4f const& location, Vec3f const& direction,
                                               float angle, float radialAttenuationExponent,
                                               World* world)
    : SpotLight(LIGHT_SHADOW_SPOT, intensity, specular, location, direction, angle,
                radialAttenuationExponent) {
    init(world);
}

ShadowCastingSpotLight::ShadowCastingSpotLight(Vec3f const& intensity, bool specular,
                                               Vec4f const& location, Vec3f const& direction,
                                               float angle, float radialAttenuationExponent,
                                               Vec3f const& attenuation, World* world)
    : SpotLight(LIGHT_SHADOW_SPOT, intensity, specular, location, direction, angle,
                radialAttenuationExponent, attenuation) {
    init(world);
}

ShadowCastingSpotLight::ShadowCastingSpotLight(LightType type, Vec3f const& intensity,
                                               bool specular, Vec4f const& location,
                                               Vec3f const& direction, float angle,
                                               float radialAttenuationExponent,
                                               Vec3f const& attenuation, World* world)
    : SpotLight(type, intensity, specular, location, direction, angle, radialAttenuationExponent,
                attenuation) {
    init(world);
}

ShadowCastingSpotLight::~ShadowCastingSpotLight() {
    delete shadowMapCamera;
}

void ShadowCastingSpotLight::init(World* world) {
    shadowMapCamera = new ShadowMapCamera(world, MapSize, MapSize, 2.0f * Angle() + MapFovMargin,
                                          MapNear, MapFar, this);
}

void ShadowCastingSpotLight::Update(Math::Mat4f const& ownerMatrix) {
    SpotLight::Update(ownerMatrix);
    shadowMapCamera->Update(ownerMatrix, true);
}

void ShadowCastingSpotLight::renderShadowMap(Util::Timer const& timer) {
    if (mapUpdatePending) {
        shadowMapCamera->RenderFrame(timer);
        mapUpdatePending = false;
        mapBlurPending = true;
    }
}

void ShadowCastingSpotLight::blurShadowMap(Render::EffectPlane* plane,
                                           Render::Shader::ShadowGaussShader* gauss) {
    if (mapBlurPending) {
        shadowMapCamera->renderGauss(plane, gauss);
        mapBlurPending = false;
    }
}

Render::ShadowMapFrameBuffer* ShadowCastingSpotLight::getShadowMapBuffer() const {
    return shadowMapCamera->getShadowMapBuffer();
}

Render::ShadowMapFrameBuffer* ShadowCastingSpotLight::getBluredShadowMapBuffer() const {
    return shadowMapCamera->getBluredShadowMapBuffer();
}

Math::Vec2f const& ShadowCastingSpotLight::getNearAndFarPlane() const {
    return shadowMapCamera->getNearAndFarPlane();
}

Math::Mat4f const& ShadowCastingSpotLight::getCameraMatrix() const {
    return shadowMapCamera->getCameraMatrix();
}

Math::Mat4f const& ShadowCastingSpotLight::getShadowLookupMatrix() const {
    return shadowMapCamera->getShadowLookupMatrix();
}

} // namespace Engine::Scene
