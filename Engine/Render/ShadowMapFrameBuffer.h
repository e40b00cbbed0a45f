#pragma once

#include <Engine/Render/FrameBuffer.h>

namespace Engine::Render {

// The target of a spot light's shadow map for variance shadow mapping. Both
// moments of the depth d share one two-channel float map, d in red and d * d
// in green, so that every filtered read gets both. With a depth attachment
// (the map rendered from the light) that map is the moment-2 map, beside a
// depth map for the depth test. Without (the blur's targets) it is the depth
// map, and such a target has no separate moment-2 map (its id is 0).
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
