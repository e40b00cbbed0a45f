#pragma once

#include <Engine/Math/Mat4f.h>
#include <Engine/Math/Vec2f.h>
#include <Engine/Scene/SpotLight.h>

namespace Engine::Render {
class EffectPlane;
class ShadowMapFrameBuffer;
namespace Shader {
class ShadowGaussShader;
}
} // namespace Engine::Render
namespace Engine::Util {
class Timer;
}

namespace Engine::Scene {

class ShadowMapCamera;
class World;

// A spot light with soft shadows from a blurred variance shadow map of its
// world. The map is drawn (and then blurred) after construction and again
// only when mapNeedsUpdate() asks for it. Owns its shadow map camera.
class ENGINE_API ShadowCastingSpotLight : public SpotLight {
public:
    // Shadow map: 512 x 512 over the cone plus 5 degrees, near 0.4, far 100.
    static constexpr unsigned MapSize = 512;
    static constexpr float MapNear = 0.4f;
    static constexpr float MapFar = 100.0f;
    static constexpr float MapFovMargin = 0.0872664675116539f;

    ShadowCastingSpotLight(Math::Vec3f const& intensity, bool specular, Math::Vec4f const& location,
                           Math::Vec3f const& direction, float angle,
                           float radialAttenuationExponent, World* world);
    ShadowCastingSpotLight(Math::Vec3f const& intensity, bool specular, Math::Vec4f const& location,
                           Math::Vec3f const& direction, float angle,
                           float radialAttenuationExponent, Math::Vec3f const& attenuation,
                           World* world);
    ~ShadowCastingSpotLight() override;
    // A copy would share and later delete the same camera.
    ShadowCastingSpotLight(ShadowCastingSpotLight const&) = delete;
    ShadowCastingSpotLight& operator=(ShadowCastingSpotLight const&) = delete;

    // Moves the light, then its camera, which rebuilds the light's view.
    void Update(Math::Mat4f const& ownerMatrix) override;
    // Draws the map if an update was asked for; it is then due for a blur.
    void renderShadowMap(Util::Timer const& timer);
    // Blurs the map if it was drawn since the last blur.
    void blurShadowMap(Render::EffectPlane* plane, Render::Shader::ShadowGaussShader* gauss);
    void mapNeedsUpdate() { mapUpdatePending = true; }
    bool MapUpdatePending() const { return mapUpdatePending; }
    bool MapBlurPending() const { return mapBlurPending; }

    Render::ShadowMapFrameBuffer* getShadowMapBuffer() const;
    Render::ShadowMapFrameBuffer* getBluredShadowMapBuffer() const;
    Math::Vec2f const& getNearAndFarPlane() const;
    Math::Mat4f const& getCameraMatrix() const;
    Math::Mat4f const& getShadowLookupMatrix() const;
    ShadowMapCamera* MapCamera() const { return shadowMapCamera; }

protected:
    ShadowCastingSpotLight(LightType type, Math::Vec3f const& intensity, bool specular,
                           Math::Vec4f const& location, Math::Vec3f const& direction, float angle,
                           float radialAttenuationExponent, Math::Vec3f const& attenuation,
                           World* world);

private:
    void init(World* world);

    ShadowMapCamera* shadowMapCamera = nullptr;
    bool mapUpdatePending = true;
    bool mapBlurPending = false;
};

} // namespace Engine::Scene
