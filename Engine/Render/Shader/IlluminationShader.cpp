#include <Engine/Render/DeferredFrameBuffer.h>
#include <Engine/Render/LightTiles.h>
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
#include <string>

namespace Engine::Render::Shader {

namespace {

using RL = RenderLimits;

// "name[index].field", the uniform of one member of a light record.
std::string member(char const* name, int index, char const* field) {
    return std::string(name) + "[" + std::to_string(index) + "]." + field;
}

// "prefix_index", the sampler of one light's shadow map.
std::string sampler(char const* prefix, int index) {
    return std::string(prefix) + "_" + std::to_string(index);
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

// The array sizes and the cube-map size of illumination.frag, as defines put
// in front of its source, so the shader and the engine share one set of
// numbers.
std::string limitDefines() {
    char buffer[640];
    std::snprintf(buffer, sizeof buffer,
                  "#define MAX_DIRECTIONAL_LIGHTS %d\n#define MAX_POINT_LIGHTS %d\n"
                  "#define MAX_SC_POINT_LIGHTS %d\n#define MAX_SPOT_LIGHTS %d\n"
                  "#define MAX_SC_SPOT_LIGHTS %d\n#define CUBE_MAP_SIZE %u\n"
                  "#define TILE_SIZE %d\n#define TILE_BIT_POINT_LIGHTS %d\n"
                  "#define TILE_BIT_SC_POINT_LIGHTS %d\n#define TILE_BIT_SPOT_LIGHTS %d\n"
                  "#define TILE_BIT_SC_SPOT_LIGHTS %d\n",
                  RL::MaxDirectionalLights, RL::MaxPointLights, RL::MaxShadowCastingPointLights,
                  RL::MaxSpotLights, RL::MaxShadowCastingSpotLights,
                  Scene::ShadowCastingPointLight::MapSize, LightTiles::TileSize,
                  RL::TileBitPointLights, RL::TileBitShadowCastingPointLights,
                  RL::TileBitSpotLights, RL::TileBitShadowCastingSpotLights);
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
    if (readShaderText(fragmentFile, source)) {
        // The defines must follow the #version line.
        const std::string::size_type version = source.find("#version");
        const std::string::size_type lineEnd =
            version == std::string::npos ? std::string::npos : source.find('\n', version);
        const std::string::size_type at = lineEnd == std::string::npos ? 0 : lineEnd + 1;
        source.insert(at, limitDefines() + (defines != nullptr ? defines : ""));
        LoadShader(source.c_str(), GL_FRAGMENT_SHADER);
    }
    if (linkWithPlainOutput()) {
        bindUniformLocation();
    }
}

void IlluminationShader::bindUniformLocation() {
    Shader::bindUniformLocation();
    depthTextureHandle = uniformLocation("depthTexture");
    diffuseTextureHandle = uniformLocation("diffuseTexture");
    specularTextureHandle = uniformLocation("specularTexture");
    normalTextureHandle = uniformLocation("normalTexture");
    emitTextureHandle = uniformLocation("emitTexture");
    cameraWorldPosHandle = uniformLocation("cameraWorldPos");
    inverseCameraMatrixHandle = uniformLocation("inverseCameraMatrix");
    opticalThicknessHandle = uniformLocation("opticalThickness");
    lightTilesHandle = uniformLocation("lightTiles");
    lightTileColumnsHandle = uniformLocation("lightTileColumns");
    for (int i = 0; i < RL::MaxDirectionalLights; ++i) {
        bindDirectionalLightUniformLocation(directionalLights[i], "directionalLight", i);
    }
    directionalLightCountHandle = uniformLocation("directionalLightCount");
    for (int i = 0; i < RL::MaxPointLights; ++i) {
        bindPositionalLightUniformLocation(pointLights[i], "pointLight", i);
    }
    pointLightCountHandle = uniformLocation("pointLightCount");
    for (int i = 0; i < RL::MaxShadowCastingPointLights; ++i) {
        bindPositionalLightUniformLocation(scPointLights[i], "scPointLight", i);
        scPointLights[i].shadowCubeMap = uniformLocation(sampler("scPointLightShadowCubeMap", i));
    }
    scPointLightCountHandle = uniformLocation("scPointLightCount");
    for (int i = 0; i < RL::MaxSpotLights; ++i) {
        bindSpotLightUniformLocation(spotLights[i], "spotLight", i);
    }
    spotLightCountHandle = uniformLocation("spotLightCount");
    for (int i = 0; i < RL::MaxShadowCastingSpotLights; ++i) {
        bindSpotLightUniformLocation(scSpotLights[i], "scSpotLight", i);
        scSpotLights[i].shadowMap = uniformLocation(sampler("scSpotLightShadowMap", i));
    }
    scSpotLightCountHandle = uniformLocation("scSpotLightCount");
}

void IlluminationShader::bindDirectionalLightUniformLocation(DirectionalLightHandles& h,
                                                             char const* name, int index) {
    h.specularOn = uniformLocation(member(name, index, "specularOn"));
    h.inverseDir = uniformLocation(member(name, index, "inverseDir"));
    h.color = uniformLocation(member(name, index, "color"));
}

void IlluminationShader::bindPositionalLightUniformLocation(PositionalLightHandles& h,
                                                            char const* name, int index) {
    h.specularOn = uniformLocation(member(name, index, "specularOn"));
    h.pos = uniformLocation(member(name, index, "pos"));
    h.color = uniformLocation(member(name, index, "color"));
    h.attenuationOn = uniformLocation(member(name, index, "attenuationOn"));
    h.attenuation = uniformLocation(member(name, index, "attenuation"));
    h.maxDistanceOfInfluence = uniformLocation(member(name, index, "maxDistanceOfInfluence"));
    h.shadow = uniformLocation(member(name, index, "shadow"));
    h.nearAndFarPlane = uniformLocation(member(name, index, "nearAndFarPlane"));
}

void IlluminationShader::bindSpotLightUniformLocation(SpotLightHandles& h, char const* name,
                                                      int index) {
    bindPositionalLightUniformLocation(h, name, index);
    h.dir = uniformLocation(member(name, index, "dir"));
    h.cosAngle = uniformLocation(member(name, index, "cosAngle"));
    h.radialAttenuationEpx = uniformLocation(member(name, index, "radialAttenuationEpx"));
    h.cameraMatrix = uniformLocation(member(name, index, "cameraMatrix"));
    h.scattering = uniformLocation(member(name, index, "scattering"));
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
    setVec4(cameraWorldPosHandle, position);
}

void IlluminationShader::SetInverseCameraMatrix(Math::Mat4f const& matrix) const {
    setMatrix(inverseCameraMatrixHandle, matrix);
}

void IlluminationShader::SetOpticalThickness(float value) const {
    setFloat(opticalThicknessHandle, value);
}

void IlluminationShader::SetLightTiles(unsigned int texture, int columns) const {
    if (lightTilesHandle != -1) {
        glActiveTexture(GL_TEXTURE0 + RL::UnitLightTiles);
        glBindTexture(GL_TEXTURE_BUFFER, texture);
        glUniform1i(lightTilesHandle, RL::UnitLightTiles);
    }
    setInt(lightTileColumnsHandle, columns);
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
    SetPositionalLight(pointLights[index], false, light);
}

void IlluminationShader::SetSpotLight(int index, Scene::SpotLight const* light) const {
    if (!indexFits(index, RL::MaxSpotLights, SpotName)) {
        return;
    }
    SetSpotLight(spotLights[index], false, false, light);
}

void IlluminationShader::SetShadowCastingPointLight(int index,
                                                    Scene::ShadowCastingPointLight* light,
                                                    int slot) const {
    if (!indexFits(index, RL::MaxShadowCastingPointLights, ScPointName)) {
        return;
    }
    PointLightHandles const& h = scPointLights[index];
    SetPositionalLight(h, true, light);
    setVec2(h.nearAndFarPlane, light->getNearAndFarPlane());
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
    SetSpotLight(h, false, scattering, light);
    setVec2(h.nearAndFarPlane, light->getNearAndFarPlane());
    setMatrix(h.cameraMatrix, light->getShadowLookupMatrix());
    Render::ShadowMapFrameBuffer* map = light->getBluredShadowMapBuffer();
    if (map == nullptr) {
        return;
    }
    if (h.shadowMap != -1) {
        const int unit = RL::UnitShadowMapBase + slot;
        glActiveTexture(GL_TEXTURE0 + unit);
        map->bindDepthMapTex();
        glUniform1i(h.shadowMap, unit);
    }
}

void IlluminationShader::SetPositionalLight(PositionalLightHandles const& h, bool shadow,
                                            Scene::PointLight const* light) {
    setInt(h.specularOn, light->specularOn() ? 1 : 0);
    setVec3(h.pos, light->WorldLocation().GetGlVector());
    setVec3(h.color, light->Intensity().GetGlVector());
    setInt(h.attenuationOn, light->AttenuationOn() ? 1 : 0);
    if (light->AttenuationOn()) {
        setVec3(h.attenuation, light->Attenuation().GetGlVector());
        setFloat(h.maxDistanceOfInfluence, light->MaxDistanceOfInfluence());
    }
    setInt(h.shadow, shadow ? 1 : 0);
}

void IlluminationShader::SetSpotLight(SpotLightHandles const& h, bool shadow, bool scattering,
                                      Scene::SpotLight const* light) {
    SetPositionalLight(h, shadow, light);
    setVec3(h.dir, light->WorldDirection().GetGlVector());
    setFloat(h.cosAngle, std::cos(light->Angle()));
    setFloat(h.radialAttenuationEpx, light->RadialAttenuationEpx());
    setInt(h.scattering, scattering ? 1 : 0);
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
    const int unit = RL::UnitShadowMapBase + slot;
    if (h.shadowMap != -1) {
        glActiveTexture(GL_TEXTURE0 + unit);
        glBindTexture(GL_TEXTURE_2D, texture);
        glUniform1i(h.shadowMap, unit);
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
