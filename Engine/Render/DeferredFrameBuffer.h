#pragma once

#include <Engine/Render/FrameBuffer.h>

namespace Engine::Render {

// The G-buffer of the geometry pass: depth plus four colour targets (sRGB
// diffuse colour, specular colour with shininess, normal, emission) that the
// DeferredShader outputs fragDiffuse, fragSpecular, fragNormal and fragEmit
// write.
class ENGINE_API DeferredFrameBuffer : public FrameBuffer {
public:
    DeferredFrameBuffer() = default;
    ~DeferredFrameBuffer();

    void init(int width, int height);
    // Binds, selects the four draw buffers and sets the viewport.
    void enable();
    void clearAll();

    void bindDepthTex();
    void bindDiffuseColorTex();
    void bindSpecularColorTex();
    void bindNormalTex();
    void bindEmitTex();
    unsigned int DepthTexID() const { return depthTexture; }
    unsigned int DiffuseColorTexID() const { return diffuseColorTexture; }
    unsigned int SpecularColorTexID() const { return specularColorTexture; }
    unsigned int NormalTexID() const { return normalTexture; }
    unsigned int EmitTexID() const { return emitTexture; }

private:
    void initDepthTex();
    void initDiffuseColorTex();
    void initSpecularColorTex();
    void initNormalTex();
    void initEmitTex();

    unsigned int depthTexture = 0;
    unsigned int diffuseColorTexture = 0;
    unsigned int specularColorTexture = 0;
    unsigned int normalTexture = 0;
    unsigned int emitTexture = 0;
};

} // namespace Engine::Render
