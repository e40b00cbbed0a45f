#include <Engine/Data/Internal/PngImage.h>
#include <Engine/Data/TextureData.h>
#include <Engine/Util/Logger.h>
#include <GL/glew.h>

namespace Engine::Scene {

using Util::Logger;

TextureData::TextureData() {
    glGenTextures(1, &texture);
}

TextureData::~TextureData() {
    glDeleteTextures(1, &texture);
}

void TextureData::Activate() {
    glBindTexture(GL_TEXTURE_2D, texture);
}

bool TextureData::LoadFile(char const* path, bool gammaCorrect) {
    std::FILE* file = path != nullptr ? std::fopen(path, "rb") : nullptr;
    if (file == nullptr) {
        Logger::Instance()->Fatal("Cannot find PNG-File");
        Logger::Instance()->Message("Location: ", path != nullptr ? path : "", nullptr);
        return false;
    }
    bool const result = Load(file, gammaCorrect, path);
    std::fclose(file);
    return result;
}

bool TextureData::Load(std::FILE* file, bool gammaCorrect, char const* source) {
    this->gammaCorrect = gammaCorrect;
    GLint maxSize = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxSize);
    Data::PngImage image;
    if (!image.Decode(file, gammaCorrect, maxSize > 0 ? static_cast<unsigned int>(maxSize) : 1,
                      source)) {
        return false;
    }

    glBindTexture(GL_TEXTURE_2D, texture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_R, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);

    bool const alpha = image.Channels() == 4;
    GLint const internalFormat =
        alpha ? (gammaCorrect ? GL_SRGB_ALPHA : GL_RGBA) : (gammaCorrect ? GL_SRGB : GL_RGB);
    GLenum const format = alpha ? GL_RGBA : GL_RGB;
    // Decoded rows are packed; the default alignment of 4 would read RGB rows
    // past the end of the image.
    GLint alignment = 4;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, internalFormat, static_cast<GLsizei>(image.Width()),
                 static_cast<GLsizei>(image.Height()), 0, format, GL_UNSIGNED_BYTE, image.Pixels());
    glPixelStorei(GL_UNPACK_ALIGNMENT, alignment);
    glGenerateMipmap(GL_TEXTURE_2D);
    return true;
}

} // namespace Engine::Scene
