#pragma once

#include <Engine/Math/Mat4f.h>
#include <Engine/Render/Shader/PostprocessingShader.h>
#include <memory>

namespace Engine::Render {
class ShadowMapFrameBuffer;
}

namespace Engine::Render::Shader {

// The separable blur of a spot light's shadow moments: one pass per direction
// (operation mode 1 horizontal, 2 vertical) that filters the moments of one
// shadow target into the next target's moments map, over the disc that
// SetCoverRadius gives (CoverVertexCount vertices, from the vertex stage
// alone). The first, horizontal pass over a map rendered from the light has a
// program of its own, built from the same files, which reads both moments
// from the light's moment-2 map and never the depth map.
class ENGINE_API ShadowGaussShader : public PostprocessingShader {
public:
    ShadowGaussShader(char const* vertexFile, char const* fragmentFile);
    ~ShadowGaussShader();

    // The program of the first pass (operation mode 1 over the light's own
    // map); this program where that one failed to build.
    ShadowGaussShader* FirstPass();

    // Depth map (a moments target's moments map) on unit 0 ("depthTexture"),
    // moment-2 map on unit 1 ("moment2Texture"); regenerates their mipmaps
    // first if they are due.
    void SetDepthTextures(ShadowMapFrameBuffer* target) const;
    // Ignores an index above 5.
    void SetCubeMapViewMat(int face, Math::Mat4f const& matrix) const;
    // Radius of the disc at the map's centre that a pass covers, in
    // normalised device coordinates ("coverRadius"); sqrt(2) covers the map.
    void SetCoverRadius(float radius) const;

    // Sides of the polygon around the disc; a pass draws a triangle each.
    static const int CoverSides = 16;
    static const int CoverVertexCount = 3 * CoverSides;

private:
    ShadowGaussShader(char const* vertexFile, char const* fragmentFile, char const* defines);
    void build(char const* vertexFile, char const* fragmentFile, char const* defines);
    void bindUniformLocation();

    std::unique_ptr<ShadowGaussShader> firstPass;

    int moment2TextureHandle = -1;
    int coverRadiusHandle = -1;
    int cubeMapMatHandles[6] = {-1, -1, -1, -1, -1, -1};
};

} // namespace Engine::Render::Shader
