#pragma once

#include <Engine/Export.h>
#include <Engine/Render/Shader/Shader.h>

namespace Engine::Render::Shader {

// Program that writes one colour, fragColor, straight to the bound target:
// debug lines, sprites and render-target previews.
class ENGINE_API ForwardShader : public Shader {
public:
    // Stages from files.
    ForwardShader(char const* vertex, char const* fragment);
    ForwardShader(char const* vertex, char const* geometry, char const* fragment);
    ForwardShader(char const* vertex, char const* tessControl, char const* tessEvaluation,
                  char const* fragment);
    ForwardShader(char const* vertex, char const* tessControl, char const* tessEvaluation,
                  char const* geometry, char const* fragment);
    // Stages from source text; the flag only selects these overloads.
    ForwardShader(char const* vertex, char const* fragment, bool source);
    ForwardShader(char const* vertex, char const* geometry, char const* fragment, bool source);
    ForwardShader(char const* vertex, char const* tessControl, char const* tessEvaluation,
                  char const* fragment, bool source);
    ForwardShader(char const* vertex, char const* tessControl, char const* tessEvaluation,
                  char const* geometry, char const* fragment, bool source);

    using Shader::SetDiffuseTexture;
    // Binds a GL texture name on unit 0 as "colorTexture".
    void SetDiffuseTexture(unsigned int texture) const;

private:
    void build(char const* vertex, char const* tessControl, char const* tessEvaluation,
               char const* geometry, char const* fragment, bool fromSource);
};

} // namespace Engine::Render::Shader
