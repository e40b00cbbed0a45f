#pragma once

#include <Engine/Render/Illumination.h>

namespace Engine::Render::Internal {

// What the engine's own tests read of the lighting pass. Not installed.
struct IlluminationAccess {
    // The full program (every shadow-casting slot and every loop), compiled
    // here when no frame has needed it yet.
    static Shader::IlluminationShader* FullShader(Illumination& pass) {
        return pass.program(RenderLimits::MaxShadowCastingPointLights,
                            RenderLimits::MaxShadowCastingSpotLights);
    }
    // The program of the last frame lit.
    static Shader::IlluminationShader* ActiveShader(Illumination const& pass) {
        return pass.active;
    }
    // The god-ray lights whose scattering the last frame drew.
    static int BeamsDrawn(Illumination const& pass) { return pass.beamsDrawn; }
    // The light tiles of the last frame lit.
    static LightTiles const& Tiles(Illumination const& pass) { return pass.tiles; }
    // The textures bound to shadow-casting slots that have no map.
    static unsigned int EmptyCubeMap(Illumination const& pass) { return pass.emptyCubeMap; }
    static unsigned int EmptyMap(Illumination const& pass) { return pass.emptyMap; }
};

} // namespace Engine::Render::Internal
