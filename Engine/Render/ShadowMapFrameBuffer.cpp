#include <Engine/Render/Internal/TextureSetup.h>
#include <Engine/Render/ShadowMapFrameBuffer.h>
#include <GL/glew.h>

namespace Engine::Render {

ShadowMapFrameBuffer::ShadowMapFrameBuffer(bool depthAttachment)
    : depthAttachment(depthAttachment) {}

ShadowMapFrameBuffer::~ShadowMapFrameBuffer() {
    TextureSetup::deleteTexture(depthMap);
    TextureSetup::deleteTexture(moment2Map);
}

void ShadowMapFrameBuffer::init(int w, int h, bool filter) {
    FrameBuffer::init(w, h);
    initDepthMapTex(filter);
}

void ShadowMapFrameBuffer::initDepthMapTex(bool filter) {
    if (depthAttachment) {
        genMapTex(filter, &depthMap, GL_DEPTH_COMPONENT32, GL_DEPTH_COMPONENT);
        glFramebufferTexture2D(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_TEXTURE_2D, depthMap, 0);
        genMapTex(filter, &moment2Map, GL_RG32F, GL_RG);
        glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, moment2Map, 0);
    } else {
        genMapTex(filter, &depthMap, GL_RG32F, GL_RG);
        glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, depthMap, 0);
    }
}

void ShadowMapFrameBuffer::genMapTex(bool filter, unsigned int* texture, int internalFormat,
                                     unsigned int format) {
    // A map not drawn yet reads as "far": nothing in the way.
    TextureSetup::create2D(*texture, width, height, internalFormat, format, GL_FLOAT, 1.0f);
    TextureSetup::setFilter(GL_TEXTURE_2D, filter, mipmap);
    TextureSetup::clampToEdge(GL_TEXTURE_2D, true);
    if (mipmap) {
        glGenerateMipmap(GL_TEXTURE_2D);
    }
}

void ShadowMapFrameBuffer::enable() {
    bind();
    glDrawBuffer(GL_COLOR_ATTACHMENT0);
    setViewport();
    depthMapDirty = true;
    moment2Dirty = true;
}

void ShadowMapFrameBuffer::clearAll() {
    glClear(depthAttachment ? (GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT) : GL_COLOR_BUFFER_BIT);
}

void ShadowMapFrameBuffer::bindDepthMapTex() {
    glBindTexture(GL_TEXTURE_2D, depthMap);
    if (mipmap && depthMapDirty) {
        glGenerateMipmap(GL_TEXTURE_2D);
        depthMapDirty = false;
    }
}

void ShadowMapFrameBuffer::bindMoment2MapTex() {
    glBindTexture(GL_TEXTURE_2D, moment2Map);
    if (mipmap && moment2Dirty && moment2Map != 0) {
        glGenerateMipmap(GL_TEXTURE_2D);
        moment2Dirty = false;
    }
}

} // namespace Engine::Render
