#include <Engine/Render/Shader/Shader.h>
#include <Engine/Scene/Materials/DiffuseColorPart.h>
#include <Engine/Scene/Materials/DiffuseTexturePart.h>
#include <Engine/Scene/Materials/DisplacementTexturePart.h>
#include <Engine/Scene/Materials/NormalTexturePart.h>
#include <Engine/Scene/Materials/SpecularColorPart.h>

namespace Engine::Scene::Materials {

using Render::Shader::Shader;

namespace {

// The texture while any user holds it; null once only store references are
// left and the texture itself is gone.
TextureData* liveTexture(Util::SharedPointer<TextureData> const& texture) {
    return texture.GetCounter() != nullptr ? texture.operator->() : nullptr;
}

} // namespace

void DiffuseColorPart::ToShader(Shader* shader) {
    shader->SetDiffuseColor(color);
    shader->SetEmit(emit);
}

void SpecularColorPart::ToShader(Shader* shader) {
    shader->SetSpecularColor(color);
    shader->SetShininess(shininess);
}

// The texture setters bind on the unit of their kind only when the program
// has the sampler.
void DiffuseTexturePart::ToShader(Shader* shader) {
    shader->SetDiffuseTexture(liveTexture(texture));
}

void NormalTexturePart::ToShader(Shader* shader) {
    shader->SetNormalTexture(liveTexture(texture));
}

void DisplacementTexturePart::ToShader(Shader* shader) {
    shader->SetDisplacementTexture(liveTexture(texture));
}

} // namespace Engine::Scene::Materials
