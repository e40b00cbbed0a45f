#pragma once

#include <Game/DemoHooks.h>

namespace GameTestSupport {

// Demo hooks with the smallest scene the shell can run: one world holding a
// camera object whose screen camera clears the window to ClearColour every
// frame. At teardown it prints "test scene: N frames rendered".
class TestScene : public Game::DemoHooks {
public:
    // The clear colour in 8-bit channels; full and empty channels look the
    // same with and without sRGB encoding.
    static constexpr unsigned ClearRed = 255;
    static constexpr unsigned ClearGreen = 0;
    static constexpr unsigned ClearBlue = 255;

    Scene Build(Game::ApplicationState& app) override;
    void Start(Game::ApplicationState&) override {}
    void Script(Game::ApplicationState&) override {}
    void Keys(Game::ApplicationState&, Game::InputState const&) override {}
    void TearDown(Game::ApplicationState& app) override;

private:
    Engine::Scene::World* world = nullptr;
    int framesRendered = 0;
};

} // namespace GameTestSupport
