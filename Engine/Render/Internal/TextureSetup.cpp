#include <Engine/Render/Internal/TextureSetup.h>
#include <GL/glew.h>

namespace Engine::Render::TextureSetup {

void setFilter(unsigned int target, bool filter, bool mipmap) {
    if (filter) {
        glTexParameteri(target, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
        glTexParameteri(target, GL_TEXTURE_MIN_FILTER,
                        mipmap ? GL_LINEAR_MIPMAP_NEAREST : GL_LINEAR);
    } else {
        glTexParameteri(target, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
        glTexParameteri(target, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    }
}

void clampToEdge(unsigned int target, bool withR) {
    glTexParameteri(target, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(target, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    if (withR) {
        glTexParameteri(target, GL_TEXTURE_WRAP_R, GL_CLAMP_TO_EDGE);
    }
}

void deleteTexture(unsigned int& texture) {
    if (texture != 0) {
        glDeleteTextures(1, &texture);
        texture = 0;
    }
}

void create2D(unsigned int& texture, int width, int height, int internalFormat, unsigned int format,
              unsigned int type, float clearValue) {
    deleteTexture(texture);
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexImage2D(GL_TEXTURE_2D, 0, internalFormat, width, height, 0, format, type, nullptr);
    clearLevelZero(texture, format, format == GL_DEPTH_COMPONENT ? 1.0f : clearValue);
}

void clearLevelZero(unsigned int texture, unsigned int format, float value) {
    if (GLEW_ARB_clear_texture == GL_FALSE) {
        return;
    }
    const float texel[4] = {value, value, value, value};
    glClearTexImage(texture, 0, format, GL_FLOAT, texel);
}

} // namespace Engine::Render::TextureSetup
