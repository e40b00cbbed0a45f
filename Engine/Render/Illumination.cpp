#include <Engine/Render/DeferredFrameBuffer.h>
#include <Engine/Render/EffectPlane.h>
#include <Engine/Render/FrameProfiler.h>
#include <Engine/Render/Illumination.h>
#include <Engine/Render/Internal/ShaderPaths.h>
#include <Engine/Render/Internal/TextureSetup.h>
#include <Engine/Render/LightLookupTable.h>
#include <Engine/Render/QuadPatch.h>
#include <Engine/Render/RenderLimits.h>
#include <Engine/Render/Shader/GodRayShader.h>
#include <Engine/Render/Shader/IlluminationShader.h>
#include <Engine/Render/Shader/ShadowGaussShader.h>
#include <Engine/Scene/DirectionalLight.h>
#include <Engine/Scene/GodRaySpotLight.h>
#include <Engine/Scene/PointLight.h>
#include <Engine/Scene/ShadowCastingPointLight.h>
#include <Engine/Scene/ShadowCastingSpotLight.h>
#include <Engine/Scene/SpotLight.h>
#include <Engine/Util/EffectSettings.h>
#include <Engine/Util/UtilFunctions.h>
#include <GL/glew.h>
#include <algorithm>
#include <bitset>
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <initializer_list>

namespace Engine::Render {

namespace {

using RL = RenderLimits;

// Vertices along each side of the scattering pass's patch grid.
const int ScatteringGridSize = 16;

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
        pack(static_cast<int>(i) - off, static_cast<LightClass*>(light));
    }
    return static_cast<int>(lights.size()) - off;
}

// Packs the visible lights of a kind without shadow maps into their array
// with the shader's setter; returns how many there are (0 without any).
template <typename LightClass>
int packPlainKind(Illumination::LightMap const& visible, LightType type,
                  Shader::IlluminationShader const& shader,
                  void (Shader::IlluminationShader::*set)(int, LightClass const*) const) {
    auto const* lights = lightsOf(visible, type);
    if (lights == nullptr) {
        return 0;
    }
    return packKind<LightClass>(*lights, type, [&shader, set](int index, LightClass const* light) {
        (shader.*set)(index, light);
    });
}

// Calls take(light) for each visible, switched-on light of the kind that is
// not black (a light registered under the wrong key is treated as off). A
// black light (one faded out, say) lights and scatters nothing, so it takes
// no shadow-casting slot and draws no beam.
template <typename Take>
void forEachLit(Illumination::LightMap const& visible, LightType type, Take take) {
    if (auto const* lights = lightsOf(visible, type)) {
        for (Scene::Light* light : *lights) {
            if (light == nullptr || !light->isOn() || light->Type() != type) {
                continue;
            }
            Math::Vec3f const& c = light->Intensity();
            if (c.X() != 0.0f || c.Y() != 0.0f || c.Z() != 0.0f) {
                take(light);
            }
        }
    }
}

} // namespace

Illumination::Illumination(EffectPlane* effectPlane, LightLookupTable* table)
    : plane(effectPlane), lookupTable(table) {
    quadPatch = new QuadPatch(ScatteringGridSize, ScatteringGridSize);
    godRayShader = new Shader::GodRayShader(LIGHT_GOD_RAY_SPOT, ShaderPaths::GodRayVert,
                                            ShaderPaths::GodRayTessC, ShaderPaths::GodRayTessE,
                                            ShaderPaths::GodRayFrag);
    shadowGauss =
        new Shader::ShadowGaussShader(ShaderPaths::ShadowGaussVert, ShaderPaths::ShadowGaussFrag);
    Util::UtilFunctions::glError();
    initEmptyMaps();
}

Shader::IlluminationShader* Illumination::program(int pointShadowSlots, int spotShadowSlots,
                                                  PlainLoops loops) {
    pointShadowSlots = std::clamp(pointShadowSlots, 0, RL::MaxShadowCastingPointLights);
    spotShadowSlots = std::clamp(spotShadowSlots, 0, RL::MaxShadowCastingSpotLights);
    const int points = std::clamp(loops.points, NoLoop, EveryLightLoop + RL::MaxPointLights - 1);
    const int spots = std::clamp(loops.spots, NoLoop, EveryLightLoop + RL::MaxSpotLights - 1);
    Shader::IlluminationShader*& slot =
        programs[{pointShadowSlots, spotShadowSlots, loops.directional ? 1 : 0, points, spots}];
    if (slot == nullptr) {
        char defines[192];
        std::snprintf(defines, sizeof defines,
                      "#define SC_POINT_LIGHT_SLOTS %d\n#define SC_SPOT_LIGHT_SLOTS %d\n"
                      "#define DIRECTIONAL_LIGHT_LOOP %d\n#define POINT_LIGHT_LOOP %d\n"
                      "#define SPOT_LIGHT_LOOP %d\n",
                      pointShadowSlots, spotShadowSlots, loops.directional ? 1 : 0, points, spots);
        slot = new Shader::IlluminationShader(ShaderPaths::IlluminationVert,
                                              ShaderPaths::IlluminationFrag, defines);
    }
    return slot;
}

Illumination::~Illumination() {
    TextureSetup::deleteTexture(tileTexture);
    if (tileBuffer != 0) {
        glDeleteBuffers(1, &tileBuffer);
    }
    TextureSetup::deleteTexture(emptyCubeMap);
    TextureSetup::deleteTexture(emptyMap);
    TextureSetup::deleteTexture(unknownLuminance);
    for (auto& entry : programs) {
        delete entry.second;
    }
    delete shadowGauss;
    delete godRayShader;
    delete lookupTable;
    delete quadPatch;
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
    // A luminance of 0 tells the scattering pass that no exposure is known.
    const float zero = 0.0f;
    glGenTextures(1, &unknownLuminance);
    glBindTexture(GL_TEXTURE_2D, unknownLuminance);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_R32F, 1, 1, 0, GL_RED, GL_FLOAT, &zero);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glBindTexture(GL_TEXTURE_2D, 0);
}

void Illumination::renderMaps(Util::Timer const& timer, LightMap const& lights) {
    // Lights of the wrong class under a key, and lights that are off, are
    // skipped; the latter keep their requests for when they are on again.
    auto each = [&lights](LightType type, auto&& action) {
        if (auto const* list = lightsOf(lights, type)) {
            for (Scene::Light* light : *list) {
                if (light != nullptr && light->isOn() && light->Type() == type) {
                    action(light);
                }
            }
        }
    };
    each(LIGHT_SHADOW_POINT, [&timer](Scene::Light* light) {
        static_cast<Scene::ShadowCastingPointLight*>(light)->renderCubeShadowMap(timer);
    });
    for (LightType type : {LIGHT_SHADOW_SPOT, LIGHT_GOD_RAY_SPOT}) {
        each(type, [&timer](Scene::Light* light) {
            static_cast<Scene::ShadowCastingSpotLight*>(light)->renderShadowMap(timer);
        });
    }

    glDisable(GL_DEPTH_TEST);
    glDepthMask(GL_FALSE);
    for (LightType type : {LIGHT_SHADOW_SPOT, LIGHT_GOD_RAY_SPOT}) {
        each(type, [this](Scene::Light* light) {
            static_cast<Scene::ShadowCastingSpotLight*>(light)->blurShadowMap(plane, shadowGauss);
        });
    }
    glUseProgram(0);
    glEnable(GL_DEPTH_TEST);
    glDepthMask(GL_TRUE);
}

void Illumination::illuminat(DeferredFrameBuffer* gbuffer, Math::Vec4f const& cameraPos,
                             Math::Mat4f const& inverseCameraMatrix, LightMap const& visible) {
    // The software rasteriser runs every branch of a shader, and every loop
    // at least once, so a frame uses the program compiled for the number of
    // shadow-casting lights that reach it and with the loops of only those
    // plain kinds that light something; a visible light whose reach meets no
    // tile would light nothing.
    beginTiles(*gbuffer);
    slotShadowCastingLights(visible);
    active = program(static_cast<int>(pointSlots.size()), static_cast<int>(spotSlots.size()),
                     reachPlainLights(visible));
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
    packShadowCastingPointLights();
    packSpotLights(visible);
    packShadowCastingSpotLights();
    uploadTiles();
    active->SetLightTiles(tileTexture, tiles.Columns());

    // Depth state of the lighting quad: every fragment lies at the far plane
    // (depth range 1..1) and passes only where the copied G-buffer depth is
    // nearer, so background pixels are not shaded; the depth stays as it is.
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_GREATER);
    glDepthMask(GL_FALSE);
    glDepthRange(1.0, 1.0);
    plane->enableVertexBO();
    plane->draw(active);
    plane->disableVertexBO();
    glUseProgram(0);
    glDepthRange(0.0, 1.0);
    glDepthFunc(GL_LESS);
    glDepthMask(GL_TRUE);
    FrameProfiler::EndOf(profiler, FrameProfiler::Lighting);

    const bool wireframe = Util::EffectSettings::Instance()->DrawWireFrame();
    if (wireframe) {
        glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);
    }
    renderScattering(gbuffer, cameraPos, inverseCameraMatrix, visible);
    if (wireframe) {
        glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    }
    viewGiven = false;
    exposedLuminance = 0;
}

void Illumination::renderScattering(DeferredFrameBuffer* gbuffer, Math::Vec4f const& cameraPos,
                                    Math::Mat4f const& inverseCameraMatrix,
                                    LightMap const& visible) {
    glDisable(GL_CULL_FACE);
    glEnable(GL_BLEND);
    glBlendFunc(GL_ONE, GL_ONE);
    glDisable(GL_DEPTH_TEST);
    glDepthMask(GL_FALSE);
    // Without a lookup table there is no medium to scatter in.
    auto const* lights = lookupTable != nullptr ? lightsOf(visible, LIGHT_GOD_RAY_SPOT) : nullptr;
    glPatchParameteri(GL_PATCH_VERTICES, 4);
    beamsDrawn = 0;
    if (lights != nullptr) {
        godRayShader->Activate();
        godRayShader->SetInverseCameraMatrix(inverseCameraMatrix);
        godRayShader->SetDepthTexture(gbuffer);
        godRayShader->SetCameraWorldPos(cameraPos);
        godRayShader->SetLightLookupTableInfo(lookupTable);
        godRayShader->SetLightLookupTableTex(lookupTable);
        godRayShader->SetAdaptedLuminance(exposedLuminance != 0 ? exposedLuminance
                                                                : unknownLuminance);
        const Math::Vec3f eye = cameraPos.GetVec3f();
        const bool culled = viewGiven;
        if (culled) {
            beginBeamView(*gbuffer, eye);
        }
        forEachLit(visible, LIGHT_GOD_RAY_SPOT, [&](Scene::Light* light) {
            auto* godRay = static_cast<Scene::GodRaySpotLight*>(light);
            if (culled && !beamMayShow(*godRay, eye)) {
                return;
            }
            if (beamsDrawn == 0) {
                // Hand the lighting to the rasteriser before the first beam:
                // a driver that shades vertices on the CPU then runs the
                // beams' tessellation while the lighting is being shaded,
                // instead of after it. A GPU simply starts earlier.
                glFlush();
            }
            ++beamsDrawn;
            godRayShader->SetInverseLightCameraMatrix(godRay->getInverseCameraMatrix());
            godRayShader->SetNearAndFarPlane(godRay->getNearAndFarPlane());
            godRayShader->SetShadowMap(godRay->getShadowMapBuffer());
            godRayShader->SetLightWorldPos(godRay->WorldLocation());
            godRayShader->SetLightDir(godRay->WorldDirection());
            godRayShader->SetLightIntensity(godRay->Intensity());
            godRayShader->SetLightAttenuation(godRay->AttenuationOn() ? godRay->Attenuation()
                                                                      : Math::Vec3f(0, 0, 0));
            godRayShader->SetLightCone(std::cos(godRay->Angle()), godRay->RadialAttenuationEpx());
            quadPatch->draw(godRayShader);
        });
    }
    glUseProgram(0);
    glDepthMask(GL_TRUE);
    glDisable(GL_BLEND);
    glEnable(GL_CULL_FACE);
}

void Illumination::beginBeamView(DeferredFrameBuffer const& gbuffer, Math::Vec3f const& eye) {
    // The view rays run from the eye through the frustum to the G-buffer's
    // surface or the far plane. The scattering pass evaluates the whole cone,
    // not only the light's reach, so cones are taken without a range, and the
    // view without the bounds of what is drawn (rays to the sky leave them).
    const Math::Vec3f unbounded(FLT_MAX, FLT_MAX, FLT_MAX);
    beamTiles.Begin(gbuffer.getWidth(), gbuffer.getHeight(), viewWorldToClip, viewClipToWorld,
                    unbounded * -1.0f, unbounded);
    // The rays' parts before the near plane lie within this distance of the
    // eye: that of the near plane's farthest corner.
    nearReach = 0.0f;
    for (int corner = 0; corner < 4; ++corner) {
        const Math::Vec4f c = viewClipToWorld * Math::Vec4f(corner % 2 == 0 ? -1.0f : 1.0f,
                                                            corner < 2 ? -1.0f : 1.0f, -1.0f, 1.0f);
        nearReach = std::max(nearReach, (c.GetVec3f() / c.W() - eye).Length());
    }
}

bool Illumination::beamMayShow(Scene::SpotLight const& light, Math::Vec3f const& eye) {
    const Math::Vec3f apex = light.WorldLocation().GetVec3f();
    if (beamTiles.AddCone(0u, apex, light.WorldDirection(), light.Angle(), FLT_MAX)) {
        return true;
    }
    // Or the cone passes within that distance of the eye.
    const Math::Vec3f toEye = eye - apex;
    const float distance = toEye.Length();
    const float axisLength = light.WorldDirection().Length();
    if (!(distance > nearReach) || !(axisLength > 0.0f)) {
        return true;
    }
    const float cosToEye =
        Math::Vec3f::DotProd(toEye, light.WorldDirection()) / (distance * axisLength);
    const float angleToEye = std::acos(std::clamp(cosToEye, -1.0f, 1.0f));
    return angleToEye <= light.Angle() + std::asin(std::min(1.0f, nearReach / distance));
}

void Illumination::FrameView(Math::Mat4f const& worldToClip, Math::Mat4f const& clipToWorld,
                             Math::Vec3f const& litMin, Math::Vec3f const& litMax) {
    viewGiven = true;
    viewWorldToClip = worldToClip;
    viewClipToWorld = clipToWorld;
    viewLitMin = litMin;
    viewLitMax = litMax;
}

void Illumination::beginTiles(DeferredFrameBuffer const& gbuffer) {
    const Math::Vec3f unbounded(FLT_MAX, FLT_MAX, FLT_MAX);
    if (viewGiven) {
        tiles.Begin(gbuffer.getWidth(), gbuffer.getHeight(), viewWorldToClip, viewClipToWorld,
                    viewLitMin, viewLitMax);
    } else {
        tiles.Begin(gbuffer.getWidth(), gbuffer.getHeight(), Math::Mat4f(), Math::Mat4f(),
                    unbounded * -1.0f, unbounded);
    }
}

namespace {

// The light list of a tile from its mask (see RenderLimits).
void listLights(std::uint32_t mask, std::uint32_t* list) {
    std::uint32_t points = 0;
    std::uint32_t pointCount = 0;
    for (int i = 0; i < RL::MaxPointLights; ++i) {
        if ((mask >> (RL::TileBitPointLights + i)) & 1u) {
            points |= static_cast<std::uint32_t>(i) << (4 * pointCount++);
        }
    }
    std::uint32_t spots = 0;
    std::uint32_t spotCount = 0;
    for (int i = 0; i < RL::MaxSpotLights; ++i) {
        if ((mask >> (RL::TileBitSpotLights + i)) & 1u) {
            spots |= static_cast<std::uint32_t>(i) << (2 * spotCount++);
        }
    }
    const std::uint32_t scPoints = (mask >> RL::TileBitShadowCastingPointLights) &
                                   ((1u << RL::MaxShadowCastingPointLights) - 1u);
    const std::uint32_t scSpots = (mask >> RL::TileBitShadowCastingSpotLights) &
                                  ((1u << RL::MaxShadowCastingSpotLights) - 1u);
    list[0] = points;
    list[1] = pointCount | spotCount << 4 | spots << 8 | scPoints << 16 | scSpots << 20;
}

} // namespace

void Illumination::uploadTiles() {
    std::vector<std::uint32_t> const& masks = tiles.Masks();
    tileLists.resize(masks.size() * 2);
    // Neighbouring tiles mostly hold the same lights: a mask like the last
    // one repeats its list.
    std::uint32_t lastMask = 0;
    std::uint32_t lastList[2] = {0, 0};
    for (size_t i = 0; i < masks.size(); ++i) {
        if (i == 0 || masks[i] != lastMask) {
            lastMask = masks[i];
            listLights(lastMask, lastList);
        }
        tileLists[2 * i] = lastList[0];
        tileLists[2 * i + 1] = lastList[1];
    }
    // The lists go into a buffer texture, resized with the screen.
    const GLsizeiptr bytes = static_cast<GLsizeiptr>(tileLists.size() * sizeof(std::uint32_t));
    if (tileBuffer == 0) {
        // The texture refers to the buffer object (created by its first
        // binding), whatever storage it is given later.
        glGenBuffers(1, &tileBuffer);
        glBindBuffer(GL_TEXTURE_BUFFER, tileBuffer);
        glGenTextures(1, &tileTexture);
        glBindTexture(GL_TEXTURE_BUFFER, tileTexture);
        glTexBuffer(GL_TEXTURE_BUFFER, GL_RG32UI, tileBuffer);
        glBindTexture(GL_TEXTURE_BUFFER, 0);
    }
    glBindBuffer(GL_TEXTURE_BUFFER, tileBuffer);
    if (bytes != tileBufferBytes) {
        glBufferData(GL_TEXTURE_BUFFER, bytes, tileLists.data(), GL_DYNAMIC_DRAW);
        tileBufferBytes = bytes;
    } else {
        glBufferSubData(GL_TEXTURE_BUFFER, 0, bytes, tileLists.data());
    }
    glBindBuffer(GL_TEXTURE_BUFFER, 0);
}

bool Illumination::addPointReach(int bit, Scene::Light const* light) {
    auto const* point = static_cast<Scene::PointLight const*>(light);
    const std::uint32_t mask = bit >= 0 ? 1u << bit : 0u;
    if (!viewGiven) {
        return tiles.AddEverywhere(mask);
    }
    return tiles.AddSphere(mask, point->WorldLocation().GetVec3f(),
                           point->AttenuationOn() ? point->MaxDistanceOfInfluence() : FLT_MAX);
}

bool Illumination::addSpotReach(int bit, Scene::Light const* light) {
    auto const* spot = static_cast<Scene::SpotLight const*>(light);
    const std::uint32_t mask = bit >= 0 ? 1u << bit : 0u;
    if (!viewGiven) {
        return tiles.AddEverywhere(mask);
    }
    return tiles.AddCone(mask, spot->WorldLocation().GetVec3f(), spot->WorldDirection(),
                         spot->Angle(),
                         spot->AttenuationOn() ? spot->MaxDistanceOfInfluence() : FLT_MAX);
}

void Illumination::slotShadowCastingLights(LightMap const& visible) {
    // A light takes the next slot if it gives light and reaches a tile;
    // lights beyond the slots are listed too (without bits), so that packing
    // refuses and logs them as it does any light too many.
    pointSlots.clear();
    forEachLit(visible, LIGHT_SHADOW_POINT, [this](Scene::Light* light) {
        const int slot = static_cast<int>(pointSlots.size());
        const bool free = slot < RL::MaxShadowCastingPointLights;
        if (addPointReach(free ? RL::TileBitShadowCastingPointLights + slot : -1, light)) {
            pointSlots.push_back(static_cast<Scene::ShadowCastingPointLight*>(light));
        }
    });
    // Shadow-casting spot lights first, then god-ray spot lights, in one array.
    spotSlots.clear();
    for (LightType type : {LIGHT_SHADOW_SPOT, LIGHT_GOD_RAY_SPOT}) {
        forEachLit(visible, type, [this, type](Scene::Light* light) {
            const int slot = static_cast<int>(spotSlots.size());
            const bool free = slot < RL::MaxShadowCastingSpotLights;
            if (addSpotReach(free ? RL::TileBitShadowCastingSpotLights + slot : -1, light)) {
                spotSlots.push_back({static_cast<Scene::ShadowCastingSpotLight*>(light),
                                     type == LIGHT_GOD_RAY_SPOT});
            }
        });
    }
}

void Illumination::packDirectionalLights(LightMap const& visible) {
    active->SetDirectionalLightCount(packPlainKind<Scene::DirectionalLight>(
        visible, LIGHT_DIRECTIONAL, *active, &Shader::IlluminationShader::SetDirectionalLight));
}

// The loop over the lights of a kind that set the tile bits in reached: none
// if no tile holds one; all of them if every tile that holds one holds all
// (constant indexes then cost less than the list); else the tile's list.
int Illumination::loopOver(std::vector<std::uint32_t> const& masks, std::uint32_t reached,
                           int firstBit) {
    if (reached == 0) {
        return NoLoop;
    }
    for (std::uint32_t mask : masks) {
        const std::uint32_t held = mask & reached;
        if (held != 0 && held != reached) {
            return ListLoop;
        }
    }
    // Only where the bits are those of the first lights, from firstBit on.
    const int count = static_cast<int>(std::bitset<32>(reached).count());
    return (reached >> firstBit) == (1u << count) - 1u ? EveryLightLoop + count - 1 : ListLoop;
}

Illumination::PlainLoops Illumination::reachPlainLights(LightMap const& visible) {
    PlainLoops loops;
    auto const* directional = lightsOf(visible, LIGHT_DIRECTIONAL);
    loops.directional = directional != nullptr &&
                        packKind<Scene::DirectionalLight>(*directional, LIGHT_DIRECTIONAL,
                                                          [](int, Scene::DirectionalLight*) {}) > 0;
    std::uint32_t pointsReached = 0;
    if (auto const* lights = lightsOf(visible, LIGHT_POINT)) {
        packKind<Scene::PointLight>(
            *lights, LIGHT_POINT, [this, &pointsReached](int index, Scene::PointLight* light) {
                const int bit = RL::TileBitPointLights + index;
                if (index < RL::MaxPointLights && addPointReach(bit, light)) {
                    pointsReached |= 1u << bit;
                }
            });
    }
    std::uint32_t spotsReached = 0;
    if (auto const* lights = lightsOf(visible, LIGHT_SPOT)) {
        packKind<Scene::SpotLight>(*lights, LIGHT_SPOT,
                                   [this, &spotsReached](int index, Scene::SpotLight* light) {
                                       const int bit = RL::TileBitSpotLights + index;
                                       if (index < RL::MaxSpotLights && addSpotReach(bit, light)) {
                                           spotsReached |= 1u << bit;
                                       }
                                   });
    }
    loops.points = loopOver(tiles.Masks(), pointsReached, RL::TileBitPointLights);
    loops.spots = loopOver(tiles.Masks(), spotsReached, RL::TileBitSpotLights);
    return loops;
}

void Illumination::packPointLights(LightMap const& visible) {
    active->SetPointLightCount(packPlainKind<Scene::PointLight>(
        visible, LIGHT_POINT, *active, &Shader::IlluminationShader::SetPointLight));
}

void Illumination::packShadowCastingPointLights() {
    const int count = static_cast<int>(pointSlots.size());
    for (int slot = 0; slot < count; ++slot) {
        active->SetShadowCastingPointLight(slot, pointSlots[static_cast<size_t>(slot)], slot);
    }
    // Every sampler needs a texture: unused slots sample the empty cube map.
    for (int slot = count; slot < RL::MaxShadowCastingPointLights; ++slot) {
        active->SetShadowCastingPointLightDummy(slot, emptyCubeMap, slot);
    }
    active->SetShadowCastingPointLightCount(count);
}

void Illumination::packSpotLights(LightMap const& visible) {
    active->SetSpotLightCount(packPlainKind<Scene::SpotLight>(
        visible, LIGHT_SPOT, *active, &Shader::IlluminationShader::SetSpotLight));
}

void Illumination::packShadowCastingSpotLights() {
    const int listed = static_cast<int>(spotSlots.size());
    for (int slot = 0; slot < listed; ++slot) {
        SpotSlot const& entry = spotSlots[static_cast<size_t>(slot)];
        active->SetShadowCastingSpotLight(slot, entry.light, slot, entry.scattering);
    }
    for (int slot = listed; slot < RL::MaxShadowCastingSpotLights; ++slot) {
        active->SetShadowCastingSpotLightDummy(slot, emptyMap, slot);
    }
    active->SetShadowCastingSpotLightCount(listed);
}

} // namespace Engine::Render
