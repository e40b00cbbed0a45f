#pragma once

#include <Engine/Data/TextureData.h>
#include <Engine/Scene/Materials/IMaterialPart.h>
#include <Engine/Util/SharedPointer.h>
#include <utility>

namespace Engine::Scene::Materials {

// The surface's displacement map, bound on its fixed texture unit for the sampler
// "displacementTexture". Holds a counted reference to the texture.
class ENGINE_API DisplacementTexturePart : public IMaterialPart {
public:
    explicit DisplacementTexturePart(Util::SharedPointer<TextureData> texture)
        : texture(std::move(texture)) {}

    void ToShader(Render::Shader::Shader* shader) override;

    Util::SharedPointer<TextureData> const& Texture() const { return texture; }

private:
    Util::SharedPointer<TextureData> texture;
};

} // namespace Engine::Scene::Materials
