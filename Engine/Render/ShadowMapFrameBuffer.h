#pragma once

#include <Engine/Render/FrameBuffer.h>

namespace Engine::Render {

// The target of a spot light's shadow map: a depth map (a real depth
// attachment, or a one-channel float colour target) and a moment-2 map for
// variance shadow mapping.
class ENGINE_API ShadowMapFrameBuffer : public FrameBuffer {
public:
    explicit ShadowMapFrameBuffer(bool depthAttachment);
    ~ShadowMapFrameBuffer();

    void init(int width, int height, bool filter);
    void enable();
    void clearAll();
    void bindDepthMapTex();
    void bindMoment2MapTex();
    unsigned int getDepthMapTexID() const { return depthMap; }
    unsigned int getMoment2MapTexID() const { return moment2Map; }
    void mipMapOn() { mipmap = true; }
    void mipMapOff() { mipmap = false; }

private:
    void initDepthMapTex(bool filter);
    void genMapTex(bool filter, unsigned int* texture, int internalFormat, unsigned int format);

    bool depthAttachment;
    bool moment2 = true;
    unsigned int depthMap = 0;
    unsigned int moment2Map = 0;
    bool depthMapDirty = true;
    bool moment2Dirty = true;
};

} // namespace Engine::Render
