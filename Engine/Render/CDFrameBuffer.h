#pragma once

#include <Engine/Render/ColorFrameBuffer.h>

namespace Engine::Render {

// A colour target with a depth texture: the HDR target of the illumination
// pass is one.
class ENGINE_API CDFrameBuffer : public ColorFrameBuffer {
public:
    CDFrameBuffer() = default;
    ~CDFrameBuffer();

    void init(int width, int height, bool filter);
    void clearAll();
    unsigned int getDepthTexID() const { return depthTexture; }
    void bindDepthTex();

protected:
    void initDepthTex();

    unsigned int depthTexture = 0;
};

} // namespace Engine::Render
