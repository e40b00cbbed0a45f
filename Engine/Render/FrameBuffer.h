#pragma once

#include <Engine/Export.h>

namespace Engine::Render {

// Base of every off-screen render target: one OpenGL framebuffer object and its
// size. Derived targets add and attach their textures; check() reports an
// incomplete framebuffer on standard output.
class ENGINE_API FrameBuffer {
public:
    FrameBuffer() = default;
    ~FrameBuffer();
    FrameBuffer(FrameBuffer const&) = delete;
    FrameBuffer& operator=(FrameBuffer const&) = delete;

    // Stores the size, creates the framebuffer and leaves it bound.
    void init(int width, int height);
    // Prints one line when the bound framebuffer is incomplete; binds framebuffer 0.
    void check();
    // Binds the framebuffer and sets the viewport to its size.
    void enable();
    void disable();
    // Copies the depth buffer of source (same size and depth format) into
    // this target's; leaves this target bound to GL_FRAMEBUFFER.
    void copyDepthFrom(FrameBuffer const& source);
    int getWidth() const { return width; }
    int getHeight() const { return height; }

protected:
    void bind();
    void unbind();
    void setViewport();
    unsigned int getFrameBufferID() const { return framebuffer; }
    void makeFB();
    // Lazy mipmaps of a sampled target: drawing into it (enable) marks them
    // due, and the first bind for sampling after that regenerates them, so a
    // target drawn once and read many times builds its chain once. Binds
    // texture to target (GL_TEXTURE_2D or GL_TEXTURE_CUBE_MAP).
    void bindForSampling(unsigned int target, unsigned int texture);
    void markMipmapsDue() { mipmapDirty = true; }

    unsigned int framebuffer = 0;
    int width = 0;
    int height = 0;
    bool mipmap = false;
    bool mipmapDirty = true;
};

} // namespace Engine::Render
