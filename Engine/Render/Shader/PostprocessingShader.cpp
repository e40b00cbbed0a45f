#include <Engine/Render/ColorFrameBuffer.h>
#include <Engine/Render/FxaaFrameBuffer.h>
#include <Engine/Render/RenderLimits.h>
#include <Engine/Render/Shader/PostprocessingShader.h>
#include <GL/glew.h>

namespace Engine::Render::Shader {

namespace {
// Primitive type of every full-screen program.
const unsigned int FullScreenPrimitive = GL_TRIANGLES;
} // namespace

PostprocessingShader::PostprocessingShader(unsigned int primitiveType) : Shader(primitiveType) {}

PostprocessingShader::PostprocessingShader(char const* vertexFile, char const* fragmentFile)
    : Shader(FullScreenPrimitive) {
    build(vertexFile, nullptr, fragmentFile);
}

PostprocessingShader::PostprocessingShader(char const* vertexFile, char const* geometryFile,
                                           char const* fragmentFile)
    : Shader(FullScreenPrimitive) {
    build(vertexFile, geometryFile, fragmentFile);
}

void PostprocessingShader::build(char const* vertexFile, char const* geometryFile,
                                 char const* fragmentFile) {
    LoadShaderFile(vertexFile, GL_VERTEX_SHADER);
    if (geometryFile != nullptr) {
        LoadShaderFile(geometryFile, GL_GEOMETRY_SHADER);
    }
    LoadShaderFile(fragmentFile, GL_FRAGMENT_SHADER);
    if (linkWithPlainOutput()) {
        bindUniformLocation();
    }
}

void PostprocessingShader::bindUniformLocation() {
    Shader::bindUniformLocation();
    // A program that failed to link has no uniforms; asking would leave
    // GL_INVALID_OPERATION pending.
    if (!IsLinked()) {
        return;
    }
    const GLuint program = static_cast<GLuint>(getProgramHandle());
    colorTextureHandle = glGetUniformLocation(program, "colorTexture");
    operationModeHandle = glGetUniformLocation(program, "operationMode");
    sampleSizeHandle = glGetUniformLocation(program, "sampleSize");
    lumaTextureHandle = glGetUniformLocation(program, "lumaTexture");
}

void PostprocessingShader::bindSampler(int location, int unit, ColorFrameBuffer* target) {
    if (location == -1) {
        return;
    }
    glActiveTexture(GL_TEXTURE0 + unit);
    target->bindColorTex();
    glUniform1i(location, unit);
}

void PostprocessingShader::SetDiffuseTexture(ColorFrameBuffer* target) const {
    bindSampler(colorTextureHandle, RenderLimits::UnitPostColor, target);
}

void PostprocessingShader::SetDiffuseTexture(FxaaFrameBuffer* target) const {
    if (colorTextureHandle == -1) {
        return;
    }
    glActiveTexture(GL_TEXTURE0 + RenderLimits::UnitPostColor);
    target->bindColorTex();
    glUniform1i(colorTextureHandle, RenderLimits::UnitPostColor);
    if (lumaTextureHandle != -1) {
        glActiveTexture(GL_TEXTURE0 + RenderLimits::UnitPostLum);
        target->bindLumaTex();
        glUniform1i(lumaTextureHandle, RenderLimits::UnitPostLum);
        glActiveTexture(GL_TEXTURE0);
    }
}

void PostprocessingShader::SetOperationMode(int mode) const {
    if (operationModeHandle != -1) {
        glUniform1i(operationModeHandle, mode);
    }
}

void PostprocessingShader::SetSamplingSampleSize(Math::Vec2f const& size) const {
    if (sampleSizeHandle != -1) {
        glUniform2fv(sampleSizeHandle, 1, size.GetGlVector());
    }
}

} // namespace Engine::Render::Shader
