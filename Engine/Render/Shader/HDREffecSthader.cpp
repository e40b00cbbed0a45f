#include <Engine/Render/ColorFrameBuffer.h>
#include <Engine/Render/RenderLimits.h>
#include <Engine/Render/Shader/HDREffecSthader.h>
#include <GL/glew.h>

namespace Engine::Render::Shader {

HDREffecSthader::HDREffecSthader(char const* vertexFile, char const* fragmentFile)
    : PostprocessingShader(GL_TRIANGLES) {
    LoadShaderFile(vertexFile, GL_VERTEX_SHADER);
    LoadShaderFile(fragmentFile, GL_FRAGMENT_SHADER);
    if (linkWithPlainOutput()) {
        bindUniformLocation();
    }
}

void HDREffecSthader::bindUniformLocation() {
    PostprocessingShader::bindUniformLocation();
    frameTimeHandle = uniformLocation("frameTime");
    lumTextureHandle = uniformLocation("lumTexture");
    lastAdaptedLumTextureHandle = uniformLocation("lastAdaptedLumTexture");
    glowTextureHandle = uniformLocation("glowTexture");
    mipmapLevelHandle = uniformLocation("mipmapLevel");
    showColorHandle = uniformLocation("HDRshowColor");
    showGlowHandle = uniformLocation("HDRshowGlow");
    showToneMappedColorHandle = uniformLocation("HDRshowToneMappedColor");
    showToneMappedGlowHandle = uniformLocation("HDRshowToneMappedGlow");
    fade2BlackHandle = uniformLocation("HDRfade2Black");
}

void HDREffecSthader::SetLumTexture(ColorFrameBuffer* target) const {
    bindSampler(lumTextureHandle, RenderLimits::UnitPostLum, target);
}

void HDREffecSthader::SetLastAdaptedLumTexture(ColorFrameBuffer* target) const {
    bindSampler(lastAdaptedLumTextureHandle, RenderLimits::UnitPostLastAdaptedLum, target);
}

void HDREffecSthader::SetGlowTexture(ColorFrameBuffer* target) const {
    bindSampler(glowTextureHandle, RenderLimits::UnitPostGlow, target);
}

void HDREffecSthader::SetFrameTime(float seconds) const {
    setFloat(frameTimeHandle, seconds);
}

void HDREffecSthader::SetHDRfade2Black(float value) const {
    setFloat(fade2BlackHandle, value);
}

void HDREffecSthader::SetMipmapLevel(int level) const {
    setInt(mipmapLevelHandle, level);
}

void HDREffecSthader::SetHDRshowColor(unsigned char on) const {
    setInt(showColorHandle, on);
}

void HDREffecSthader::SetHDRshowGlow(unsigned char on) const {
    setInt(showGlowHandle, on);
}

void HDREffecSthader::SetHDRshowToneMappedColor(unsigned char on) const {
    setInt(showToneMappedColorHandle, on);
}

void HDREffecSthader::SetHDRshowToneMappedGlow(unsigned char on) const {
    setInt(showToneMappedGlowHandle, on);
}

} // namespace Engine::Render::Shader
