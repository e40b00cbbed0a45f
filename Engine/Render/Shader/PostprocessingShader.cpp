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
    colorTextureHandle = uniformLocation("colorTexture");
    operationModeHandle = uniformLocation("operationMode");
    sampleSizeHandle = uniformLocation("sampleSize");
    lumaTextureHandle = uniformLocation("lumaTexture");
    edgeSearchStepsHandle = uniformLocation("edgeSearchSteps");
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

void PostprocessingShader::SetEdgeSearchSteps(int steps) const {
    setInt(edgeSearchStepsHandle, steps);
}

void PostprocessingShader::SetOperationMode(int mode) const {
    setInt(operationModeHandle, mode);
}

void PostprocessingShader::SetSamplingSampleSize(Math::Vec2f const& size) const {
    setVec2(sampleSizeHandle, size);
}

} // namespace Engine::Render::Shader
