#include <Engine/Render/Shader/ShadowShader.h>
#include <GL/glew.h>
#include <cstdio>

namespace Engine::Render::Shader {

ShadowShader::ShadowShader(LightType type, char const* vertexFile, char const* fragmentFile)
    : Shader(GL_TRIANGLES) {
    build(type, vertexFile, nullptr, fragmentFile);
}

ShadowShader::ShadowShader(LightType type, char const* vertexFile, char const* geometryFile,
                           char const* fragmentFile)
    : Shader(GL_TRIANGLES) {
    build(type, vertexFile, geometryFile, fragmentFile);
}

char const* ShadowShader::Prefix(LightType type) {
    switch (type) {
    case LIGHT_SHADOW_POINT:
        return "#version 330 core\n#define CUBEMAP 1\n";
    case LIGHT_GOD_RAY_SPOT:
        return "#version 330 core\n#define GODRAYSPOT 1\n";
    default:
        return "#version 330 core\n";
    }
}

unsigned int ShadowShader::LoadShaderFile(LightType type, char const* path, unsigned int stage) {
    return Shader::LoadShaderFile(path, stage, Prefix(type));
}

void ShadowShader::build(LightType type, char const* vertexFile, char const* geometryFile,
                         char const* fragmentFile) {
    LoadShaderFile(type, vertexFile, GL_VERTEX_SHADER);
    if (geometryFile != nullptr) {
        LoadShaderFile(type, geometryFile, GL_GEOMETRY_SHADER);
    }
    LoadShaderFile(type, fragmentFile, GL_FRAGMENT_SHADER);
    CreateProgram();
    if (program == 0) {
        deleteShaders();
        return;
    }
    bindOutput("fragDoment2", 0);
    bindAttribLocation();
    linkProgram();
    bindUniformLocation();
}

void ShadowShader::bindUniformLocation() {
    Shader::bindUniformLocation();
    nearAndFarPlaneHandle = uniformLocation("nearAndFarPlane");
    wsLightPosHandle = uniformLocation("wsLightPos");
    for (int i = 0; i < CubeMapFaces; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "CubeMapMat[%d]", i);
        cubeMapMatHandles[i] = uniformLocation(name);
    }
    shadowMapResulutionHandle = uniformLocation("shadowMapResulution");
}

void ShadowShader::SetNearAndFarPlane(Math::Vec2f const& nearAndFar) const {
    setVec2(nearAndFarPlaneHandle, nearAndFar);
}

void ShadowShader::SetWsLightPos(Math::Vec4f const& position) const {
    setVec4(wsLightPosHandle, position);
}

void ShadowShader::SetCubeMapViewMat(int face, Math::Mat4f const& matrix) const {
    if (static_cast<unsigned>(face) >= static_cast<unsigned>(CubeMapFaces) ||
        cubeMapMatHandles[face] == -1) {
        return;
    }
    glUniformMatrix4fv(cubeMapMatHandles[face], 1, GL_FALSE, matrix.GetGlMatrix());
}

void ShadowShader::SetShadowMapResulution(int width) const {
    setInt(shadowMapResulutionHandle, width);
}

} // namespace Engine::Render::Shader
