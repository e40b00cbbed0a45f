#pragma once

#include <Engine/Math/Mat4f.h>
#include <Engine/Math/Vec4f.h>
#include <Engine/Render/RenderLimits.h>
#include <Engine/Render/Shader/Shader.h>

namespace Engine::Scene {
class DirectionalLight;
class PointLight;
class ShadowCastingPointLight;
class ShadowCastingSpotLight;
class SpotLight;
} // namespace Engine::Scene

namespace Engine::Render {
class DeferredFrameBuffer;
}

namespace Engine::Render::Shader {

// The program of the deferred lighting pass: the G-buffer samplers, the camera
// and, per light kind, fixed-size arrays of light records whose uniform
// locations are resolved once here.
class ENGINE_API IlluminationShader : public Shader {
public:
    struct DirectionalLightHandles {
        int specularOn = -1;
        int inverseDir = -1;
        int color = -1;
    };
    // The members point and spot light records share.
    struct PositionalLightHandles {
        int specularOn = -1;
        int pos = -1;
        int color = -1;
        int attenuationOn = -1;
        int attenuation = -1;
        int maxDistanceOfInfluence = -1;
        int shadow = -1;
        int nearAndFarPlane = -1;
    };
    struct PointLightHandles : PositionalLightHandles {
        int shadowCubeMap = -1;
    };
    struct SpotLightHandles : PositionalLightHandles {
        int dir = -1;
        int cosAngle = -1;
        int radialAttenuationEpx = -1;
        int cameraMatrix = -1;
        int shadowMap = -1;
        int scattering = -1;
    };

    IlluminationShader(char const* vertexFile, char const* fragmentFile);
    // As above, with defines inserted after the fragment file's #version line
    // (a variant of the same source).
    IlluminationShader(char const* vertexFile, char const* fragmentFile, char const* defines);

    void SetDepthTexture(DeferredFrameBuffer* gbuffer) const;
    void SetDiffuseTexture(DeferredFrameBuffer* gbuffer) const;
    void SetSpecularTexture(DeferredFrameBuffer* gbuffer) const;
    void SetNormalTexture(DeferredFrameBuffer* gbuffer) const;
    void SetEmitTexture(DeferredFrameBuffer* gbuffer) const;
    void SetCameraWorldPos(Math::Vec4f const& position) const;
    void SetInverseCameraMatrix(Math::Mat4f const& matrix) const;
    void SetOpticalThickness(float value) const;
    // Binds the light tiles' lists (an RG32UI buffer texture, a texel per
    // tile, row after row) and sets the number of tiles in a row.
    void SetLightTiles(unsigned int texture, int columns) const;

    // Each packs one light into its array entry; an index at or above the
    // kind's limit is logged and nothing is set.
    void SetDirectionalLight(int index, Scene::DirectionalLight const* light) const;
    void SetPointLight(int index, Scene::PointLight const* light) const;
    void SetSpotLight(int index, Scene::SpotLight const* light) const;
    // With the light's shadow cube map on unit 6 + slot.
    void SetShadowCastingPointLight(int index, Scene::ShadowCastingPointLight* light,
                                    int slot) const;
    // With the light's blurred moments map on unit 8 + slot; scattering
    // marks a god-ray light.
    void SetShadowCastingSpotLight(int index, Scene::ShadowCastingSpotLight* light, int slot,
                                   bool scattering) const;
    // Bind texture in place of an entry's shadow cube map (unit 6 + slot).
    void SetShadowCastingPointLightDummy(int index, unsigned int texture, int slot) const;
    // Bind texture in place of an entry's moments map (unit 8 + slot).
    void SetShadowCastingSpotLightDummy(int index, unsigned int texture, int slot) const;

    // A count above the kind's limit is logged and the uniform keeps its value.
    void SetDirectionalLightCount(int count) const;
    void SetPointLightCount(int count) const;
    void SetShadowCastingPointLightCount(int count) const;
    void SetSpotLightCount(int count) const;
    void SetShadowCastingSpotLightCount(int count) const;

private:
    void build(char const* vertexFile, char const* fragmentFile, char const* defines);
    void bindUniformLocation();
    void bindDirectionalLightUniformLocation(DirectionalLightHandles& handles, char const* name,
                                             int index);
    void bindPositionalLightUniformLocation(PositionalLightHandles& handles, char const* name,
                                            int index);
    void bindSpotLightUniformLocation(SpotLightHandles& handles, char const* name, int index);
    // The shared members of a point or spot light record.
    static void SetPositionalLight(PositionalLightHandles const& handles, bool shadow,
                                   Scene::PointLight const* light);
    static void SetSpotLight(SpotLightHandles const& handles, bool shadow, bool scattering,
                             Scene::SpotLight const* light);

    int depthTextureHandle = -1;
    int diffuseTextureHandle = -1;
    int specularTextureHandle = -1;
    int normalTextureHandle = -1;
    int emitTextureHandle = -1;
    int cameraWorldPosHandle = -1;
    int inverseCameraMatrixHandle = -1;
    int opticalThicknessHandle = -1;
    int lightTilesHandle = -1;
    int lightTileColumnsHandle = -1;
    DirectionalLightHandles directionalLights[RenderLimits::MaxDirectionalLights];
    int directionalLightCountHandle = -1;
    PointLightHandles pointLights[RenderLimits::MaxPointLights];
    int pointLightCountHandle = -1;
    PointLightHandles scPointLights[RenderLimits::MaxShadowCastingPointLights];
    int scPointLightCountHandle = -1;
    SpotLightHandles spotLights[RenderLimits::MaxSpotLights];
    int spotLightCountHandle = -1;
    SpotLightHandles scSpotLights[RenderLimits::MaxShadowCastingSpotLights];
    int scSpotLightCountHandle = -1;
};

} // namespace Engine::Render::Shader
