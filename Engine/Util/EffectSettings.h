#pragma once

#include <Engine/Export.h>

namespace Engine::Util {

// Process-wide switches for rendering effects: wireframe, FXAA, which HDR
// images the tone mapper shows, and the fade to black. The renderer reads them
// every frame, so a change shows in the next frame.
class ENGINE_API EffectSettings {
public:
    static EffectSettings* Instance();

    EffectSettings() = default;
    ~EffectSettings() = default;

    bool DrawWireFrame() const { return drawWireFrame; }
    void DrawWireFrame(bool on) { drawWireFrame = on; }

    void setHDRshowColor(bool on) { hdrShowColor = on; }
    void setHDRshowGlow(bool on) { hdrShowGlow = on; }
    void setHDRshowToneMappedColor(bool on) { hdrShowToneMappedColor = on; }
    void setHDRshowToneMappedGlow(bool on) { hdrShowToneMappedGlow = on; }
    bool getHDRshowColor() const { return hdrShowColor; }
    bool getHDRshowGlow() const { return hdrShowGlow; }
    bool getHDRshowToneMappedColor() const { return hdrShowToneMappedColor; }
    bool getHDRshowToneMappedGlow() const { return hdrShowToneMappedGlow; }

    // Stores 1.0 for true and 0.0 for false.
    void setHDRfade2Black(bool on) { hdrFade2Black = on ? 1.0f : 0.0f; }
    float getHDRfade2Black() const { return hdrFade2Black; }

    void setFXAAon(bool on) { fxaaOn = on; }
    bool getFXAAon() const { return fxaaOn; }

private:
    static EffectSettings* instance;

    bool drawWireFrame = false;
    bool hdrShowColor = false;
    bool hdrShowGlow = false;
    bool hdrShowToneMappedColor = true;
    bool hdrShowToneMappedGlow = true;
    float hdrFade2Black = 1.0f;
    bool fxaaOn = true;
};

} // namespace Engine::Util

ENGINE_API Engine::Util::EffectSettings* getEffectSettingsInstance();
