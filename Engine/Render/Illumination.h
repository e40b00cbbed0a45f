#pragma once

#include <Engine/Export.h>
#include <Engine/Math/Mat4f.h>
#include <Engine/Math/Vec4f.h>
#include <Engine/Render/LightTiles.h>
#include <Engine/Render/RenderLimits.h>
#include <Engine/Scene/LightType.h>
#include <array>
#include <cstdint>
#include <map>
#include <vector>

namespace Engine::Scene {
class Light;
class ShadowCastingPointLight;
class ShadowCastingSpotLight;
class SpotLight;
} // namespace Engine::Scene
namespace Engine::Util {
class Timer;
}

namespace Engine::Render {

class DeferredFrameBuffer;
class EffectPlane;
class FrameProfiler;
class LightLookupTable;
class QuadPatch;
namespace Internal {
struct IlluminationAccess;
}
namespace Shader {
class GodRayShader;
class IlluminationShader;
class ShadowGaussShader;
} // namespace Shader

// The deferred lighting pass: packs every switched-on visible light into the
// illumination shader's arrays and lights the G-buffer into the bound HDR
// target in one full-screen draw. Shadow-casting slots without a map are bound
// to empty textures, so every sampler always has a texture.
class ENGINE_API Illumination {
public:
    using LightMap = std::map<LightType, std::vector<Scene::Light*>>;

    // Takes ownership of the lookup table (which may be null: no medium).
    Illumination(EffectPlane* plane, LightLookupTable* lookupTable);
    ~Illumination();
    Illumination(Illumination const&) = delete;
    Illumination& operator=(Illumination const&) = delete;

    // Redraws the shadow maps of switched-on shadow-casting lights that asked
    // for it, then blurs the redrawn spot-light maps. Leaves depth test and
    // depth writes on, culling on, attribute 0 disabled, no program and
    // framebuffer 0 bound; changes the static camera matrix when a spot map
    // is drawn.
    void renderMaps(Util::Timer const& timer, LightMap const& lights);
    // Lights the G-buffer into the bound framebuffer, whose depth buffer must
    // hold the G-buffer's depth: the quad is drawn at the far plane with
    // GL_GREATER and depth writes off, so only pixels with geometry are lit
    // and the depth stays for later passes. Then adds the light scattered by
    // the medium in the cones of the visible god-ray spot lights. Leaves the
    // depth test off, depth writes on with GL_LESS and the depth range
    // (0, 1), blending off, culling on and GL_PATCH_VERTICES 4.
    void illuminat(DeferredFrameBuffer* gbuffer, Math::Vec4f const& cameraPos,
                   Math::Mat4f const& inverseCameraMatrix, LightMap const& visible);
    // The view of the next illuminat and the box around the meshes it will
    // light (the union of their bounding boxes; min > max when there are
    // none, the largest floats when one has no box). The lighting pass then
    // evaluates, in each tile of the screen, only the lights whose reach meets
    // that box there; without it every light is evaluated at every pixel.
    // The scattering pass then also leaves out god-ray lights whose cones no
    // view ray passes through. Applies to one illuminat.
    void FrameView(Math::Mat4f const& worldToClip, Math::Mat4f const& clipToWorld,
                   Math::Vec3f const& litMin, Math::Vec3f const& litMax);

    // The 1 x 1 texture (luminance in .r) of the adapted luminance that the
    // next illuminat's frame will be exposed for. The scattering pass then
    // refines its grid only where the scattering's detail shows at that
    // exposure; without it, wherever the detail is large against the
    // scattering itself, however faint. Applies to one illuminat.
    void Exposure(unsigned int adaptedLuminanceTexture) {
        exposedLuminance = adaptedLuminanceTexture;
    }
    // With a profiler, illuminat marks the end of the lighting pass before it
    // adds the scattering (the caller marks the scattering's end).
    void Profiler(FrameProfiler* value) { profiler = value; }

private:
    // The engine's own tests read the programs and the empty maps.
    friend struct Internal::IlluminationAccess;

    void initEmptyMaps();
    // The loops over the lights without shadow maps that a program has: the
    // directional loop or none; for point and spot lights none (NoLoop), the
    // loop over the tile's list (ListLoop), or EveryLightLoop + n - 1 for n
    // lights that every tile holds, evaluated with constant indexes.
    static constexpr int NoLoop = 0;
    static constexpr int ListLoop = 1;
    static constexpr int EveryLightLoop = 2;
    struct PlainLoops {
        bool directional = true;
        int points = ListLoop;
        int spots = ListLoop;
    };
    // The program for a number of shadow-casting point and spot lights
    // (clamped to the array sizes) with the loops given.
    Shader::IlluminationShader* program(int pointShadowSlots, int spotShadowSlots,
                                        PlainLoops loops);
    // The same with the directional loop and the loops over the tiles' lists.
    Shader::IlluminationShader* program(int pointShadowSlots, int spotShadowSlots) {
        return program(pointShadowSlots, spotShadowSlots, PlainLoops());
    }
    // Adds the scattering of every switched-on visible god-ray spot light
    // that is not black and may be seen: one tessellated full-screen grid
    // each, blended additively.
    void renderScattering(DeferredFrameBuffer* gbuffer, Math::Vec4f const& cameraPos,
                          Math::Mat4f const& inverseCameraMatrix, LightMap const& visible);
    // Sets up the frame's view given by FrameView for beamMayShow.
    void beginBeamView(DeferredFrameBuffer const& gbuffer, Math::Vec3f const& eye);
    // Whether a god-ray light's cone may be seen along a view ray of that
    // view; a light that may not is not drawn.
    bool beamMayShow(Scene::SpotLight const& light, Math::Vec3f const& eye);
    void packDirectionalLights(LightMap const& visible);
    void packPointLights(LightMap const& visible);
    void packShadowCastingPointLights();
    void packSpotLights(LightMap const& visible);
    void packShadowCastingSpotLights();
    // Sets the tile bits of the visible point and spot lights without shadow
    // maps (by their packing index) and returns the loops the frame needs:
    // the directional loop if a directional light is on; for point and spot
    // lights no loop if none reaches a tile, a loop over all of them if every
    // tile that holds one holds all, else the loop over the tile's list.
    PlainLoops reachPlainLights(LightMap const& visible);
    // The loop over the lights of a kind that set the tile bits in reached
    // (bits from firstBit on, one a light in packing order).
    static int loopOver(std::vector<std::uint32_t> const& masks, std::uint32_t reached,
                        int firstBit);
    // Gives the visible, switched-on shadow-casting lights that are not black
    // and whose reach meets the frame their slots, in packing order, and sets
    // their tile bits.
    void slotShadowCastingLights(LightMap const& visible);
    // Starts the light tiles of a frame of the G-buffer's size, and uploads
    // and binds them once the lights are packed.
    void beginTiles(DeferredFrameBuffer const& gbuffer);
    void uploadTiles();
    // Sets a light's bit in the tiles it may reach (every tile without a
    // view); returns whether it reaches any (a bit below 0 sets none).
    bool addPointReach(int bit, Scene::Light const* light);
    bool addSpotReach(int bit, Scene::Light const* light);

    EffectPlane* plane;
    QuadPatch* quadPatch = nullptr;
    // The lighting programs for each number of shadow-casting point and spot
    // lights and each set of loops, compiled when a frame first needs one.
    // Keyed by the slot counts, the directional loop (0 or 1) and the point
    // and spot loops.
    std::map<std::array<int, 5>, Shader::IlluminationShader*> programs;
    // The program of the frame being lit.
    Shader::IlluminationShader* active = nullptr;
    // The shadow-casting lights of the frame being lit that take a slot of
    // its program (reused from frame to frame), and whether each spot light
    // scatters.
    struct SpotSlot {
        Scene::ShadowCastingSpotLight* light;
        bool scattering;
    };
    std::vector<Scene::ShadowCastingPointLight*> pointSlots;
    std::vector<SpotSlot> spotSlots;
    Shader::GodRayShader* godRayShader = nullptr;
    Shader::ShadowGaussShader* shadowGauss = nullptr;
    unsigned int emptyCubeMap = 0;
    unsigned int emptyMap = 0;
    unsigned int unknownLuminance = 0;
    unsigned int exposedLuminance = 0;
    LightLookupTable* lookupTable;
    FrameProfiler* profiler = nullptr;
    // The tiles of the frame being lit, their light lists (two words a tile,
    // see RenderLimits) and the buffer texture that holds them (RG32UI, a
    // texel per tile, row after row), and the view they were given for it.
    LightTiles tiles;
    std::vector<std::uint32_t> tileLists;
    unsigned int tileBuffer = 0;
    long tileBufferBytes = 0;
    unsigned int tileTexture = 0;
    bool viewGiven = false;
    // The frame's view without bounds, for the god-ray cones, and how far
    // from the eye the view rays reach before the near plane.
    LightTiles beamTiles;
    float nearReach = 0.0f;
    // The god-ray lights whose scattering the last frame drew.
    int beamsDrawn = 0;
    Math::Mat4f viewWorldToClip;
    Math::Mat4f viewClipToWorld;
    Math::Vec3f viewLitMin;
    Math::Vec3f viewLitMax;
};

} // namespace Engine::Render
