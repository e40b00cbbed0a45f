#include <Engine/Render/Shader/ShadowGaussShader.h>
#include <Engine/Render/Shader/ShadowShader.h>
#include <Engine/Render/ShadowMapFrameBuffer.h>
#include <GL/glew.h>
#include <cstdio>
#include <string>

namespace Engine::Render::Shader {

namespace {
const int DepthUnit = 0;
const int Moment2Unit = 1;
} // namespace

ShadowGaussShader::ShadowGaussShader(char const* vertexFile, char const* fragmentFile)
    : PostprocessingShader(GL_TRIANGLES) {
    build(vertexFile, fragmentFile, "");
    if (IsLinked()) {
        firstPass.reset(new ShadowGaussShader(vertexFile, fragmentFile, "#define FIRST_PASS 1\n"));
    }
}

ShadowGaussShader::ShadowGaussShader(char const* vertexFile, char const* fragmentFile,
                                     char const* defines)
    : PostprocessingShader(GL_TRIANGLES) {
    build(vertexFile, fragmentFile, defines);
}

ShadowGaussShader::~ShadowGaussShader() = default;

ShadowGaussShader* ShadowGaussShader::FirstPass() {
    return firstPass != nullptr && firstPass->IsLinked() ? firstPass.get() : this;
}

void ShadowGaussShader::build(char const* vertexFile, char const* fragmentFile,
                              char const* defines) {
    std::string const prefix = std::string(ShadowShader::Prefix(LIGHT_SHADOW_SPOT)) +
                               "#define COVER_SIDES " + std::to_string(CoverSides) + "\n" + defines;
    LoadShaderFile(vertexFile, GL_VERTEX_SHADER, prefix.c_str());
    LoadShaderFile(fragmentFile, GL_FRAGMENT_SHADER, prefix.c_str());
    CreateProgram();
    if (program == 0) {
        deleteShaders();
        return;
    }
    bindOutput("fragMoments", 0);
    bindAttribLocation();
    linkProgram();
    if (IsLinked()) {
        bindUniformLocation();
    }
}

void ShadowGaussShader::bindUniformLocation() {
    PostprocessingShader::bindUniformLocation();
    moment2TextureHandle = uniformLocation("moment2Texture");
    coverRadiusHandle = uniformLocation("coverRadius");
    for (int i = 0; i < 6; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "CubeMapMat[%d]", i);
        cubeMapMatHandles[i] = uniformLocation(name);
    }
}

void ShadowGaussShader::SetDepthTextures(ShadowMapFrameBuffer* target) const {
    if (depthTextureLocation != -1) {
        glActiveTexture(GL_TEXTURE0 + DepthUnit);
        target->bindDepthMapTex();
        glUniform1i(depthTextureLocation, DepthUnit);
    }
    if (moment2TextureHandle != -1) {
        glActiveTexture(GL_TEXTURE0 + Moment2Unit);
        target->bindMoment2MapTex();
        glUniform1i(moment2TextureHandle, Moment2Unit);
    }
}

void ShadowGaussShader::SetCoverRadius(float radius) const {
    if (coverRadiusHandle != -1) {
        glUniform1f(coverRadiusHandle, radius);
    }
}

void ShadowGaussShader::SetCubeMapViewMat(int face, Math::Mat4f const& matrix) const {
    if (static_cast<unsigned>(face) >= 6u || cubeMapMatHandles[face] == -1) {
        return;
    }
    glUniformMatrix4fv(cubeMapMatHandles[face], 1, GL_FALSE, matrix.GetGlMatrix());
}

} // namespace Engine::Render::Shader
