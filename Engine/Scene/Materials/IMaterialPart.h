#pragma once

#include <Engine/Export.h>

namespace Engine::Render::Shader {
class Shader;
}

namespace Engine::Scene::Materials {

// One aspect of a surface (a colour, a texture) that a material feeds into its
// shader program's uniforms when it is activated.
class ENGINE_API IMaterialPart {
public:
    IMaterialPart() = default;
    virtual ~IMaterialPart() = default;
    IMaterialPart(IMaterialPart const&) = delete;
    IMaterialPart& operator=(IMaterialPart const&) = delete;

    // Sets this part's uniforms on the program; uniforms it lacks are skipped.
    virtual void ToShader(Render::Shader::Shader* shader) = 0;
};

} // namespace Engine::Scene::Materials
