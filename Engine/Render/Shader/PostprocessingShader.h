#pragma once

#include <Engine/Math/Vec2f.h>
#include <Engine/Render/Shader/Shader.h>

namespace Engine::Render {
class ColorFrameBuffer;
class FxaaFrameBuffer;
} // namespace Engine::Render

namespace Engine::Render::Shader {

// A full-screen program with one colour input, an operation mode and a texel
// size: the FXAA pass, and the base of the HDR programs.
class ENGINE_API PostprocessingShader : public Shader {
public:
    PostprocessingShader(char const* vertexFile, char const* fragmentFile);
    PostprocessingShader(char const* vertexFile, char const* geometryFile,
                         char const* fragmentFile);

    // Unit 0; regenerates the target's mipmaps first if they are due.
    void SetDiffuseTexture(ColorFrameBuffer* target) const;
    // Unit 0, and where the program reads "lumaTexture", the target's
    // undecoded view on unit 1.
    void SetDiffuseTexture(FxaaFrameBuffer* target) const;
    void SetOperationMode(int mode) const;
    void SetSamplingSampleSize(Math::Vec2f const& size) const;
    // The number of steps of the FXAA edge search ("edgeSearchSteps").
    void SetEdgeSearchSteps(int steps) const;

protected:
    explicit PostprocessingShader(unsigned int primitiveType);
    // Compiles, links and looks up the locations of this class.
    void build(char const* vertexFile, char const* geometryFile, char const* fragmentFile);
    void bindUniformLocation();
    int getHandelColorTexture() const { return colorTextureHandle; }
    // Binds target's colour texture to unit and sets sampler to it.
    static void bindSampler(int location, int unit, ColorFrameBuffer* target);

private:
    int colorTextureHandle = -1;
    int operationModeHandle = -1;
    int sampleSizeHandle = -1;
    int lumaTextureHandle = -1;
    int edgeSearchStepsHandle = -1;
};

} // namespace Engine::Render::Shader
