#pragma once

#include <Game/DemoHooks.h>
#include <Game/DemoTimeline.h>
#include <future>
#include <string>
#include <vector>

namespace Engine::Scene {
class GodRaySpotLight;
class IComponent;
class Light;
class ShadowCastingSpotLight;
class SpotLight;
} // namespace Engine::Scene
namespace Engine::Sound {
class SoundBuffer;
class SoundController;
class SoundSource;
} // namespace Engine::Sound

namespace Game {

// The demo: two worlds built from scene objects 10 and 9 of the compiled
// model file plus cameras, lights and flight paths made in code, the scripted
// timeline with its music, and the effect keys.
//
// The light and path-animation components taken out of the loaded objects
// (the demo flies its own cameras and lights) are kept aside, never attached
// to a world, and deleted at tear-down. Objects the timeline takes out of a
// world stay the demo's until they are back in it; whatever is outside its
// world at tear-down is deleted by the demo.
class Demo : public DemoHooks, private DemoActions {
public:
    // Where the music tracks are, relative to the working folder.
    static constexpr char const* Track1 = "../../TestData/audio/track1.wav";
    static constexpr char const* Track2 = "../../TestData/audio/track2.wav";
    // Scene objects of the model file the two worlds are built on.
    static constexpr unsigned short FirstWorldModel = 10;
    static constexpr unsigned short SecondWorldModel = 9;

    Scene Build(ApplicationState& app) override;
    void Start(ApplicationState& app) override;
    void Script(ApplicationState& app) override;
    void Keys(ApplicationState& app, InputState const& input) override;
    void TearDown(ApplicationState& app) override;

    Engine::Scene::World* FirstWorld() const { return firstWorld; }
    Engine::Scene::World* SecondWorld() const { return secondWorld; }
    DemoTimeline const* Timeline() const { return timeline; }
    // The objects carrying the two worlds' screen cameras.
    Engine::Scene::SceneObject* FirstCamera() const { return cameraA; }
    Engine::Scene::SceneObject* SecondCamera() const { return cameraB; }

private:
    void buildFirstWorld(ApplicationState& app);
    // Plays the demo from its beginning again (the --loop switch).
    void restart(ApplicationState& app);
    void buildSecondWorld(ApplicationState& app);
    Engine::Scene::SceneObject* loadScene(unsigned short model, Engine::Scene::World* world,
                                          bool keepLights);
    Engine::Scene::SceneObject* cameraObject(ApplicationState& app, Engine::Scene::World* world,
                                             DemoPaths::Path const& path,
                                             DemoPaths::Path const& lookAt);
    // Puts a loose object into the world or takes it out, keeping track.
    void place(Engine::Scene::SceneObject* object, bool inWorld);

    // DemoActions.
    void showPicture(bool on) override;
    void restoreOpeningScene() override;
    void playTrack(int track, float referenceGain) override;
    void swapSearchlightForDirectionalLight() override;
    void addGodRay3() override;
    void addGodRays1And2() override;
    void refreshSearchlightMap() override;
    void refreshGodRay1And2Maps() override;
    void switchToSecondWorld() override;
    bool lampOn() const override;
    void lamp(bool on) override;
    void lightXIntensity(float green, float blue) override;
    bool lightXOn() const override;
    void lightXOff() override;
    bool lightYOn() const override;
    void lightYOnNow() override;
    void refreshSecondWorldMaps() override;

    struct Loose {
        Engine::Scene::SceneObject* object;
        bool inWorld;
    };

    ApplicationState* app = nullptr;
    DemoTimeline* timeline = nullptr;
    Engine::Scene::World* firstWorld = nullptr;
    Engine::Scene::World* secondWorld = nullptr;
    Engine::Scene::SceneObject* cameraA = nullptr;
    Engine::Scene::SceneObject* cameraB = nullptr;
    // First world's objects the timeline moves in and out.
    Engine::Scene::SceneObject* searchlightObject = nullptr;
    Engine::Scene::SceneObject* directionalObject = nullptr;
    Engine::Scene::SceneObject* godRay1Object = nullptr;
    Engine::Scene::SceneObject* godRay2Object = nullptr;
    Engine::Scene::SceneObject* godRay3Object = nullptr;
    std::vector<Loose> loose;
    Engine::Scene::ShadowCastingSpotLight* searchlight = nullptr;
    Engine::Scene::GodRaySpotLight* godRay1 = nullptr;
    Engine::Scene::GodRaySpotLight* godRay2 = nullptr;
    Engine::Scene::GodRaySpotLight* godRay3 = nullptr;
    Engine::Scene::SpotLight* theLamp = nullptr;
    Engine::Scene::GodRaySpotLight* lightX = nullptr;
    Engine::Scene::GodRaySpotLight* lightY = nullptr;
    // Components taken out of the loaded objects.
    std::vector<Engine::Scene::IComponent*> setAside;
    // The sound record; null without an audio device.
    bool soundOpen = false;
    Engine::Sound::SoundController* soundController = nullptr;
    Engine::Sound::SoundSource* music = nullptr;
    Engine::Sound::SoundBuffer* tracks[2] = {nullptr, nullptr};
    // The tracks are read on a thread of their own, so that the first frame
    // does not wait for tens of megabytes of sound; the first track plays
    // seconds later. Waited for before a track plays and before tear-down.
    std::future<void> trackLoading;
    void finishLoadingTracks();
};

} // namespace Game
