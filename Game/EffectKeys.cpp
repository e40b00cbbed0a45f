#include <Engine/Render/Viewer.h>
#include <Engine/Scene/World.h>
#include <Engine/Util/EffectSettings.h>
#include <Game/ApplicationState.h>
#include <Game/EffectKeys.h>
#include <Game/InputState.h>
#include <Game/KeyCodes.h>

namespace Game {

using Engine::Util::EffectSettings;
namespace ES = Engine::Scene;

void EffectKeys::Handle(ApplicationState& state, InputState const& input) {
    EffectSettings* effects = EffectSettings::Instance();
    ES::World* world = state.viewer != nullptr ? state.viewer->CurrentWorld() : nullptr;
    const bool ctrl = input.KeyHeld(KeyCode::Ctrl);
    if (world != nullptr && input.KeyPressed(KeyCode::F3)) {
        world->DrawDebug(!world->DrawDebug());
    }
    if (input.KeyPressed(KeyCode::F4)) {
        effects->DrawWireFrame(!effects->DrawWireFrame());
    }
    if (world != nullptr && input.KeyPressed(KeyCode::F5)) {
        auto& debug = world->DebugDrawSettings();
        debug.RenderTargetNumber(static_cast<unsigned short>(debug.RenderTargetNumber() + 1));
    }
    auto hdrView = [effects](bool toneMappedColor, bool toneMappedGlow, bool color, bool glow) {
        effects->setHDRshowToneMappedColor(toneMappedColor);
        effects->setHDRshowToneMappedGlow(toneMappedGlow);
        effects->setHDRshowColor(color);
        effects->setHDRshowGlow(glow);
    };
    if (input.KeyPressed(KeyCode::H)) {
        hdrView(true, !ctrl, false, false);
    }
    if (input.KeyPressed(KeyCode::C)) {
        hdrView(false, false, true, false);
    }
    if (input.KeyPressed(KeyCode::G)) {
        hdrView(false, false, false, true);
    }
    if (input.KeyPressed(KeyCode::A)) {
        effects->setFXAAon(!ctrl);
    }
}

} // namespace Game
