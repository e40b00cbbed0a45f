#pragma once

namespace Engine::Render {

// Fixed numbers of the render passes: light limits of the illumination shader
// (IlluminationShader hands them to illumination.frag as defines, where they
// size the light arrays), its texture units, and the sizes of the HDR chain.
struct RenderLimits {
    static constexpr int MaxDirectionalLights = 2;
    static constexpr int MaxPointLights = 8;
    static constexpr int MaxShadowCastingPointLights = 2;
    static constexpr int MaxSpotLights = 4;
    static constexpr int MaxShadowCastingSpotLights = 4;

    // Texture units of the illumination pass.
    static constexpr int UnitGBufferDepth = 0;
    static constexpr int UnitGBufferDiffuse = 1;
    static constexpr int UnitGBufferSpecular = 2;
    static constexpr int UnitGBufferNormal = 3;
    static constexpr int UnitGBufferEmit = 4;
    // The light tiles' masks (which lights reach each screen tile).
    static constexpr int UnitLightTiles = 5;
    // Shadow cube map of scPointLight[i] on 6 + i.
    static constexpr int UnitShadowCubeMapBase = 6;
    // Shadow moments map of scSpotLight[i] on 8 + i.
    static constexpr int UnitShadowMapBase = 8;

    // First bit of each kind's lights in a light tile's mask, light i of the
    // kind at that bit + i. Directional lights reach every tile and have none.
    static constexpr int TileBitPointLights = 0;
    static constexpr int TileBitShadowCastingPointLights = TileBitPointLights + MaxPointLights;
    static constexpr int TileBitSpotLights =
        TileBitShadowCastingPointLights + MaxShadowCastingPointLights;
    static constexpr int TileBitShadowCastingSpotLights = TileBitSpotLights + MaxSpotLights;
    static_assert(TileBitShadowCastingSpotLights + MaxShadowCastingSpotLights <= 32,
                  "a tile's mask has 32 bits");
    // The lighting shader reads a tile as two words (its light list): the
    // first lists the tile's point lights, 4 bits each; the second holds the
    // number of point lights (bits 0-3) and of spot lights (4-7), the spot
    // lights, 2 bits each (8-15), and the masks of the shadow-casting point
    // lights (16-17) and spot lights (20-23).
    static_assert(MaxPointLights <= 8 && MaxSpotLights <= 4 && MaxShadowCastingPointLights <= 4 &&
                      MaxShadowCastingSpotLights <= 4,
                  "the light lists hold at most 8 point and 4 spot lights");

    // Texture units of the post-processing passes.
    static constexpr int UnitPostColor = 0;
    static constexpr int UnitPostLum = 1;
    static constexpr int UnitPostLastAdaptedLum = 2;
    static constexpr int UnitPostGlow = 2;

    // Glow chain sizes (square).
    static constexpr int GlowLargeSize = 128;
    static constexpr int GlowSmallSize = 64;
};

} // namespace Engine::Render
