#pragma once

#include <Engine/Data/LightLookupFile.h>
#include <Engine/Render/FrameProfiler.h>
#include <Game/DemoHooks.h>
#include <Viewer/SceneCompiler.h>
#include <Viewer/ViewerOptions.h>
#include <chrono>
#include <memory>
#include <string>

namespace Engine::Scene {
class DirectionalLight;
class GodRaySpotLight;
class ShadowCastingSpotLight;
} // namespace Engine::Scene

namespace Viewer {

// The viewer's scene as the shell's hooks: one world with the compiled file
// (scene object 0, scaled and moved to a sphere of Radius about the origin),
// a camera framing it, and a light rig: a shadow-casting key light, two fill
// lights and a god-ray spot light (off at first) in a medium whose density
// the user changes. Keys switch the lights, reload the file, save
// screenshots and the demo's effects; the title shows the frame timing.
class ViewerScene : public Game::DemoHooks {
public:
    // The model's bounding sphere after placing.
    static constexpr float Radius = 5.0f;
    // Half the side of the floor square under the model.
    static constexpr float FloorHalfSide = 8.0f * Radius;
    // How often the title's timing is renewed, in seconds.
    static constexpr double TitleSeconds = 1.0;

    // `started`: when the program started, for the first frame's time.
    ViewerScene(SceneCompiler const& compiler, CompiledScene scene, ViewerOptions options,
                std::chrono::steady_clock::time_point started);
    ~ViewerScene() override;

    Scene Build(Game::ApplicationState& app) override;
    void Start(Game::ApplicationState& app) override;
    void Script(Game::ApplicationState& app) override;
    void Keys(Game::ApplicationState& app, Game::InputState const& input) override;
    void TearDown(Game::ApplicationState& app) override;

    // True when the compiled scene could not be loaded.
    bool Failed() const { return failed; }
    // 0 key and fills, 1 key only, 2 fills only.
    int LightingMode() const { return lightingMode; }
    float MediumDensity() const;
    CompiledScene const& Compiled() const { return scene; }
    bool FloorShown() const { return floorShown; }

private:
    bool loadModel();
    void removeModel();
    void showFloor(bool on);
    void buildLights();
    void buildCamera(Game::ApplicationState& app);
    void applyLighting();
    void changeDensity(Game::ApplicationState& app, float factor);
    void reload();
    void screenshot(Game::ApplicationState& app);
    void updateTitle(Game::ApplicationState& app);

    SceneCompiler const& compiler;
    CompiledScene scene;
    ViewerOptions options;
    bool failed = false;
    Engine::Scene::World* world = nullptr;
    Engine::Scene::SceneObject* model = nullptr;
    // In the world while shown; the scene's otherwise.
    Engine::Scene::SceneObject* floor = nullptr;
    bool floorShown = true;
    Engine::Scene::SceneObject* cameraObject = nullptr;
    Engine::Scene::ShadowCastingSpotLight* keyLight = nullptr;
    Engine::Scene::DirectionalLight* fills[2] = {nullptr, nullptr};
    Engine::Scene::GodRaySpotLight* godRay = nullptr;
    int lightingMode = 0;
    // The scattering tables; without them there is no medium.
    bool hasLookup = false;
    Engine::Data::LightLookupData lookup;
    float densityFactor = 1.0f;
    std::unique_ptr<Engine::Render::FrameProfiler> profiler;
    std::chrono::steady_clock::time_point started;
    std::chrono::steady_clock::time_point titleShown;
    std::uint64_t frames = 0;
    int screenshots = 0;
};

} // namespace Viewer
