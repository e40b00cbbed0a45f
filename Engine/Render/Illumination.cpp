#include <Engine/Render/DeferredFrameBuffer.h>
#include <Engine/Render/EffectPlane.h>
#include <Engine/Render/Illumination.h>
#include <Engine/Render/LightLookupTable.h>
#include <Engine/Render/RenderLimits.h>
#include <Engine/Render/Shader/IlluminationShader.h>
#include <Engine/Render/ShaderPaths.h>
#include <Engine/Render/TextureSetup.h>
#include <Engine/Scene/DirectionalLight.h>
#include <Engine/Scene/PointLight.h>
#include <Engine/Scene/SpotLight.h>
#include <Engine/Util/UtilFunctions.h>
#include <GL/glew.h>

namespace Engine::Render {

namespace {

using RL = RenderLimits;

std::vector<Scene::Light*> const* lightsOf(Illumination::LightMap const& lights, LightType type) {
    auto it = lights.find(type);
    return it == lights.end() ? nullptr : &it->second;
}

// Walks the lights of one kind: a light that is on goes to index
// (position - lights off so far); returns the number of lights that are on.
// A light registered under the wrong key is treated as off.
template <typename LightClass, typename Pack>
int packKind(std::vector<Scene::Light*> const& lights, LightType type, Pack pack) {
    int off = 0;
    for (size_t i = 0; i < lights.size(); ++i) {
        Scene::Light* light = lights[i];
        if (light == nullptr || !light->isOn() || light->Type() != type) {
            ++off;
            continue;
        }
        pack(static_cast<int>(i) - off, static_cast<LightClass const*>(light));
    }
    return static_cast<int>(lights.size()) - off;
}

// True when a switched-on light of a shadow-casting kind is visible.
bool hasShadowCastingLights(Illumination::LightMap const& visible) {
    for (LightType type : {LIGHT_SHADOW_POINT, LIGHT_SHADOW_SPOT, LIGHT_GOD_RAY_SPOT}) {
        if (auto const* lights = lightsOf(visible, type)) {
            for (Scene::Light const* light : *lights) {
                if (light != nullptr && light->isOn()) {
                    return true;
                }
            }
        }
    }
    return false;
}

} // namespace

Illumination::Illumination(EffectPlane* effectPlane, LightLookupTable* table)
    : plane(effectPlane), lookupTable(table) {
    shader = new Shader::IlluminationShader(ShaderPaths::QuadVert, ShaderPaths::IlluminationFrag);
    lightsOnlyShader = new Shader::IlluminationShader(
        ShaderPaths::QuadVert, ShaderPaths::IlluminationFrag, "#define WITHOUT_SHADOW_LIGHTS 1\n");
    active = shader;
    Util::UtilFunctions::glError();
    initEmptyMaps();
}

Illumination::~Illumination() {
    TextureSetup::deleteTexture(emptyCubeMap);
    TextureSetup::deleteTexture(emptyMap);
    delete shader;
    delete lightsOnlyShader;
    delete lookupTable;
}

void Illumination::initEmptyMaps() {
    glGenTextures(1, &emptyCubeMap);
    glBindTexture(GL_TEXTURE_CUBE_MAP, emptyCubeMap);
    for (int i = 0; i < 6; ++i) {
        glTexImage2D(GL_TEXTURE_CUBE_MAP_POSITIVE_X + i, 0, GL_DEPTH_COMPONENT24, 1, 1, 0,
                     GL_DEPTH_COMPONENT, GL_UNSIGNED_INT, nullptr);
    }
    glBindTexture(GL_TEXTURE_CUBE_MAP, 0);
    glGenTextures(1, &emptyMap);
    glBindTexture(GL_TEXTURE_2D, emptyMap);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_DEPTH_COMPONENT24, 1, 1, 0, GL_DEPTH_COMPONENT, GL_FLOAT,
                 nullptr);
    glBindTexture(GL_TEXTURE_2D, 0);
}

void Illumination::renderMaps(Util::Timer const&, LightMap const&) {
    // No light kind has a shadow camera yet, so there is nothing to render or
    // blur; the pass still leaves the state the frame expects after it.
    glDisable(GL_DEPTH_TEST);
    glDepthMask(GL_FALSE);
    plane->enableVertexBO();
    glDisableVertexAttribArray(0);
    glUseProgram(0);
    glEnable(GL_DEPTH_TEST);
    glDepthMask(GL_TRUE);
}

void Illumination::illuminat(DeferredFrameBuffer* gbuffer, Math::Vec4f const& cameraPos,
                             Math::Mat4f const& inverseCameraMatrix, LightMap const& visible) {
    // The software rasteriser runs every branch of a shader, so frames
    // without shadow-casting lights use the program compiled without them.
    active = hasShadowCastingLights(visible) ? shader : lightsOnlyShader;
    active->Activate();
    active->SetDepthTexture(gbuffer);
    active->SetDiffuseTexture(gbuffer);
    active->SetSpecularTexture(gbuffer);
    active->SetNormalTexture(gbuffer);
    active->SetEmitTexture(gbuffer);
    active->SetCameraWorldPos(cameraPos);
    active->SetInverseCameraMatrix(inverseCameraMatrix);
    active->SetOpticalThickness(lookupTable != nullptr ? lookupTable->getBeta() : 0.0f);

    packDirectionalLights(visible);
    packPointLights(visible);
    packShadowCastingPointLights(visible);
    packSpotLights(visible);
    packShadowCastingSpotLights(visible);

    plane->enableVertexBO();
    plane->draw(active);
    plane->disableVertexBO();
    glUseProgram(0);
}

void Illumination::packDirectionalLights(LightMap const& visible) {
    auto const* lights = lightsOf(visible, LIGHT_DIRECTIONAL);
    if (lights == nullptr) {
        active->SetDirectionalLightCount(0);
        return;
    }
    const int count = packKind<Scene::DirectionalLight>(
        *lights, LIGHT_DIRECTIONAL, [this](int index, Scene::DirectionalLight const* l) {
            active->SetDirectionalLight(index, l);
        });
    active->SetDirectionalLightCount(count);
}

void Illumination::packPointLights(LightMap const& visible) {
    auto const* lights = lightsOf(visible, LIGHT_POINT);
    if (lights == nullptr) {
        active->SetPointLightCount(0);
        return;
    }
    const int count = packKind<Scene::PointLight>(
        *lights, LIGHT_POINT,
        [this](int index, Scene::PointLight const* l) { active->SetPointLight(index, l); });
    active->SetPointLightCount(count);
}

void Illumination::packShadowCastingPointLights(LightMap const&) {
    // Shadow-casting point lights have no maps yet: every slot samples the
    // empty cube map and none is lit.
    for (int slot = 0; slot < RL::MaxShadowCastingPointLights; ++slot) {
        active->SetShadowCastingPointLightDummy(slot, emptyCubeMap, slot);
    }
    active->SetShadowCastingPointLightCount(0);
}

void Illumination::packSpotLights(LightMap const& visible) {
    auto const* lights = lightsOf(visible, LIGHT_SPOT);
    if (lights == nullptr) {
        active->SetSpotLightCount(0);
        return;
    }
    const int count = packKind<Scene::SpotLight>(
        *lights, LIGHT_SPOT,
        [this](int index, Scene::SpotLight const* l) { active->SetSpotLight(index, l); });
    active->SetSpotLightCount(count);
}

void Illumination::packShadowCastingSpotLights(LightMap const&) {
    // Shadow-casting and god-ray spot lights have no maps yet: every slot
    // samples the empty map and none is lit.
    for (int slot = 0; slot < RL::MaxShadowCastingSpotLights; ++slot) {
        active->SetShadowCastingSpotLightDummy(slot, emptyMap, slot);
    }
    active->SetShadowCastingSpotLightCount(0);
}

} // namespace Engine::Render
