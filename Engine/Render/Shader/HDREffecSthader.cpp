#include <Engine/Render/ColorFrameBuffer.h>
#include <Engine/Render/RenderLimits.h>
#include <Engine/Render/Shader/HDREffecSthader.h>
#include <GL/glew.h>

namespace Engine::Render::Shader {

namespace {

void setInt(int location, int value) {
    if (location != -1) {
        glUniform1i(location, value);
    }
}

void setFloat(int location, float value) {
    if (location != -1) {
        glUniform1f(location, value);
    }
}

} // namespace

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
    // A program that failed to link has no uniforms; asking would leave
    // GL_INVALID_OPERATION pending.
    if (!IsLinked()) {
        return;
    }
    const GLuint program = static_cast<GLuint>(getProgramHandle());
    frameTimeHandle = glGetUniformLocation(program, "frameTime");
    lumTextureHandle = glGetUniformLocation(program, "lumTexture");
    lastAdaptedLumTextureHandle = glGetUniformLocation(program, "lastAdaptedLumTexture");
    glowTextureHandle = glGetUniformLocation(program, "glowTexture");
    mipmapLevelHandle = glGetUniformLocation(program, "mipmapLevel");
    showColorHandle = glGetUniformLocation(program, "HDRshowColor");
    showGlowHandle = glGetUniformLocation(program, "HDRshowGlow");
    showToneMappedColorHandle = glGetUniformLocation(program, "HDRshowToneMappedColor");
    showToneMappedGlowHandle = glGetUniformLocation(program, "HDRshowToneMappedGlow");
    fade2BlackHandle = glGetUniformLocation(program, "HDRfade2Black");
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
