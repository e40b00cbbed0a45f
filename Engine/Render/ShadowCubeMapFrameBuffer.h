#pragma once

#include <Engine/Render/FrameBuffer.h>

namespace Engine::Render {

// The target of a point light's shadow: a depth cube map attached as a whole,
// so that one layered pass renders all six faces. It is sampled as a
// depth-comparison cube map.
class ENGINE_API ShadowCubeMapFrameBuffer : public FrameBuffer {
public:
    ShadowCubeMapFrameBuffer() = default;
    ~ShadowCubeMapFrameBuffer();

    // Size of each face.
    void init(int width, int height, bool filter);
    void enable();
    // Clears the six faces one by one, then attaches the whole cube again.
    void clearAll();
    void bindDepthCubMapTex();
    unsigned int getDepthCubMapTexID() const { return cubeMap; }
    void mipMapOn() { mipmap = true; }
    void mipMapOff() { mipmap = false; }

private:
    void initDepthCubMapTex(bool filter);

    unsigned int cubeMap = 0;
};

} // namespace Engine::Render
