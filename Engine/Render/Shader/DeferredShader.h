#pragma once

#include <Engine/Export.h>
#include <Engine/Render/Shader/Shader.h>

namespace Engine::Render::Shader {

// Program of the geometry pass: writes the four G-buffer targets fragDiffuse,
// fragSpecular, fragNormal and fragEmit. The asset loader builds these from
// the source texts of the shader file; the other constructors take file paths.
class ENGINE_API DeferredShader : public Shader {
public:
    // G-buffer output locations.
    static constexpr unsigned int OUTPUT_DIFFUSE = 0;
    static constexpr unsigned int OUTPUT_SPECULAR = 1;
    static constexpr unsigned int OUTPUT_NORMAL = 2;
    static constexpr unsigned int OUTPUT_EMIT = 3;

    // Stages from files.
    DeferredShader(char const* vertex, char const* fragment);
    DeferredShader(char const* vertex, char const* geometry, char const* fragment);
    DeferredShader(char const* vertex, char const* tessControl, char const* tessEvaluation,
                   char const* fragment);
    DeferredShader(char const* vertex, char const* tessControl, char const* tessEvaluation,
                   char const* geometry, char const* fragment);
    // Stages from source text; the flag only selects these overloads.
    DeferredShader(char const* vertex, char const* fragment, bool source);
    DeferredShader(char const* vertex, char const* geometry, char const* fragment, bool source);
    DeferredShader(char const* vertex, char const* tessControl, char const* tessEvaluation,
                   char const* fragment, bool source);
    DeferredShader(char const* vertex, char const* tessControl, char const* tessEvaluation,
                   char const* geometry, char const* fragment, bool source);

protected:
    void bindFragDataLocation();

private:
    void build(char const* vertex, char const* tessControl, char const* tessEvaluation,
               char const* geometry, char const* fragment, bool fromSource);
};

} // namespace Engine::Render::Shader
