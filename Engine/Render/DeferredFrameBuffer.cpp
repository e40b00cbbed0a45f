#include <Engine/Render/DeferredFrameBuffer.h>
#include <Engine/Render/Internal/TextureSetup.h>
#include <GL/glew.h>

namespace Engine::Render {

namespace {

void makeTarget(unsigned int& texture, int width, int height, int internalFormat,
                unsigned int format, unsigned int type, unsigned int attachment) {
    TextureSetup::create2D(texture, width, height, internalFormat, format, type);
    TextureSetup::setFilter(GL_TEXTURE_2D, false, false);
    TextureSetup::clampToEdge(GL_TEXTURE_2D, false);
    glFramebufferTexture2D(GL_FRAMEBUFFER, attachment, GL_TEXTURE_2D, texture, 0);
}

} // namespace

DeferredFrameBuffer::~DeferredFrameBuffer() {
    TextureSetup::deleteTexture(depthTexture);
    TextureSetup::deleteTexture(diffuseColorTexture);
    TextureSetup::deleteTexture(specularColorTexture);
    TextureSetup::deleteTexture(normalTexture);
    TextureSetup::deleteTexture(emitTexture);
}

void DeferredFrameBuffer::init(int w, int h) {
    FrameBuffer::init(w, h);
    initDepthTex();
    initDiffuseColorTex();
    initSpecularColorTex();
    initNormalTex();
    initEmitTex();
    glBindTexture(GL_TEXTURE_2D, 0);
}

void DeferredFrameBuffer::initDepthTex() {
    makeTarget(depthTexture, width, height, GL_DEPTH_COMPONENT24, GL_DEPTH_COMPONENT, GL_FLOAT,
               GL_DEPTH_ATTACHMENT);
}

void DeferredFrameBuffer::initDiffuseColorTex() {
    makeTarget(diffuseColorTexture, width, height, GL_SRGB8_ALPHA8, GL_RGBA, GL_UNSIGNED_BYTE,
               GL_COLOR_ATTACHMENT0);
}

void DeferredFrameBuffer::initSpecularColorTex() {
    makeTarget(specularColorTexture, width, height, GL_RGBA8, GL_RGBA, GL_UNSIGNED_BYTE,
               GL_COLOR_ATTACHMENT1);
}

void DeferredFrameBuffer::initNormalTex() {
    makeTarget(normalTexture, width, height, GL_RGBA16F, GL_RGBA, GL_FLOAT, GL_COLOR_ATTACHMENT2);
}

void DeferredFrameBuffer::initEmitTex() {
    makeTarget(emitTexture, width, height, GL_R16F, GL_RED, GL_FLOAT, GL_COLOR_ATTACHMENT3);
}

void DeferredFrameBuffer::enable() {
    static const GLenum buffers[4] = {GL_COLOR_ATTACHMENT0, GL_COLOR_ATTACHMENT1,
                                      GL_COLOR_ATTACHMENT2, GL_COLOR_ATTACHMENT3};
    bind();
    glDrawBuffers(4, buffers);
    setViewport();
}

void DeferredFrameBuffer::clearAll() {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

void DeferredFrameBuffer::bindDepthTex() {
    glBindTexture(GL_TEXTURE_2D, depthTexture);
}

void DeferredFrameBuffer::bindDiffuseColorTex() {
    glBindTexture(GL_TEXTURE_2D, diffuseColorTexture);
}

void DeferredFrameBuffer::bindSpecularColorTex() {
    glBindTexture(GL_TEXTURE_2D, specularColorTexture);
}

void DeferredFrameBuffer::bindNormalTex() {
    glBindTexture(GL_TEXTURE_2D, normalTexture);
}

void DeferredFrameBuffer::bindEmitTex() {
    glBindTexture(GL_TEXTURE_2D, emitTexture);
}

} // namespace Engine::Render
