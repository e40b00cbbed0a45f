#pragma once

#include <Engine/Export.h>

namespace Engine::Render::Shader {
class Shader;
}

namespace Engine::Scene::Materials {

class IMaterialPart;

// A shader program plus the ordered parts that feed it the surface's colours
// and textures. Owns its parts, not the program (programs belong to the asset
// factory).
class ENGINE_API Material {
public:
    // Allocates `count` empty part slots; the creator fills every slot.
    Material(Render::Shader::Shader* shader, unsigned char count);
    // Deletes every part, not the shader.
    ~Material();
    Material(Material const&) = delete;
    Material& operator=(Material const&) = delete;

    // A part stored in a slot belongs to the material, which deletes it.
    IMaterialPart** Parts() { return parts; }
    unsigned char PartCount() const { return partCount; }
    Render::Shader::Shader* CurrentShader() const { return shader; }
    Material& CurrentShader(Render::Shader::Shader* value) {
        shader = value;
        return *this;
    }

    // Uses the program with the current camera matrix and sets every part's
    // uniforms, in slot order.
    void Activate();
    void Deactivate();

private:
    IMaterialPart** parts;
    unsigned char partCount;
    Render::Shader::Shader* shader;
};

} // namespace Engine::Scene::Materials
