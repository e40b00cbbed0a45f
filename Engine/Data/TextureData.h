#pragma once

#include <Engine/Export.h>
#include <cstdio>

namespace Engine::Scene {

// One OpenGL 2D texture decoded from a PNG stream: flipped so that the bottom
// row comes first, uploaded as 8-bit RGB or RGBA (sRGB for colour textures)
// with a full mipmap chain. Shared between materials through SharedPointer.
class ENGINE_API TextureData {
public:
    // Texture unit of each kind of asset texture.
    static constexpr unsigned int DIFFUSE_UNIT = 0;
    static constexpr unsigned int NORMAL_UNIT = 1;
    static constexpr unsigned int DISPLACEMENT_UNIT = 2;

    // Creates the GL texture name; the texture has no image until Load.
    TextureData();
    ~TextureData();
    TextureData(TextureData const&) = delete;
    TextureData& operator=(TextureData const&) = delete;

    // Decodes the PNG stream that starts at the file's current position and
    // uploads it. The caller opens, positions and closes the file. libpng's
    // errors and warnings go to the log, naming the source ("texture 3") when
    // one is given.
    bool Load(std::FILE* file, bool gammaCorrect, char const* source = nullptr);
    // Opens the path for binary reading and calls Load.
    bool LoadFile(char const* path, bool gammaCorrect);

    bool IsGammaCorrect() const { return gammaCorrect; }
    // The GL texture name.
    unsigned int Texture() const { return texture; }

    // Binds the texture to GL_TEXTURE_2D on the active texture unit.
    void Activate();
    void Deactivate() {}

private:
    bool gammaCorrect = false;
    unsigned int texture = 0;
};

} // namespace Engine::Scene
