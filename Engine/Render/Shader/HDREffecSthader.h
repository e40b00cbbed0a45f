#pragma once

#include <Engine/Render/Shader/PostprocessingShader.h>

namespace Engine::Render::Shader {

// The programs of the HDR chain (adaptive luminance, glow blur, tone mapping):
// a post-processing program with the luminance, glow and frame-time inputs and
// the tone mapper's show flags.
class ENGINE_API HDREffecSthader : public PostprocessingShader {
public:
    HDREffecSthader(char const* vertexFile, char const* fragmentFile);

    using PostprocessingShader::SetDiffuseTexture;
    // Unit 1.
    void SetLumTexture(ColorFrameBuffer* target) const;
    // Unit 2 (never needed in the same pass as the glow).
    void SetLastAdaptedLumTexture(ColorFrameBuffer* target) const;
    // Unit 2.
    void SetGlowTexture(ColorFrameBuffer* target) const;
    void SetFrameTime(float seconds) const;
    void SetHDRfade2Black(float value) const;
    void SetMipmapLevel(int level) const;
    void SetHDRshowColor(unsigned char on) const;
    void SetHDRshowGlow(unsigned char on) const;
    void SetHDRshowToneMappedColor(unsigned char on) const;
    void SetHDRshowToneMappedGlow(unsigned char on) const;

private:
    void bindUniformLocation();

    int frameTimeHandle = -1;
    int lumTextureHandle = -1;
    int lastAdaptedLumTextureHandle = -1;
    int glowTextureHandle = -1;
    int mipmapLevelHandle = -1;
    int showColorHandle = -1;
    int showGlowHandle = -1;
    int showToneMappedColorHandle = -1;
    int showToneMappedGlowHandle = -1;
    int fade2BlackHandle = -1;
};

} // namespace Engine::Render::Shader
