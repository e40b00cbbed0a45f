#pragma once

#include <Engine/Export.h>
#include <Engine/Math/Mat4f.h>
#include <Engine/Math/Vec4f.h>
#include <Engine/Scene/LightType.h>
#include <map>
#include <vector>

namespace Engine::Scene {
class Light;
}
namespace Engine::Util {
class Timer;
}

namespace Engine::Render {

class DeferredFrameBuffer;
class EffectPlane;
class LightLookupTable;
namespace Shader {
class IlluminationShader;
}

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

    // Refreshes the shadow maps that asked for it; leaves depth test and depth
    // writes on, attribute 0 disabled and no program bound.
    void renderMaps(Util::Timer const& timer, LightMap const& lights);
    // Lights the G-buffer into the bound framebuffer.
    void illuminat(DeferredFrameBuffer* gbuffer, Math::Vec4f const& cameraPos,
                   Math::Mat4f const& inverseCameraMatrix, LightMap const& visible);

    // The full program; getLightsOnlyShader() is the same program compiled
    // without the shadow-casting kinds, used in frames that have none.
    Shader::IlluminationShader* getShader() const { return shader; }
    Shader::IlluminationShader* getLightsOnlyShader() const { return lightsOnlyShader; }
    unsigned int EmptyCubeMap() const { return emptyCubeMap; }
    unsigned int EmptyMap() const { return emptyMap; }

private:
    void initEmptyMaps();
    void packDirectionalLights(LightMap const& visible);
    void packPointLights(LightMap const& visible);
    void packShadowCastingPointLights(LightMap const& visible);
    void packSpotLights(LightMap const& visible);
    void packShadowCastingSpotLights(LightMap const& visible);

    EffectPlane* plane;
    Shader::IlluminationShader* shader = nullptr;
    Shader::IlluminationShader* lightsOnlyShader = nullptr;
    // The program of the frame being lit.
    Shader::IlluminationShader* active = nullptr;
    unsigned int emptyCubeMap = 0;
    unsigned int emptyMap = 0;
    LightLookupTable* lookupTable;
};

} // namespace Engine::Render
