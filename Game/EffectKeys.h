#pragma once

namespace Game {

struct ApplicationState;
class InputState;

// The effect keys the demo and the viewer share: F3 debug overlays, F4
// wireframe, F5 the next G-buffer inset; H tone-mapped colour with glow
// (Ctrl+H without), C the plain colour, G the plain glow; A FXAA on, Ctrl+A
// off.
class EffectKeys {
public:
    static void Handle(ApplicationState& app, InputState const& input);
};

} // namespace Game
