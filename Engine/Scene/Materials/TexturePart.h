#pragma once

#include <Engine/Data/TextureData.h>
#include <Engine/Scene/Materials/IMaterialPart.h>
#include <Engine/Util/SharedPointer.h>
#include <utility>

namespace Engine::Scene::Materials {

// The textures a surface can have; each is bound on its own fixed texture unit
// for its sampler.
enum class TextureRole {
    Diffuse,      // the colour texture, sampler "colorTexture"
    Normal,       // the normal map, sampler "normalTexture"
    Displacement, // the displacement map, sampler "displacementTexture"
};

// One of the surface's textures, by role. Holds a counted reference to the
// texture; the program gets it only where it has the role's sampler.
template <TextureRole Role> class ENGINE_API TexturePart : public IMaterialPart {
public:
    explicit TexturePart(Util::SharedPointer<TextureData> texture) : texture(std::move(texture)) {}

    void ToShader(Render::Shader::Shader* shader) override;

    Util::SharedPointer<TextureData> const& Texture() const { return texture; }

private:
    Util::SharedPointer<TextureData> texture;
};

using DiffuseTexturePart = TexturePart<TextureRole::Diffuse>;
using NormalTexturePart = TexturePart<TextureRole::Normal>;
using DisplacementTexturePart = TexturePart<TextureRole::Displacement>;

// The three parts are compiled once, in the library.
extern template class TexturePart<TextureRole::Diffuse>;
extern template class TexturePart<TextureRole::Normal>;
extern template class TexturePart<TextureRole::Displacement>;

} // namespace Engine::Scene::Materials
