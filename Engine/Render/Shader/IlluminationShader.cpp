#include <Engine/Render/DeferredFrameBuffer.h>
#include <Engine/Render/Shader/IlluminationShader.h>
#include <Engine/Render/ShadowCubeMapFrameBuffer.h>
#include <Engine/Render/ShadowMapFrameBuffer.h>
#include <Engine/Scene/DirectionalLight.h>
#include <Engine/Scene/PointLight.h>
#include <Engine/Scene/ShadowCastingPointLight.h>
#include <Engine/Scene/ShadowCastingSpotLight.h>
#include <Engine/Scene/SpotLight.h>
#include <Engine/Util/Logger.h>
#include <GL/glew.h>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

namespace Engine::Render::Shader {

namespace {

using RL = RenderLimits;

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

void setVec3(int location, float const* value) {
    if (location != -1) {
        glUniform3fv(location, 1, value);
    }
}

int member(GLuint program, char const* format, char const* name, int index) {
    char buffer[96];
    std::snprintf(buffer, sizeof buffer, format, name, index);
    return glGetUniformLocation(program, buffer);
}

int sampler(GLuint program, char const* format, int index) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, format, index);
    return glGetUniformLocation(program, buffer);
}

// Logs an index at or above the limit; negative indexes count as too large.
bool indexFits(int index, int max, char const* kind) {
    if (static_cast<unsigned>(index) < static_cast<unsigned>(max)) {
        return true;
    }
    char buffer[160];
    std::snprintf(buffer, sizeof buffer,
                  "Someone tries to set a %s with index: %d (max %s count is: %d)", kind, index,
                  kind, max);
    Util::Logger::Instance()->Message(buffer, nullptr);
    return false;
}

void setCount(int location, int count, int max, char const* kind) {
    if (location == -1) {
        return;
    }
    if (count > max) {
        char buffer[160];
        std::snprintf(buffer, sizeof buffer,
                      "Someone tries to set a %s count of: %d (max %s count is: %d)", kind, count,
                      kind, max);
        Util::Logger::Instance()->Message(buffer, nullptr);
        return;
    }
    glUniform1i(location, count);
}

void bindGBufferTexture(int location, int unit, DeferredFrameBuffer* gbuffer,
                        void (DeferredFrameBuffer::*bindTexture)()) {
    if (location == -1) {
        return;
    }
    glActiveTexture(GL_TEXTURE0 + unit);
    (gbuffer->*bindTexture)();
    glUniform1i(location, unit);
}

bool readFile(char const* path, std::string& text) {
    std::ifstream file(path);
    if (!file) {
        return false;
    }
    std::ostringstream content;
    content << file.rdbuf();
    text = content.str();
    return true;
}

// The array sizes and the cube-map size of illumination.frag, as defines put
// in front of its source, so the shader and the engine share one set of
// numbers.
std::string limitDefines() {
    char buffer[320];
    std::snprintf(buffer, sizeof buffer,
                  "#define MAX_DIRECTIONAL_LIGHTS %d\n#define MAX_POINT_LIGHTS %d\n"
                  "#define MAX_SC_POINT_LIGHTS %d\n#define MAX_SPOT_LIGHTS %d\n"
                  "#define MAX_SC_SPOT_LIGHTS %d\n#define CUBE_MAP_SIZE %u\n",
                  RL::MaxDirectionalLights, RL::MaxPointLights, RL::MaxShadowCastingPointLights,
                  RL::MaxSpotLights, RL::MaxShadowCastingSpotLights,
                  Scene::ShadowCastingPointLight::MapSize);
    return buffer;
}

char const* const DirectionalName = "DirectionalLight";
char const* const PointName = "PointLight";
char const* const ScPointName = "ShadowCastingPointLight";
char const* const SpotName = "SpotLight";
char const* const ScSpotName = "Shadow Casting SpotLight";

} // namespace

IlluminationShader::IlluminationShader(char const* vertexFile, char const* fragmentFile)
    : Shader(GL_TRIANGLES) {
    build(vertexFile, fragmentFile, nullptr);
}

IlluminationShader::IlluminationShader(char const* vertexFile, char const* fragmentFile,
                                       char const* defines)
    : Shader(GL_TRIANGLES) {
    build(vertexFile, fragmentFile, defines);
}

void IlluminationShader::build(char const* vertexFile, char const* fragmentFile,
                               char const* defines) {
    LoadShaderFile(vertexFile, GL_VERTEX_SHADER);
    std::string source;
    if (readFile(fragmentFile, source)) {
        // The defines must follow the #version line.
        const std::string::size_type version = source.find("#version");
        const std::string::size_type lineEnd =
            version == std::string::npos ? std::string::npos : source.find('\n', version);
        const std::string::size_type at = lineEnd == std::string::npos ? 0 : lineEnd + 1;
        source.insert(at, limitDefines() + (defines != nullptr ? defines : ""));
        LoadShader(source.c_str(), GL_FRAGMENT_SHADER);
    } else {
        // Reports the missing file as every other shader does.
        LoadShaderFile(fragmentFile, GL_FRAGMENT_SHADER);
    }
    if (linkWithPlainOutput()) {
        bindUniformLocation();
    }
}

void IlluminationShader::bindUniformLocation() {
    Shader::bindUniformLocation();
    // A program that failed to link has no uniforms; asking would leave
    // GL_INVALID_OPERATION pending.
    if (!IsLinked()) {
        return;
    }
    const GLuint program = static_cast<GLuint>(getProgramHandle());
    depthTextureHandle = glGetUniformLocation(program, "depthTexture");
    diffuseTextureHandle = glGetUniformLocation(program, "diffuseTexture");
    specularTextureHandle = glGetUniformLocation(program, "specularTexture");
    normalTextureHandle = glGetUniformLocation(program, "normalTexture");
    emitTextureHandle = glGetUniformLocation(program, "emitTexture");
    cameraWorldPosHandle = glGetUniformLocation(program, "cameraWorldPos");
    inverseCameraMatrixHandle = glGetUniformLocation(program, "inverseCameraMatrix");
    opticalThicknessHandle = glGetUniformLocation(program, "opticalThickness");
    for (int i = 0; i < RL::MaxDirectionalLights; ++i) {
        bindDirectionalLightUniformLocation(directionalLights[i], "directionalLight", i);
    }
    directionalLightCountHandle = glGetUniformLocation(program, "directionalLightCount");
    for (int i = 0; i < RL::MaxPointLights; ++i) {
        bindPointLightUniformLocation(pointLights[i], "pointLight", i);
    }
    pointLightCountHandle = glGetUniformLocation(program, "pointLightCount");
    for (int i = 0; i < RL::MaxShadowCastingPointLights; ++i) {
        bindPointLightUniformLocation(scPointLights[i], "scPointLight", i);
        scPointLights[i].shadowCubeMap = sampler(program, "scPointLightShadowCubeMap_%d", i);
    }
    scPointLightCountHandle = glGetUniformLocation(program, "scPointLightCount");
    for (int i = 0; i < RL::MaxSpotLights; ++i) {
        bindSpotLightUniformLocation(spotLights[i], "spotLight", i);
    }
    spotLightCountHandle = glGetUniformLocation(program, "spotLightCount");
    for (int i = 0; i < RL::MaxShadowCastingSpotLights; ++i) {
        bindSpotLightUniformLocation(scSpotLights[i], "scSpotLight", i);
        scSpotLights[i].shadowMap = sampler(program, "scSpotLightShadowMap_%d", i);
        scSpotLights[i].moment2Map = sampler(program, "scSpotLightMoment2Map_%d", i);
    }
    scSpotLightCountHandle = glGetUniformLocation(program, "scSpotLightCount");
}

void IlluminationShader::bindDirectionalLightUniformLocation(DirectionalLightHandles& h,
                                                             char const* name, int index) {
    const GLuint program = static_cast<GLuint>(getProgramHandle());
    h.specularOn = member(program, "%s[%d].specularOn", name, index);
    h.inverseDir = member(program, "%s[%d].inverseDir", name, index);
    h.color = member(program, "%s[%d].color", name, index);
}

void IlluminationShader::bindPointLightUniformLocation(PointLightHandles& h, char const* name,
                                                       int index) {
    const GLuint program = static_cast<GLuint>(getProgramHandle());
    h.specularOn = member(program, "%s[%d].specularOn", name, index);
    h.pos = member(program, "%s[%d].pos", name, index);
    h.color = member(program, "%s[%d].color", name, index);
    h.attenuationOn = member(program, "%s[%d].attenuationOn", name, index);
    h.attenuation = member(program, "%s[%d].attenuation", name, index);
    h.maxDistanceOfInfluence = member(program, "%s[%d].maxDistanceOfInfluence", name, index);
    h.shadow = member(program, "%s[%d].shadow", name, index);
    h.nearAndFarPlane = member(program, "%s[%d].nearAndFarPlane", name, index);
}

void IlluminationShader::bindSpotLightUniformLocation(SpotLightHandles& h, char const* name,
                                                      int index) {
    const GLuint program = static_cast<GLuint>(getProgramHandle());
    h.specularOn = member(program, "%s[%d].specularOn", name, index);
    h.pos = member(program, "%s[%d].pos", name, index);
    h.color = member(program, "%s[%d].color", name, index);
    h.attenuationOn = member(program, "%s[%d].attenuationOn", name, index);
    h.attenuation = member(program, "%s[%d].attenuation", name, index);
    h.maxDistanceOfInfluence = member(program, "%s[%d].maxDistanceOfInfluence", name, index);
    h.dir = member(program, "%s[%d].dir", name, index);
    h.cosAngle = member(program, "%s[%d].cosAngle", name, index);
    h.radialAttenuationEpx = member(program, "%s[%d].radialAttenuationEpx", name, index);
    h.shadow = member(program, "%s[%d].shadow", name, index);
    h.nearAndFarPlane = member(program, "%s[%d].nearAndFarPlane", name, index);
    h.cameraMatrix = member(program, "%s[%d].cameraMatrix", name, index);
    h.scattering = member(program, "%s[%d].scattering", name, index);
}

void IlluminationShader::SetDepthTexture(DeferredFrameBuffer* gbuffer) const {
    bindGBufferTexture(depthTextureHandle, RL::UnitGBufferDepth, gbuffer,
                       &DeferredFrameBuffer::bindDepthTex);
}

void IlluminationShader::SetDiffuseTexture(DeferredFrameBuffer* gbuffer) const {
    bindGBufferTexture(diffuseTextureHandle, RL::UnitGBufferDiffuse, gbuffer,
                       &DeferredFrameBuffer::bindDiffuseColorTex);
}

void IlluminationShader::SetSpecularTexture(DeferredFrameBuffer* gbuffer) const {
    bindGBufferTexture(specularTextureHandle, RL::UnitGBufferSpecular, gbuffer,
                       &DeferredFrameBuffer::bindSpecularColorTex);
}

void IlluminationShader::SetNormalTexture(DeferredFrameBuffer* gbuffer) const {
    bindGBufferTexture(normalTextureHandle, RL::UnitGBufferNormal, gbuffer,
                       &DeferredFrameBuffer::bindNormalTex);
}

void IlluminationShader::SetEmitTexture(DeferredFrameBuffer* gbuffer) const {
    bindGBufferTexture(emitTextureHandle, RL::UnitGBufferEmit, gbuffer,
                       &DeferredFrameBuffer::bindEmitTex);
}

void IlluminationShader::SetCameraWorldPos(Math::Vec4f const& position) const {
    if (cameraWorldPosHandle != -1) {
        glUniform4fv(cameraWorldPosHandle, 1, position.GetGlVector());
    }
}

void IlluminationShader::SetInverseCameraMatrix(Math::Mat4f const& matrix) const {
    if (inverseCameraMatrixHandle != -1) {
        glUniformMatrix4fv(inverseCameraMatrixHandle, 1, GL_FALSE, matrix.GetGlMatrix());
    }
}

void IlluminationShader::SetOpticalThickness(float value) const {
    setFloat(opticalThicknessHandle, value);
}

void IlluminationShader::SetDirectionalLight(int index,
                                             Scene::DirectionalLight const* light) const {
    if (!indexFits(index, RL::MaxDirectionalLights, DirectionalName)) {
        return;
    }
    DirectionalLightHandles const& h = directionalLights[index];
    setInt(h.specularOn, light->specularOn() ? 1 : 0);
    const Math::Vec3f inverseDir = light->InverseDirection();
    setVec3(h.inverseDir, inverseDir.GetGlVector());
    setVec3(h.color, light->Intensity().GetGlVector());
}

void IlluminationShader::SetPointLight(int index, Scene::PointLight const* light) const {
    if (!indexFits(index, RL::MaxPointLights, PointName)) {
        return;
    }
    SetPointLight(pointLights[index], false, index, light);
}

void IlluminationShader::SetSpotLight(int index, Scene::SpotLight const* light) const {
    if (!indexFits(index, RL::MaxSpotLights, SpotName)) {
        return;
    }
    SetSpotLight(spotLights[index], false, false, index, light);
}

void IlluminationShader::SetShadowCastingPointLight(int index,
                                                    Scene::ShadowCastingPointLight* light,
                                                    int slot) const {
    if (!indexFits(index, RL::MaxShadowCastingPointLights, ScPointName)) {
        return;
    }
    PointLightHandles const& h = scPointLights[index];
    SetPointLight(h, true, index, light);
    if (h.nearAndFarPlane != -1) {
        glUniform2fv(h.nearAndFarPlane, 1, light->getNearAndFarPlane().GetGlVector());
    }
    Render::ShadowCubeMapFrameBuffer* map = light->getCubeMapBuffer();
    if (h.shadowCubeMap != -1 && map != nullptr) {
        const int unit = RL::UnitShadowCubeMapBase + slot;
        glActiveTexture(GL_TEXTURE0 + unit);
        map->bindDepthCubMapTex();
        glUniform1i(h.shadowCubeMap, unit);
    }
}

void IlluminationShader::SetShadowCastingSpotLight(int index, Scene::ShadowCastingSpotLight* light,
                                                   int slot, bool scattering) const {
    if (!indexFits(index, RL::MaxShadowCastingSpotLights, ScSpotName)) {
        return;
    }
    SpotLightHandles const& h = scSpotLights[index];
    // The array itself marks these lights as shadowed: the flag stays 0.
    SetSpotLight(h, false, scattering, index, light);
    if (h.nearAndFarPlane != -1) {
        glUniform2fv(h.nearAndFarPlane, 1, light->getNearAndFarPlane().GetGlVector());
    }
    if (h.cameraMatrix != -1) {
        glUniformMatrix4fv(h.cameraMatrix, 1, GL_FALSE,
                           light->getShadowLookupMatrix().GetGlMatrix());
    }
    Render::ShadowMapFrameBuffer* map = light->getBluredShadowMapBuffer();
    if (map == nullptr) {
        return;
    }
    if (h.shadowMap != -1) {
        const int unit = RL::UnitShadowMapBase + 2 * slot;
        glActiveTexture(GL_TEXTURE0 + unit);
        map->bindDepthMapTex();
        glUniform1i(h.shadowMap, unit);
    }
    if (h.moment2Map != -1) {
        const int unit = RL::UnitMoment2MapBase + 2 * slot;
        glActiveTexture(GL_TEXTURE0 + unit);
        map->bindMoment2MapTex();
        glUniform1i(h.moment2Map, unit);
    }
}

bool IlluminationShader::SetPointLight(PointLightHandles const& h, bool shadow, int,
                                       Scene::PointLight const* light) const {
    setInt(h.specularOn, light->specularOn() ? 1 : 0);
    setVec3(h.pos, light->WorldLocation().GetGlVector());
    setVec3(h.color, light->Intensity().GetGlVector());
    setInt(h.attenuationOn, light->AttenuationOn() ? 1 : 0);
    if (light->AttenuationOn()) {
        setVec3(h.attenuation, light->Attenuation().GetGlVector());
        setFloat(h.maxDistanceOfInfluence, light->MaxDistanceOfInfluence());
    }
    setInt(h.shadow, shadow ? 1 : 0);
    return true;
}

bool IlluminationShader::SetSpotLight(SpotLightHandles const& h, bool shadow, bool scattering, int,
                                      Scene::SpotLight const* light) const {
    setInt(h.specularOn, light->specularOn() ? 1 : 0);
    setVec3(h.pos, light->WorldLocation().GetGlVector());
    setVec3(h.color, light->Intensity().GetGlVector());
    setInt(h.attenuationOn, light->AttenuationOn() ? 1 : 0);
    if (light->AttenuationOn()) {
        setVec3(h.attenuation, light->Attenuation().GetGlVector());
        setFloat(h.maxDistanceOfInfluence, light->MaxDistanceOfInfluence());
    }
    setVec3(h.dir, light->WorldDirection().GetGlVector());
    setFloat(h.cosAngle, std::cos(light->Angle()));
    setFloat(h.radialAttenuationEpx, light->RadialAttenuationEpx());
    setInt(h.shadow, shadow ? 1 : 0);
    setInt(h.scattering, scattering ? 1 : 0);
    return true;
}

void IlluminationShader::SetShadowCastingPointLightDummy(int index, unsigned int texture,
                                                         int slot) const {
    if (!indexFits(index, RL::MaxShadowCastingPointLights, ScPointName)) {
        return;
    }
    const int location = scPointLights[index].shadowCubeMap;
    if (location == -1) {
        return;
    }
    const int unit = RL::UnitShadowCubeMapBase + slot;
    glActiveTexture(GL_TEXTURE0 + unit);
    glBindTexture(GL_TEXTURE_CUBE_MAP, texture);
    glUniform1i(location, unit);
}

void IlluminationShader::SetShadowCastingSpotLightDummy(int index, unsigned int texture,
                                                        int slot) const {
    if (!indexFits(index, RL::MaxShadowCastingSpotLights, ScSpotName)) {
        return;
    }
    SpotLightHandles const& h = scSpotLights[index];
    const int shadowUnit = RL::UnitShadowMapBase + 2 * slot;
    const int momentUnit = RL::UnitMoment2MapBase + 2 * slot;
    if (h.shadowMap != -1) {
        glActiveTexture(GL_TEXTURE0 + shadowUnit);
        glBindTexture(GL_TEXTURE_2D, texture);
        glUniform1i(h.shadowMap, shadowUnit);
    }
    if (h.moment2Map != -1) {
        glActiveTexture(GL_TEXTURE0 + momentUnit);
        glBindTexture(GL_TEXTURE_2D, texture);
        glUniform1i(h.moment2Map, momentUnit);
    }
}

void IlluminationShader::SetDirectionalLightCount(int count) const {
    setCount(directionalLightCountHandle, count, RL::MaxDirectionalLights, DirectionalName);
}

void IlluminationShader::SetPointLightCount(int count) const {
    setCount(pointLightCountHandle, count, RL::MaxPointLights, PointName);
}

void IlluminationShader::SetShadowCastingPointLightCount(int count) const {
    setCount(scPointLightCountHandle, count, RL::MaxShadowCastingPointLights, ScPointName);
}

void IlluminationShader::SetSpotLightCount(int count) const {
    setCount(spotLightCountHandle, count, RL::MaxSpotLights, SpotName);
}

void IlluminationShader::SetShadowCastingSpotLightCount(int count) const {
    setCount(scSpotLightCountHandle, count, RL::MaxShadowCastingSpotLights, ScSpotName);
}

} // namespace Engine::Render::Shader
