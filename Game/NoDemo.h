#pragma once

#include <Game/DemoHooks.h>

namespace Game {

// Stand-in for the demo until one is built into the program: it builds no
// scene, so the shell starts up, skips the frame loop and tears down.
class NoDemo : public DemoHooks {
public:
    Scene Build(ApplicationState& app) override;
    void Start(ApplicationState&) override {}
    void Script(ApplicationState&) override {}
    void Keys(ApplicationState&, InputState const&) override {}
    void TearDown(ApplicationState&) override {}
};

} // namespace Game
