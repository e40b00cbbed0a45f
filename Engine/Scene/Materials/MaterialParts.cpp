#include <Engine/Render/Shader/Shader.h>
#include <Engine/Scene/Materials/DiffuseColorPart.h>
#include <Engine/Scene/Materials/SpecularColorPart.h>
#include <Engine/Scene/Materials/TexturePart.h>

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

// The texture setters bind on the unit of their role only when the program
// has the sampler.
template <TextureRole Role> void TexturePart<Role>::ToShader(Shader* shader) {
    TextureData* const live = liveTexture(texture);
    switch (Role) {
    case TextureRole::Diffuse:
        shader->SetDiffuseTexture(live);
        break;
    case TextureRole::Normal:
        shader->SetNormalTexture(live);
        break;
    case TextureRole::Displacement:
        shader->SetDisplacementTexture(live);
        break;
    }
}

template class TexturePart<TextureRole::Diffuse>;
template class TexturePart<TextureRole::Normal>;
template class TexturePart<TextureRole::Displacement>;

} // namespace Engine::Scene::Materials
