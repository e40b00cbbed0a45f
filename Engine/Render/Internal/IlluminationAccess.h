#pragma once

#include <Engine/Render/Illumination.h>

namespace Engine::Render::Internal {

// What the engine's own tests read of the lighting pass. Not installed.
struct IlluminationAccess {
    // The full program; LightsOnlyShader is the same program compiled without
    // the shadow-casting kinds, used in frames that have none.
    static Shader::IlluminationShader* FullShader(Illumination const& pass) { return pass.shader; }
    static Shader::IlluminationShader* LightsOnlyShader(Illumination const& pass) {
        return pass.lightsOnlyShader;
    }
    // The textures bound to shadow-casting slots that have no map.
    static unsigned int EmptyCubeMap(Illumination const& pass) { return pass.emptyCubeMap; }
    static unsigned int EmptyMap(Illumination const& pass) { return pass.emptyMap; }
};

} // namespace Engine::Render::Internal
