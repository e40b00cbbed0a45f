#pragma once

#include <Engine/Math/Vec2f.h>
#include <Engine/Render/CDFrameBuffer.h>
#include <Engine/Render/ColorFrameBuffer.h>

namespace Engine::Render {

class EffectPlane;
namespace Shader {
class HDREffecSthader;
}

// The floating-point target that receives the lit scene, and the passes after
// it: eye adaptation (a 1 x 1 luminance, double-buffered across frames), the
// glow (bright parts blurred at 128 and 64 pixels and summed) and tone mapping
// into the bound framebuffer. The scene's averages that adaptation and glow
// read come from a small box-filtered copy of the colour, the level of the
// target's mipmap chain that the 128-pixel glow reads, with its own mipmaps:
// the full-size target needs no chain of its own.
class ENGINE_API HDRFrameBuffer : public CDFrameBuffer {
public:
    HDRFrameBuffer() = default;
    ~HDRFrameBuffer();

    void init(int width, int height, EffectPlane* plane);
    // Adapts the luminance over frameTime seconds and builds the glow.
    void renderTonemapperInput(float frameTime);
    // Tone-maps colour and glow into the bound framebuffer and viewport.
    void toneMap2screen();

    int TopMipmapLevel() const { return topMipmapLevel; }
    int FrontIndex() const { return frontIndex; }
    ColorFrameBuffer* AdaptiveLumBuffer(int index) { return &adaptiveLumBuffers[index]; }
    ColorFrameBuffer* GaussBuffer(int index) { return &gaussBuffers[index]; }
    // The small averaged copy of the HDR colour, and the mipmap level of the
    // colour that it stands for.
    ColorFrameBuffer* DownsampleBuffer() { return &downsampleBuffer; }
    int DownsampleLevel() const { return downsampleLevel; }
    // The glow image.
    ColorFrameBuffer* getGaussBuffer() { return &gaussBuffers[FB_GAUSSv128]; }

    static const int FB_GAUSSh128 = 2;
    static const int FB_GAUSSv128 = 3;
    static const int FB_GAUSSh64 = 4;
    static const int FB_GAUSSv64 = 5;

private:
    void initLumBuffers();
    void initGaussBuffers();
    void initGaussBuffer(int index, int size);
    void initDownsampleBuffer(int width, int height);
    void switchAdaptiveLumFB() { frontIndex = (frontIndex + 1) % 2; }
    ColorFrameBuffer* getFrontAdaptiveLumFB() { return &adaptiveLumBuffers[frontIndex]; }
    ColorFrameBuffer* getBackAdaptiveLumFB() { return &adaptiveLumBuffers[(frontIndex + 1) % 2]; }
    void renderDownsample();
    void renderAdaptiveLum(float frameTime);
    void renderGauss();
    void renderGaussStep(ColorFrameBuffer* source, ColorFrameBuffer* target, int size);
    void cleanUpGaussBuffers() {}
    void cleanUpLumBuffers() {}

    EffectPlane* plane = nullptr;
    Shader::HDREffecSthader* toneMapShader = nullptr;
    int frontIndex = 0;
    Shader::HDREffecSthader* adaptiveLumShader = nullptr;
    ColorFrameBuffer adaptiveLumBuffers[2];
    int topMipmapLevel = 0;
    Math::Vec2f fallbackSampleSize{0.0f, 0.0f};
    Shader::HDREffecSthader* gaussShader = nullptr;
    ColorFrameBuffer gaussBuffers[6];
    Shader::HDREffecSthader* downsampleShader = nullptr;
    ColorFrameBuffer downsampleBuffer;
    int downsampleLevel = 0;
    Math::Vec2f downsampleSampleSize{0.0f, 0.0f};
};

} // namespace Engine::Render
