#include <Engine/Render/Internal/TextureSetup.h>
#include <Engine/Render/ShadowCubeMapFrameBuffer.h>
#include <GL/glew.h>

namespace Engine::Render {

namespace {
const int CubeFaces = 6;
}

ShadowCubeMapFrameBuffer::~ShadowCubeMapFrameBuffer() {
    TextureSetup::deleteTexture(cubeMap);
}

void ShadowCubeMapFrameBuffer::init(int w, int h, bool filter) {
    FrameBuffer::init(w, h);
    initDepthCubMapTex(filter);
}

void ShadowCubeMapFrameBuffer::initDepthCubMapTex(bool filter) {
    TextureSetup::deleteTexture(cubeMap);
    glGenTextures(1, &cubeMap);
    glBindTexture(GL_TEXTURE_CUBE_MAP, cubeMap);
    TextureSetup::setFilter(GL_TEXTURE_CUBE_MAP, filter, mipmap);
    TextureSetup::clampToEdge(GL_TEXTURE_CUBE_MAP, true);
    glTexParameteri(GL_TEXTURE_CUBE_MAP, GL_TEXTURE_COMPARE_MODE, GL_COMPARE_REF_TO_TEXTURE);
    glTexParameteri(GL_TEXTURE_CUBE_MAP, GL_TEXTURE_COMPARE_FUNC, GL_LEQUAL);
    for (int i = 0; i < CubeFaces; ++i) {
        glTexImage2D(GL_TEXTURE_CUBE_MAP_POSITIVE_X + i, 0, GL_DEPTH_COMPONENT24, width, height, 0,
                     GL_DEPTH_COMPONENT, GL_UNSIGNED_INT, nullptr);
    }
    TextureSetup::clearLevelZero(cubeMap, GL_DEPTH_COMPONENT, 1.0f);
    if (mipmap) {
        glGenerateMipmap(GL_TEXTURE_CUBE_MAP);
    }
    glFramebufferTexture(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, cubeMap, 0);
    glDrawBuffer(GL_NONE);
    glReadBuffer(GL_NONE);
}

void ShadowCubeMapFrameBuffer::enable() {
    bind();
    setViewport();
    markMipmapsDue();
}

void ShadowCubeMapFrameBuffer::clearAll() {
    for (int i = 0; i < CubeFaces; ++i) {
        glFramebufferTexture2D(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT,
                               GL_TEXTURE_CUBE_MAP_POSITIVE_X + i, cubeMap, 0);
        glClear(GL_DEPTH_BUFFER_BIT);
    }
    glFramebufferTexture(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, cubeMap, 0);
}

void ShadowCubeMapFrameBuffer::bindDepthCubMapTex() {
    bindForSampling(GL_TEXTURE_CUBE_MAP, cubeMap);
}

} // namespace Engine::Render
