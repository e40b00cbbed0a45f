#pragma once

#include <Engine/Math/Vec3f.h>
#include <Engine/Scene/Materials/IMaterialPart.h>

namespace Engine::Scene::Materials {

// The surface's diffuse colour and how much light it emits itself
// ("diffuseColor", "emit").
class ENGINE_API DiffuseColorPart : public IMaterialPart {
public:
    explicit DiffuseColorPart(Math::Vec3f const& color) : color(color) {}
    DiffuseColorPart(Math::Vec3f const& color, float emit) : color(color), emit(emit) {}

    void ToShader(Render::Shader::Shader* shader) override;

    Math::Vec3f const& Color() const { return color; }
    float Emit() const { return emit; }

private:
    Math::Vec3f color;
    float emit = 0.0f;
};

} // namespace Engine::Scene::Materials
