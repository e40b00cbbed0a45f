#include <Engine/Render/CDFrameBuffer.h>
#include <Engine/Render/Internal/TextureSetup.h>
#include <GL/glew.h>

namespace Engine::Render {

CDFrameBuffer::~CDFrameBuffer() {
    TextureSetup::deleteTexture(depthTexture);
}

void CDFrameBuffer::init(int w, int h, bool filter) {
    ColorFrameBuffer::init(w, h, filter);
    initDepthTex();
}

void CDFrameBuffer::initDepthTex() {
    TextureSetup::create2D(depthTexture, width, height, GL_DEPTH_COMPONENT24, GL_DEPTH_COMPONENT,
                           GL_FLOAT);
    TextureSetup::setFilter(GL_TEXTURE_2D, false, false);
    TextureSetup::clampToEdge(GL_TEXTURE_2D, false);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_TEXTURE_2D, depthTexture, 0);
    glBindTexture(GL_TEXTURE_2D, 0);
}

void CDFrameBuffer::clearAll() {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

void CDFrameBuffer::bindDepthTex() {
    glBindTexture(GL_TEXTURE_2D, depthTexture);
}

} // namespace Engine::Render
