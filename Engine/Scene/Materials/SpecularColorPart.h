#pragma once

#include <Engine/Math/Vec3f.h>
#include <Engine/Scene/Materials/IMaterialPart.h>

namespace Engine::Scene::Materials {

// The colour and sharpness of the surface's highlights ("specularColor",
// "shininess").
class ENGINE_API SpecularColorPart : public IMaterialPart {
public:
    SpecularColorPart(Math::Vec3f const& color, unsigned int shininess)
        : color(color), shininess(shininess) {}

    void ToShader(Render::Shader::Shader* shader) override;

    Math::Vec3f const& Color() const { return color; }
    unsigned int Shininess() const { return shininess; }

private:
    Math::Vec3f color;
    unsigned int shininess;
};

} // namespace Engine::Scene::Materials
