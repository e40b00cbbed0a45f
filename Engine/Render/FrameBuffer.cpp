#include <Engine/Render/FrameBuffer.h>
#include <GL/glew.h>
#include <cstdio>

namespace Engine::Render {

namespace {

const char* incompleteReason(GLenum status) {
    switch (status) {
    case GL_FRAMEBUFFER_INCOMPLETE_ATTACHMENT:
        return "Incomplete attachment";
    case GL_FRAMEBUFFER_INCOMPLETE_MISSING_ATTACHMENT:
        return "Missing attachment";
    case GL_FRAMEBUFFER_INCOMPLETE_DIMENSIONS_EXT:
        return "Incomplete dimensions";
    case GL_FRAMEBUFFER_INCOMPLETE_FORMATS_EXT:
        return "Incomplete formats";
    case GL_FRAMEBUFFER_INCOMPLETE_DRAW_BUFFER:
        return "Incomplete draw buffer";
    case GL_FRAMEBUFFER_INCOMPLETE_READ_BUFFER:
        return "Incomplete read buffer";
    case GL_FRAMEBUFFER_UNSUPPORTED:
        return "Framebufferobjects unsupported";
    default:
        return "";
    }
}

} // namespace

FrameBuffer::~FrameBuffer() {
    if (framebuffer != 0) {
        glDeleteFramebuffers(1, &framebuffer);
        framebuffer = 0;
    }
}

void FrameBuffer::init(int w, int h) {
    width = w;
    height = h;
    makeFB();
    bind();
}

void FrameBuffer::check() {
    const GLenum status = glCheckFramebufferStatus(GL_FRAMEBUFFER);
    if (status != GL_FRAMEBUFFER_COMPLETE) {
        std::printf("fehler beim erstell des frambuffers/textur: '%s'\n", incompleteReason(status));
        std::fflush(stdout);
    }
    unbind();
}

void FrameBuffer::enable() {
    bind();
    setViewport();
}

void FrameBuffer::disable() {
    unbind();
}

void FrameBuffer::copyDepthFrom(FrameBuffer const& source) {
    glBindFramebuffer(GL_READ_FRAMEBUFFER, source.framebuffer);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, framebuffer);
    glBlitFramebuffer(0, 0, source.width, source.height, 0, 0, width, height, GL_DEPTH_BUFFER_BIT,
                      GL_NEAREST);
    bind();
}

void FrameBuffer::bind() {
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
}

void FrameBuffer::unbind() {
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
}

void FrameBuffer::setViewport() {
    glViewport(0, 0, width, height);
}

void FrameBuffer::makeFB() {
    if (framebuffer != 0) {
        glDeleteFramebuffers(1, &framebuffer);
    }
    glGenFramebuffers(1, &framebuffer);
}

void FrameBuffer::bindForSampling(unsigned int target, unsigned int texture) {
    glBindTexture(target, texture);
    if (mipmap && mipmapDirty) {
        glGenerateMipmap(target);
        mipmapDirty = false;
    }
}

} // namespace Engine::Render
