#include <Engine/Render/DeferredFrameBuffer.h>
#include <Engine/Render/Internal/ShaderPaths.h>
#include <Engine/Render/LightLookupTable.h>
#include <Engine/Render/Shader/GodRayShader.h>
#include <Engine/Render/ShadowMapFrameBuffer.h>
#include <Engine/Util/EffectSettings.h>
#include <GL/glew.h>
#include <string>

namespace Engine::Render::Shader {

namespace {

const int DepthUnit = 0;
const int ShadowMapUnit = 1;
const int TableAUnit = 2;
const int TableBUnit = 3;
const int AdaptedLuminanceUnit = 4;
const int PhaseTableUnit = 5;

} // namespace

GodRayShader::GodRayShader(char const* vertexFile, char const* fragmentFile) : Shader(GL_QUADS) {
    build(vertexFile, nullptr, nullptr, nullptr, fragmentFile, false);
}

GodRayShader::GodRayShader(LightType, char const* vertexFile, char const* tessControlFile,
                           char const* tessEvaluationFile, char const* fragmentFile)
    : Shader(GL_PATCHES) {
    build(vertexFile, tessControlFile, tessEvaluationFile, nullptr, fragmentFile, true);
}

GodRayShader::GodRayShader(LightType, char const* vertexFile, char const* tessControlFile,
                           char const* tessEvaluationFile, char const* geometryFile,
                           char const* fragmentFile)
    : Shader(GL_PATCHES) {
    build(vertexFile, tessControlFile, tessEvaluationFile, geometryFile, fragmentFile, true);
}

unsigned int GodRayShader::LoadShaderFile(LightType, char const* path, unsigned int stage) {
    // The sources carry their own #version line.
    return Shader::LoadShaderFile(path, stage, "");
}

void GodRayShader::build(char const* vertexFile, char const* tessControlFile,
                         char const* tessEvaluationFile, char const* geometryFile,
                         char const* fragmentFile, bool withScattering) {
    std::string scattering;
    if (withScattering) {
        readShaderText(ShaderPaths::GodRayScattering, scattering);
    }
    struct Stage {
        char const* file;
        unsigned int type;
    };
    Stage const stages[] = {{vertexFile, GL_VERTEX_SHADER},
                            {tessControlFile, GL_TESS_CONTROL_SHADER},
                            {tessEvaluationFile, GL_TESS_EVALUATION_SHADER},
                            {geometryFile, GL_GEOMETRY_SHADER},
                            {fragmentFile, GL_FRAGMENT_SHADER}};
    for (Stage const& stage : stages) {
        if (stage.file == nullptr) {
            continue;
        }
        if (withScattering && stage.type != GL_FRAGMENT_SHADER) {
            Shader::LoadShaderFile(stage.file, stage.type, scattering.c_str());
        } else {
            LoadShaderFile(LIGHT_GOD_RAY_SPOT, stage.file, stage.type);
        }
    }
    if (linkWithPlainOutput()) {
        bindUniformLocation();
    }
}

void GodRayShader::bindUniformLocation() {
    Shader::bindUniformLocation();
    inverseLightCameraMatrixHandle = uniformLocation("inverseLightCameraMatrix");
    nearAndFarPlaneHandle = uniformLocation("nearAndFarPlane");
    depthTextureHandle = uniformLocation("depthTexture");
    shadowMapHandle = uniformLocation("shadowMap");
    lightWorldPosHandle = uniformLocation("lightWorldPos");
    lightDirHandle = uniformLocation("lightDir");
    wireframeHandle = uniformLocation("wireframe");
    inverseCameraMatrixHandle = uniformLocation("inverseCameraMatrix");
    cameraWorldPosHandle = uniformLocation("cameraWorldPos");
    lightIntensityHandle = uniformLocation("lightIntensity");
    betaHandle = uniformLocation("beta");
    maxAValueHandle = uniformLocation("maxAValue");
    maxBValueHandle = uniformLocation("maxBValue");
    intMinABHandle = uniformLocation("intMinAB");
    intMaxABHandle = uniformLocation("intMaxAB");
    intMinCHandle = uniformLocation("intMinC");
    intMaxCHandle = uniformLocation("intMaxC");
    loockupTableAHandle = uniformLocation("loockupTableA");
    loockupTableBHandle = uniformLocation("loockupTableB");
    lightAttenuationHandle = uniformLocation("lightAttenuation");
    lightConeHandle = uniformLocation("lightCone");
    adaptedLuminanceHandle = uniformLocation("adaptedLuminance");
    phaseTableHandle = uniformLocation("phaseTable");
    intMinSigmaHandle = uniformLocation("intMinSigma");
    intMaxSigmaHandle = uniformLocation("intMaxSigma");
}

void GodRayShader::SetInverseCameraMatrix(Math::Mat4f const& matrix) const {
    setMatrix(inverseCameraMatrixHandle, matrix);
}

void GodRayShader::SetInverseLightCameraMatrix(Math::Mat4f const& matrix) const {
    setMatrix(inverseLightCameraMatrixHandle, matrix);
}

void GodRayShader::SetNearAndFarPlane(Math::Vec2f const& nearAndFar) const {
    setVec2(nearAndFarPlaneHandle, nearAndFar);
}

void GodRayShader::SetLightWorldPos(Math::Vec4f const& position) const {
    setVec3(lightWorldPosHandle, position.GetGlVector());
}

void GodRayShader::SetLightDir(Math::Vec3f const& direction) const {
    setVec3(lightDirHandle, direction.GetGlVector());
}

void GodRayShader::SetLightIntensity(Math::Vec3f const& intensity) const {
    setVec3(lightIntensityHandle, intensity.GetGlVector());
}

void GodRayShader::SetCameraWorldPos(Math::Vec4f const& position) const {
    setVec4(cameraWorldPosHandle, position);
}

void GodRayShader::SetLightAttenuation(Math::Vec3f const& attenuation) const {
    setVec3(lightAttenuationHandle, attenuation.GetGlVector());
}

void GodRayShader::SetLightCone(float cosAngle, float exponent) const {
    if (lightConeHandle != -1) {
        glUniform2f(lightConeHandle, cosAngle, exponent);
    }
}

void GodRayShader::SetDepthTexture(DeferredFrameBuffer* gbuffer) const {
    if (depthTextureHandle == -1) {
        return;
    }
    glActiveTexture(GL_TEXTURE0 + DepthUnit);
    gbuffer->bindDepthTex();
    glUniform1i(depthTextureHandle, DepthUnit);
}

void GodRayShader::SetShadowMap(ShadowMapFrameBuffer* target) const {
    if (shadowMapHandle == -1 || target == nullptr) {
        return;
    }
    // The distances are read from the moments' first channel: the depth
    // attachment holds the projection's depth, which only orders surfaces.
    glActiveTexture(GL_TEXTURE0 + ShadowMapUnit);
    target->bindMoment2MapTex();
    glUniform1i(shadowMapHandle, ShadowMapUnit);
}

void GodRayShader::SetAdaptedLuminance(unsigned int texture) const {
    if (adaptedLuminanceHandle == -1) {
        return;
    }
    glActiveTexture(GL_TEXTURE0 + AdaptedLuminanceUnit);
    glBindTexture(GL_TEXTURE_2D, texture);
    glUniform1i(adaptedLuminanceHandle, AdaptedLuminanceUnit);
}

void GodRayShader::SetLightLookupTableTex(LightLookupTable* table) const {
    if (loockupTableAHandle != -1) {
        glActiveTexture(GL_TEXTURE0 + TableAUnit);
        table->bindLookupTexA();
        glUniform1i(loockupTableAHandle, TableAUnit);
    }
    if (loockupTableBHandle != -1) {
        glActiveTexture(GL_TEXTURE0 + TableBUnit);
        table->bindLookupTexB();
        glUniform1i(loockupTableBHandle, TableBUnit);
    }
    if (phaseTableHandle != -1) {
        glActiveTexture(GL_TEXTURE0 + PhaseTableUnit);
        table->bindPhaseTex();
        glUniform1i(phaseTableHandle, PhaseTableUnit);
    }
}

void GodRayShader::SetLightLookupTableInfo(LightLookupTable* table) const {
    setFloat(wireframeHandle, Util::EffectSettings::Instance()->DrawWireFrame() ? 1.0f : 0.0f);
    setFloat(betaHandle, table->getBeta());
    setFloat(maxAValueHandle, table->getMaxAValue());
    setFloat(maxBValueHandle, table->getMaxBValue());
    setFloat(intMinABHandle, table->getMinAB());
    setFloat(intMaxABHandle, table->getMaxAB());
    setFloat(intMinCHandle, table->getMinC());
    setFloat(intMaxCHandle, table->getMaxC());
    setFloat(intMinSigmaHandle, table->getMinSigma());
    setFloat(intMaxSigmaHandle, table->getMaxSigma());
}

} // namespace Engine::Render::Shader
