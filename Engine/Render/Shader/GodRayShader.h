#pragma once

#include <Engine/Math/Mat4f.h>
#include <Engine/Math/Vec2f.h>
#include <Engine/Math/Vec3f.h>
#include <Engine/Math/Vec4f.h>
#include <Engine/Render/Shader/Shader.h>
#include <Engine/Scene/LightType.h>

namespace Engine::Render {
class DeferredFrameBuffer;
class LightLookupTable;
class ShadowMapFrameBuffer;
} // namespace Engine::Render

namespace Engine::Render::Shader {

// The program of the light-scattering pass: for one god-ray spot light it
// integrates the light scattered towards the camera along every view ray,
// through the light's cone, its shadow map and the precomputed scattering
// tables; the tessellation stages refine the screen grid where that changes.
class ENGINE_API GodRayShader : public Shader {
public:
    // Without tessellation: drawn as quads; the files carry their own
    // #version line.
    GodRayShader(char const* vertexFile, char const* fragmentFile);
    // With tessellation: drawn as patches. The stages before the fragment
    // stage are compiled after the engine's scattering functions
    // (godRayScattering.glsl, which holds the #version line). The light type
    // is not used.
    GodRayShader(LightType type, char const* vertexFile, char const* tessControlFile,
                 char const* tessEvaluationFile, char const* fragmentFile);
    GodRayShader(LightType type, char const* vertexFile, char const* tessControlFile,
                 char const* tessEvaluationFile, char const* geometryFile,
                 char const* fragmentFile);

    void SetInverseCameraMatrix(Math::Mat4f const& matrix) const;
    void SetInverseLightCameraMatrix(Math::Mat4f const& matrix) const;
    void SetNearAndFarPlane(Math::Vec2f const& nearAndFar) const;
    // The first three components.
    void SetLightWorldPos(Math::Vec4f const& position) const;
    void SetLightDir(Math::Vec3f const& direction) const;
    void SetLightIntensity(Math::Vec3f const& intensity) const;
    void SetCameraWorldPos(Math::Vec4f const& position) const;
    // The light's distance attenuation (constant, linear, quadratic; (0, 0, 0)
    // when it has none) and its cone (cosine of the half-angle, falloff
    // exponent), so that the beam fades as the light on surfaces does.
    void SetLightAttenuation(Math::Vec3f const& attenuation) const;
    void SetLightCone(float cosAngle, float exponent) const;
    // G-buffer depth on unit 0.
    void SetDepthTexture(DeferredFrameBuffer* gbuffer) const;
    // The unblurred shadow map's depth on unit 1.
    void SetShadowMap(ShadowMapFrameBuffer* target) const;
    // Table A on unit 2, table B on unit 3, the phase table made of both on
    // unit 5 (each where the program reads it).
    void SetLightLookupTableTex(LightLookupTable* table) const;
    // The 1 x 1 texture (luminance in .r) that the frame will be exposed for,
    // on unit 4; one holding 0 when the exposure is not known.
    void SetAdaptedLuminance(unsigned int texture) const;
    // The wireframe flag, beta, the tables' largest values and ranges, and
    // the phase table's range of sigma.
    void SetLightLookupTableInfo(LightLookupTable* table) const;

protected:
    unsigned int LoadShaderFile(LightType type, char const* path, unsigned int stage);

private:
    void build(char const* vertexFile, char const* tessControlFile, char const* tessEvaluationFile,
               char const* geometryFile, char const* fragmentFile, bool withScattering);
    void bindUniformLocation();

    int inverseLightCameraMatrixHandle = -1;
    int nearAndFarPlaneHandle = -1;
    int depthTextureHandle = -1;
    int shadowMapHandle = -1;
    int lightWorldPosHandle = -1;
    int lightDirHandle = -1;
    int wireframeHandle = -1;
    int inverseCameraMatrixHandle = -1;
    int cameraWorldPosHandle = -1;
    int lightIntensityHandle = -1;
    int betaHandle = -1;
    int maxAValueHandle = -1;
    int maxBValueHandle = -1;
    int intMinABHandle = -1;
    int intMaxABHandle = -1;
    int intMinCHandle = -1;
    int intMaxCHandle = -1;
    int loockupTableAHandle = -1;
    int loockupTableBHandle = -1;
    int lightAttenuationHandle = -1;
    int lightConeHandle = -1;
    int adaptedLuminanceHandle = -1;
    int phaseTableHandle = -1;
    int intMinSigmaHandle = -1;
    int intMaxSigmaHandle = -1;
};

} // namespace Engine::Render::Shader
