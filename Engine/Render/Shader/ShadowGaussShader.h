#pragma once

#include <Engine/Math/Mat4f.h>
#include <Engine/Render/Shader/PostprocessingShader.h>

namespace Engine::Render {
class ShadowMapFrameBuffer;
}

namespace Engine::Render::Shader {

// The separable blur of a spot light's shadow moments: one full-screen pass
// per direction (operation mode 1 horizontal, 2 vertical) that filters the
// depth and moment-2 maps of one shadow target into the next.
class ENGINE_API ShadowGaussShader : public PostprocessingShader {
public:
    ShadowGaussShader(char const* vertexFile, char const* fragmentFile);

    // Depth map on unit 0 ("depthTexture"), moment-2 map on unit 1
    // ("moment2Texture"); regenerates their mipmaps first if they are due.
    void SetDepthTextures(ShadowMapFrameBuffer* target) const;
    // Ignores an index above 5.
    void SetCubeMapViewMat(int face, Math::Mat4f const& matrix) const;

private:
    void bindUniformLocation();

    int moment2TextureHandle = -1;
    int cubeMapMatHandles[6] = {-1, -1, -1, -1, -1, -1};
};

} // namespace Engine::Render::Shader
