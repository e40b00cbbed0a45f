#include <Engine/Render/EffectPlane.h>
#include <Engine/Render/HDRFrameBuffer.h>
#include <Engine/Render/Internal/ShaderPaths.h>
#include <Engine/Render/RenderLimits.h>
#include <Engine/Render/Shader/HDREffecSthader.h>
#include <Engine/Util/EffectSettings.h>
#include <GL/glew.h>
#include <algorithm>
#include <cmath>

namespace Engine::Render {

HDRFrameBuffer::~HDRFrameBuffer() {
    delete toneMapShader;
    delete gaussShader;
    delete adaptiveLumShader;
    delete downsampleShader;
}

namespace {

// The mipmap level that a lookup at level of detail lod reads from a chain
// with nearest mipmap selection.
int nearestLevel(double lod) {
    return lod <= 0.5 ? 0 : static_cast<int>(std::ceil(lod + 0.5)) - 1;
}

} // namespace

void HDRFrameBuffer::init(int w, int h, EffectPlane* effectPlane) {
    // The scene's averages come from the downsample buffer and its mipmaps;
    // the full-size target has none, so no chain of it is regenerated.
    mipmap = false;
    const int smaller = std::max(1, std::min(w, h));
    topMipmapLevel = static_cast<int>(std::log10(static_cast<double>(smaller)) / std::log10(2.0));
    CDFrameBuffer::init(w, h, true);

    plane = effectPlane;
    delete toneMapShader;
    toneMapShader = new Shader::HDREffecSthader(ShaderPaths::ToneMapVert, ShaderPaths::ToneMapFrag);
    initGaussBuffers();
    delete gaussShader;
    gaussShader = new Shader::HDREffecSthader(ShaderPaths::QuadVert, ShaderPaths::GaussFrag);
    initLumBuffers();
    delete adaptiveLumShader;
    adaptiveLumShader =
        new Shader::HDREffecSthader(ShaderPaths::QuadVert, ShaderPaths::AdaptiveLumFrag);
    initDownsampleBuffer(w, h);
    // init leaves the HDR target bound for the caller's check().
    bind();
}

void HDRFrameBuffer::initDownsampleBuffer(int w, int h) {
    // The level of the colour's chain that the 128-pixel glow step reads
    // (its texel spacing across the longer side): each texel of the copy
    // averages a square block of 2^level texels, and the copy's own chain
    // continues the colour's from there.
    const double glowLod = std::log2(static_cast<double>(std::max(1, std::max(w, h))) /
                                     static_cast<double>(RenderLimits::GlowLargeSize));
    downsampleLevel = nearestLevel(glowLod);
    const int dw = std::max(1, w >> downsampleLevel);
    const int dh = std::max(1, h >> downsampleLevel);
    downsampleSampleSize =
        Math::Vec2f(1.0f / static_cast<float>(dw), 1.0f / static_cast<float>(dh));
    // Without a mipmap chain of the copy, the adaptation averages a 2 x 2 block.
    if (topMipmapLevel - downsampleLevel < 1) {
        fallbackSampleSize = downsampleSampleSize;
    }
    downsampleBuffer.mipMapOn();
    downsampleBuffer.init(dw, dh, true);
    downsampleBuffer.check();
    delete downsampleShader;
    downsampleShader =
        new Shader::HDREffecSthader(ShaderPaths::QuadVert, ShaderPaths::DownsampleFrag);
}

void HDRFrameBuffer::initGaussBuffers() {
    initGaussBuffer(FB_GAUSSh128, RenderLimits::GlowLargeSize);
    initGaussBuffer(FB_GAUSSv128, RenderLimits::GlowLargeSize);
    initGaussBuffer(FB_GAUSSh64, RenderLimits::GlowSmallSize);
    initGaussBuffer(FB_GAUSSv64, RenderLimits::GlowSmallSize);
}

void HDRFrameBuffer::initGaussBuffer(int index, int size) {
    gaussBuffers[index].init(size, size, true);
    gaussBuffers[index].check();
}

void HDRFrameBuffer::initLumBuffers() {
    frontIndex = 0;
    for (ColorFrameBuffer& buffer : adaptiveLumBuffers) {
        buffer.init(1, 1, false);
        buffer.check();
    }
}

void HDRFrameBuffer::renderTonemapperInput(float frameTime) {
    switchAdaptiveLumFB();
    renderDownsample();
    renderAdaptiveLum(frameTime);
    renderGauss();
}

void HDRFrameBuffer::renderDownsample() {
    downsampleShader->Activate();
    plane->enableVertexBO();
    downsampleShader->SetSamplingSampleSize(downsampleSampleSize);
    downsampleShader->SetDiffuseTexture(this);
    // Marks its mipmaps due: the first read below regenerates the small chain.
    downsampleBuffer.enable();
    plane->draw(downsampleShader);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    plane->disableVertexBO();
    glUseProgram(0);
}

void HDRFrameBuffer::renderAdaptiveLum(float frameTime) {
    glViewport(0, 0, 1, 1);
    adaptiveLumShader->Activate();
    // The colour's top level is the copy's level (top - downsample level).
    const int level = topMipmapLevel - downsampleLevel;
    if (level < 1) {
        adaptiveLumShader->SetSamplingSampleSize(fallbackSampleSize);
    } else {
        adaptiveLumShader->SetMipmapLevel(level);
    }
    plane->enableVertexBO();
    adaptiveLumShader->SetFrameTime(frameTime);
    adaptiveLumShader->SetLastAdaptedLumTexture(getBackAdaptiveLumFB());
    adaptiveLumShader->SetOperationMode(1);
    adaptiveLumShader->SetLumTexture(&downsampleBuffer);

    getFrontAdaptiveLumFB()->enable();
    plane->draw(adaptiveLumShader);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    plane->disableVertexBO();
    glUseProgram(0);
}

void HDRFrameBuffer::renderGaussStep(ColorFrameBuffer* source, ColorFrameBuffer* target, int size) {
    const float step = 1.0f / static_cast<float>(size);
    gaussShader->SetSamplingSampleSize(Math::Vec2f(step, step));
    gaussShader->SetDiffuseTexture(source);
    target->enable();
    plane->draw(gaussShader);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
}

void HDRFrameBuffer::renderGauss() {
    const int large = RenderLimits::GlowLargeSize;
    const int small = RenderLimits::GlowSmallSize;
    gaussShader->Activate();
    plane->enableVertexBO();

    // Bright pass of the averaged copy, read at the levels of the 128- and
    // 64-pixel steps.
    gaussShader->SetOperationMode(0);
    renderGaussStep(&downsampleBuffer, &gaussBuffers[FB_GAUSSv128], large);
    renderGaussStep(&downsampleBuffer, &gaussBuffers[FB_GAUSSv64], small);

    gaussShader->SetOperationMode(1);
    renderGaussStep(&gaussBuffers[FB_GAUSSv128], &gaussBuffers[FB_GAUSSh128], large);
    renderGaussStep(&gaussBuffers[FB_GAUSSv64], &gaussBuffers[FB_GAUSSh64], small);

    gaussShader->SetOperationMode(2);
    renderGaussStep(&gaussBuffers[FB_GAUSSh128], &gaussBuffers[FB_GAUSSv128], large);
    renderGaussStep(&gaussBuffers[FB_GAUSSh64], &gaussBuffers[FB_GAUSSv64], small);

    // The smaller blur is added onto the larger one: the glow.
    glEnable(GL_BLEND);
    glBlendFunc(GL_ONE, GL_ONE);
    renderGaussStep(&gaussBuffers[FB_GAUSSv64], &gaussBuffers[FB_GAUSSv128], large);
    glDisable(GL_BLEND);

    plane->disableVertexBO();
    glUseProgram(0);
}

void HDRFrameBuffer::toneMap2screen() {
    Util::EffectSettings const* settings = Util::EffectSettings::Instance();
    toneMapShader->Activate();
    plane->enableVertexBO();
    toneMapShader->SetDiffuseTexture(this);
    toneMapShader->SetLumTexture(getFrontAdaptiveLumFB());
    toneMapShader->SetGlowTexture(getGaussBuffer());
    toneMapShader->SetHDRshowColor(settings->getHDRshowColor() ? 1 : 0);
    toneMapShader->SetHDRshowGlow(settings->getHDRshowGlow() ? 1 : 0);
    toneMapShader->SetHDRshowToneMappedColor(settings->getHDRshowToneMappedColor() ? 1 : 0);
    toneMapShader->SetHDRshowToneMappedGlow(settings->getHDRshowToneMappedGlow() ? 1 : 0);
    toneMapShader->SetHDRfade2Black(settings->getHDRfade2Black());
    toneMapShader->SetOperationMode(0);
    plane->draw(toneMapShader);
    plane->disableVertexBO();
    glUseProgram(0);
}

} // namespace Engine::Render
