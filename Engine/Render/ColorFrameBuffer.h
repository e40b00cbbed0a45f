#pragma once

#include <Engine/Render/FrameBuffer.h>

namespace Engine::Render {

// A render target with one RGBA16F colour texture, used by the post-processing
// passes. With mipmaps on, the chain is regenerated on the first bind for
// sampling after each pass rendered into it.
class ENGINE_API ColorFrameBuffer : public FrameBuffer {
public:
    ColorFrameBuffer() = default;
    ~ColorFrameBuffer();

    // filter true: linear filtering (mipmapped if mipmaps are on); false: nearest.
    void init(int width, int height, bool filter);
    // Binds, draws to attachment 0, sets the viewport and marks the texture dirty.
    void enable();
    void clearAll();
    // Binds the colour texture, regenerating its mipmaps if they are due.
    void bindColorTex();
    void unbindColorTex() {}
    unsigned int getColorTexID() const { return colorTexture; }
    void mipMapOn() { mipmap = true; }
    void mipMapOff() { mipmap = false; }
    bool mipMapDirty() const { return mipmapDirty; }

protected:
    void initColorTex(bool filter);

    unsigned int colorTexture = 0;
};

} // namespace Engine::Render
