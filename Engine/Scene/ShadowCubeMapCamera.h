#pragma once

#include <Engine/Math/Mat4f.h>
#include <Engine/Math/Vec2f.h>
#include <Engine/Scene/ShadowCamera.h>

namespace Engine::Render {
class ShadowCubeMapFrameBuffer;
}

namespace Engine::Scene {

class ShadowCastingPointLight;

// Renders a point light's shadow cube map in one layered pass: the geometry
// stage sends every triangle to the six faces, each with its own view. All
// cube-map cameras share one shadow program. Owns its target.
class ENGINE_API ShadowCubeMapCamera : public ShadowCamera {
public:
    ShadowCubeMapCamera(World* world, unsigned width, unsigned height, float fov, float nearPlane,
                        float farPlane, ShadowCastingPointLight* light);
    ~ShadowCubeMapCamera() override;

    void RenderFrame(Util::Timer const& timer) override;
    // Also rebuilds the cube map for the new face size.
    void SetCameraParameter(unsigned width, unsigned height, float fov, float nearPlane,
                            float farPlane) override;
    Render::Shader::ShadowShader* getShadowShader() override;

    Render::ShadowCubeMapFrameBuffer* getCubeMapBuffer() const { return cubeMapBuffer; }
    Math::Vec2f const& getNearAndFarPlane() const { return nearAndFarPlane; }
    // Rotation that turns face i's view direction into -Z (faces +X, -X, +Y,
    // -Y, +Z, -Z, matching GL_TEXTURE_CUBE_MAP_POSITIVE_X + i).
    Math::Mat4f const& FaceMatrix(int face) const { return cubeMapMats[face]; }

    // The shared program: built by the first user, deleted with the last.
    static void initShadowCubeMapShader();
    static void cleanUpShadowCubeMapShader();
    static int ShaderUsageCount() { return shaderUsage; }

private:
    void initCubeMapMats();
    void InitFrameBuffers(int width, int height);
    void CleanUpFrameBuffers();

    ShadowCastingPointLight* light;
    Math::Mat4f cubeMapMats[6];
    Math::Vec2f nearAndFarPlane;
    Render::ShadowCubeMapFrameBuffer* cubeMapBuffer = nullptr;

    static Render::Shader::ShadowShader* shader;
    static int shaderUsage;
};

} // namespace Engine::Scene
