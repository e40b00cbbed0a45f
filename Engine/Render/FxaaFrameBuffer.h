#pragma once

#include <Engine/Math/Vec2f.h>
#include <Engine/Render/FrameBuffer.h>

namespace Engine::Render {

class EffectPlane;
namespace Shader {
class PostprocessingShader;
}

// Holds the tone-mapped image (8-bit sRGB) and draws it anti-aliased with
// FXAA into the bound framebuffer (the window). FXAA reads the luma that the
// tone mapper stored in alpha through a plain RGBA8 view of the same storage.
class ENGINE_API FxaaFrameBuffer : public FrameBuffer {
public:
    // Builds the FXAA program.
    FxaaFrameBuffer();
    ~FxaaFrameBuffer();

    void init(int width, int height, EffectPlane* plane);
    void enable();
    void clearAll();
    void bindColorTex();
    // Binds the RGBA8 view of the colour texture (nothing decoded on reads).
    void bindLumaTex();
    unsigned int getColorTexID() const { return colorTexture; }
    // Runs FXAA over the colour texture into the bound framebuffer.
    void draw();

    Shader::PostprocessingShader* getShader() const { return shader; }

private:
    void initColorTex(bool filter);

    EffectPlane* plane = nullptr;
    unsigned int colorTexture = 0;
    unsigned int perceptualView = 0;
    Shader::PostprocessingShader* shader = nullptr;
    Math::Vec2f sampleSize{0.0f, 0.0f};
};

} // namespace Engine::Render
