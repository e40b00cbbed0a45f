#include <Engine/Render/ColorFrameBuffer.h>
#include <Engine/Render/Internal/TextureSetup.h>
#include <GL/glew.h>

namespace Engine::Render {

ColorFrameBuffer::~ColorFrameBuffer() {
    TextureSetup::deleteTexture(colorTexture);
}

void ColorFrameBuffer::init(int w, int h, bool filter) {
    FrameBuffer::init(w, h);
    initColorTex(filter);
}

void ColorFrameBuffer::initColorTex(bool filter) {
    TextureSetup::create2D(colorTexture, width, height, GL_RGBA16F, GL_RGBA, GL_FLOAT);
    TextureSetup::setFilter(GL_TEXTURE_2D, filter, mipmap);
    TextureSetup::clampToEdge(GL_TEXTURE_2D, false);
    if (mipmap) {
        glGenerateMipmap(GL_TEXTURE_2D);
    }
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, colorTexture, 0);
}

void ColorFrameBuffer::enable() {
    bind();
    glDrawBuffer(GL_COLOR_ATTACHMENT0);
    setViewport();
    markMipmapsDue();
}

void ColorFrameBuffer::clearAll() {
    glClear(GL_COLOR_BUFFER_BIT);
}

void ColorFrameBuffer::bindColorTex() {
    bindForSampling(GL_TEXTURE_2D, colorTexture);
}

} // namespace Engine::Render
