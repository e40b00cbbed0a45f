#pragma once

#include <Engine/Math/Vec2f.h>
#include <Engine/Render/FrameBuffer.h>

namespace Engine::Render {

class EffectPlane;
namespace Shader {
class PostprocessingShader;
}

// Holds the tone-mapped image (8-bit sRGB) and draws it anti-aliased with
// FXAA into the bound framebuffer (the window).
class ENGINE_API FxaaFrameBuffer : public FrameBuffer {
public:
    // Builds the FXAA program.
    FxaaFrameBuffer();
    ~FxaaFrameBuffer();

    void init(int width, int height, EffectPlane* plane);
    void enable();
    void clearAll();
    void bindColorTex();
    unsigned int getColorTexID() const { return colorTexture; }
    // Runs FXAA over the colour texture into the bound framebuffer.
    void draw();

    Shader::PostprocessingShader* getShader() const { return shader; }

private:
    void initColorTex(bool filter);

    EffectPlane* plane = nullptr;
    unsigned int colorTexture = 0;
    bool mipmap = false;
    bool mipmapDirty = true;
    Shader::PostprocessingShader* shader = nullptr;
    Math::Vec2f sampleSize{0.0f, 0.0f};
};

} // namespace Engine::Render
