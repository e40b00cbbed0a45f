#pragma once

#include <Engine/Math/Mat4f.h>
#include <Engine/Math/Vec2f.h>
#include <Engine/Scene/LightType.h>
#include <Engine/Scene/ShadowCamera.h>

namespace Engine::Render {
class EffectPlane;
class ShadowMapFrameBuffer;
namespace Shader {
class ShadowGaussShader;
}
} // namespace Engine::Render

namespace Engine::Scene {

class ShadowCastingSpotLight;

// Renders a spot light's variance shadow map (distance to the light and its
// square) through a perspective view along the light's cone, and blurs both
// moments in two separable passes into the map the lighting samples. Spot
// lights share one shadow program, god-ray spot lights another. Owns its
// three targets.
class ENGINE_API ShadowMapCamera : public ShadowCamera {
public:
    ShadowMapCamera(World* world, unsigned width, unsigned height, float fov, float nearPlane,
                    float farPlane, ShadowCastingSpotLight* light);
    ~ShadowMapCamera() override;

    // Culls as the base camera does, then rebuilds the light view from the
    // light's world location and direction.
    void Update(Math::Mat4f const& worldMatrix, bool cull) override;
    void RenderFrame(Util::Timer const& timer) override;
    // Also rebuilds the three targets for the new size.
    void SetCameraParameter(unsigned width, unsigned height, float fov, float nearPlane,
                            float farPlane) override;
    Render::Shader::ShadowShader* getShadowShader() override;

    // The caller has enabled the full-screen quad's vertex buffer: blurs
    // horizontally into the blur target with the blur's first-pass program,
    // then vertically into the blurred target with the blur program, which
    // stays active.
    void renderGauss(Render::EffectPlane* plane, Render::Shader::ShadowGaussShader* gauss);
    // Light rotation, camera matrix, its inverse and the lookup matrix from
    // the light's world state.
    void calcViewMatrix();

    Render::ShadowMapFrameBuffer* getShadowMapBuffer() const { return shadowMapBuffer; }
    Render::ShadowMapFrameBuffer* getBluredShadowMapBuffer() const { return bluredShadowMapBuffer; }
    Math::Vec2f const& getNearAndFarPlane() const { return nearAndFarPlane; }
    // World to the light's clip space.
    Math::Mat4f const& getCameraMatrix() const { return cameraMatrix; }
    // The light's clip space to world.
    Math::Mat4f const& getInverseCameraMatrix() const { return inverseCameraMatrix; }
    // World to shadow-map texture coordinates and depth, each in [0, 1].
    Math::Mat4f const& getShadowLookupMatrix() const { return shadowLookupMatrix; }
    // Rotation from world axes to the light's axes (rows u, w, z).
    Math::Mat4f const& LightRotation() const { return lightRotation; }

    // The shared program of a light type's slot: built by the first user,
    // deleted with the last.
    static void initShadowMapShader(LightType type);
    static void cleanUpShadowMapShader(LightType type);
    // Slot 1 for god-ray spot lights, 0 for every other type.
    static int mapLightType(LightType type);
    static int ShaderUsageCount(LightType type) { return shaderUsage[mapLightType(type)]; }
    static Render::Shader::ShadowShader* SlotShader(LightType type) {
        return shaders[mapLightType(type)];
    }

private:
    void InitFrameBuffers(int width, int height);
    void CleanUpFrameBuffers();
    LightType lightType() const;

    Math::Mat4f lightRotation;
    Math::Mat4f cameraMatrix;
    Math::Mat4f inverseCameraMatrix;
    Math::Mat4f shadowLookupMatrix;
    ShadowCastingSpotLight* light;
    Math::Vec2f nearAndFarPlane;
    Render::ShadowMapFrameBuffer* shadowMapBuffer = nullptr;
    Render::ShadowMapFrameBuffer* blurBuffer = nullptr;
    Render::ShadowMapFrameBuffer* bluredShadowMapBuffer = nullptr;
    Math::Vec2f texelSize;

    static Render::Shader::ShadowShader* shaders[2];
    static int shaderUsage[2];
};

} // namespace Engine::Scene
