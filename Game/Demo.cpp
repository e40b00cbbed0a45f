#include <Engine/Data/Factory.h>
#include <Engine/Math/Vec3f.h>
#include <Engine/Math/Vec4f.h>
#include <Engine/Render/Viewer.h>
#include <Engine/Scene/CameraComponent.h>
#include <Engine/Scene/DirectionalLight.h>
#include <Engine/Scene/GodRaySpotLight.h>
#include <Engine/Scene/LightComponent.h>
#include <Engine/Scene/PathAnimationComponent.h>
#include <Engine/Scene/PositionComponent.h>
#include <Engine/Scene/SceneObject.h>
#include <Engine/Scene/ScreenCamera.h>
#include <Engine/Scene/ShadowCastingSpotLight.h>
#include <Engine/Scene/SpotLight.h>
#include <Engine/Scene/World.h>
#include <Engine/Sound/SoundBuffer.h>
#include <Engine/Sound/SoundController.h>
#include <Engine/Sound/SoundSource.h>
#include <Engine/Util/EffectSettings.h>
#include <Engine/Util/Logger.h>
#include <Game/ApplicationState.h>
#include <Game/Demo.h>
#include <Game/EffectKeys.h>
#include <Game/InputState.h>
#include <algorithm>
#include <iostream>
#include <string>

namespace Game {

using Engine::Math::Vec3f;
using Engine::Math::Vec4f;
namespace ES = Engine::Scene;
using Engine::Data::Factory;
using Engine::Util::EffectSettings;

namespace {

// The screen cameras' vertical field of view (60 degrees) and clip planes.
const float CameraFov = 1.0471976f;
const float CameraNear = 0.1f;
const float CameraFar = 100.0f;

Vec3f unit(float x, float y, float z) {
    return Vec3f::Normalize(Vec3f(x, y, z));
}

// A scene object with a position component (identity) and a light
// component holding the lights, and a path when one is given.
ES::SceneObject* lightObject(std::vector<ES::Light*> const& lights,
                             DemoPaths::Path const* path = nullptr,
                             DemoPaths::Path const* lookAt = nullptr) {
    auto* object = new ES::SceneObject();
    object->Components()[COMPONENT_POSITION] = new ES::PositionComponent(object);
    auto* component = new ES::LightComponent(object);
    component->Lights() = lights;
    object->Components()[COMPONENT_LIGHT] = component;
    if (path != nullptr && lookAt != nullptr) {
        object->Components()[COMPONENT_PATH_ANIMATION] = new ES::PathAnimationComponent(
            DemoPaths::ToCurvePoints(*path), static_cast<unsigned short>(path->size()),
            DemoPaths::ToCurvePoints(*lookAt), static_cast<unsigned short>(lookAt->size()), object);
    }
    return object;
}

} // namespace

DemoHooks::Scene Demo::Build(ApplicationState& state) {
    app = &state;
    if (Factory::Instance() == nullptr) {
        std::cerr << "Game: the demo's compiled assets cannot be read (see the log); "
                     "nothing to show\n";
        return {};
    }
    timeline = new DemoTimeline(state.scriptTimeOffset);
    buildFirstWorld(state);
    buildSecondWorld(state);
    return {firstWorld, cameraA};
}

ES::SceneObject* Demo::loadScene(unsigned short model, ES::World* world, bool keepLights) {
    ES::SceneObject* object = Factory::Instance()->LoadSceneObject(model, world);
    if (object == nullptr) {
        std::cerr << "Game: scene object " << model
                  << " is missing from the compiled models; its world stays empty\n";
        object = new ES::SceneObject();
        object->Components()[COMPONENT_POSITION] = new ES::PositionComponent(object);
    }
    // The demo flies its own cameras and lights: the object's own flight, and
    // in the first world its own lights, are kept aside.
    std::vector<ComponentID> taken = {COMPONENT_PATH_ANIMATION};
    if (!keepLights) {
        taken.push_back(COMPONENT_LIGHT);
    }
    for (ComponentID id : taken) {
        auto found = object->Components().find(id);
        if (found != object->Components().end()) {
            setAside.push_back(found->second);
            object->Components().erase(found);
        }
    }
    return object;
}

ES::SceneObject* Demo::cameraObject(ApplicationState& state, ES::World* world,
                                    DemoPaths::Path const& path, DemoPaths::Path const& lookAt) {
    auto* object = new ES::SceneObject();
    // The camera takes a lookup table of its own; the component takes the camera.
    auto* camera = new ES::ScreenCamera(world, Factory::LoadLightLookupTable(), state.width,
                                        state.height, CameraFov, CameraNear, CameraFar);
    object->Components()[COMPONENT_CAMERA] = new ES::CameraComponent(camera, object);
    auto* position = new ES::PositionComponent(object);
    position->Matrix(state.rig.Matrix());
    object->Components()[COMPONENT_POSITION] = position;
    object->Components()[COMPONENT_PATH_ANIMATION] = new ES::PathAnimationComponent(
        DemoPaths::ToCurvePoints(path), static_cast<unsigned short>(path.size()),
        DemoPaths::ToCurvePoints(lookAt), static_cast<unsigned short>(lookAt.size()), object);
    return object;
}

void Demo::buildFirstWorld(ApplicationState& state) {
    const float t = state.scriptTimeOffset;
    const float g = timeline->Times().godRays12;
    firstWorld = new ES::World();
    firstWorld->AddSceneObject(loadScene(FirstWorldModel, firstWorld, false));

    cameraA = cameraObject(state, firstWorld, DemoPaths::CameraA(t), DemoPaths::CameraALookAt(t));
    firstWorld->AddSceneObject(cameraA);

    directionalObject =
        lightObject({new ES::DirectionalLight(Vec3f(0.5f, 0.5f, 0.3f), false, unit(0, -1, -0.5f))});
    place(directionalObject, true);

    searchlight =
        new ES::ShadowCastingSpotLight(Vec3f(2, 2, 1.3f), false, Vec4f(0, 0, 0, 1), unit(0, 0, -1),
                                       0.17453294f, 200.0f, Vec3f(0.5f, 0, 0.3f), firstWorld);
    const DemoPaths::Path searchPath = DemoPaths::SearchLight(t);
    const DemoPaths::Path searchLook = DemoPaths::SearchLightLookAt(t);
    searchlightObject = lightObject({searchlight}, &searchPath, &searchLook);
    loose.push_back({searchlightObject, false});

    godRay1 = new ES::GodRaySpotLight(Vec3f(8, 8, 45), false, Vec4f(0, 0, 0, 1), unit(0, 0, -1),
                                      0.2617994f, 100.0f, Vec3f(0.005f, 0, 0.2f), firstWorld);
    const DemoPaths::Path path1 = DemoPaths::GodRay1(g);
    const DemoPaths::Path look1 = DemoPaths::GodRay1LookAt(g);
    godRay1Object = lightObject({godRay1}, &path1, &look1);
    place(godRay1Object, true);

    godRay2 = new ES::GodRaySpotLight(Vec3f(8, 45, 8), false, Vec4f(0, 0, 0, 1), unit(0, 0, -1),
                                      0.2617994f, 100.0f, Vec3f(0.005f, 0, 0.2f), firstWorld);
    const DemoPaths::Path path2 = DemoPaths::GodRay2(g);
    const DemoPaths::Path look2 = DemoPaths::GodRay2LookAt(g);
    godRay2Object = lightObject({godRay2}, &path2, &look2);
    place(godRay2Object, true);

    godRay3 = new ES::GodRaySpotLight(Vec3f(30, 30, 25), false, Vec4f(0, -11, 0, 1), unit(0, 1, 0),
                                      0.64577186f, 1.0f, Vec3f(0.01f, 0, 0.2f), firstWorld);
    godRay3Object = lightObject({godRay3});
    place(godRay3Object, true);
}

void Demo::buildSecondWorld(ApplicationState& state) {
    const float w = timeline->Times().worldSwitch;
    secondWorld = new ES::World();
    ES::SceneObject* hall = loadScene(SecondWorldModel, secondWorld, true);
    auto* lights = static_cast<ES::LightComponent*>(hall->Components(COMPONENT_LIGHT));
    if (lights == nullptr) {
        lights = new ES::LightComponent(hall);
        hall->Components()[COMPONENT_LIGHT] = lights;
    }
    std::vector<ES::Light*>& list = lights->Lights();
    list.push_back(new ES::GodRaySpotLight(
        Vec3f(15, 15, 12), true, Vec4f(1.597f, 5.44f, -3.285f, 1),
        unit(0.2944f, -0.98281f, 0.2276f), 0.3454f, 100.0f, Vec3f(0.5f, 0.16f, 0), secondWorld));
    list.push_back(new ES::GodRaySpotLight(
        Vec3f(15, 15, 12), true, Vec4f(-0.9298f, 5.44f, -3.285f, 1),
        unit(-0.2276f, -0.9281f, 0.2943f), 0.3454f, 100.0f, Vec3f(0.5f, 0.16f, 0), secondWorld));
    list.push_back(new ES::SpotLight(Vec3f(0.65f, 0.65f, 0.55f), true,
                                     Vec4f(-3.76f, 6.471f, -8.611f, 1), unit(0, -1, 0), 0.4f, 50.0f,
                                     Vec3f(1, 0, 0.0625f)));
    list.push_back(new ES::DirectionalLight(Vec3f(0.14f, 0.09f, 0.09f), false, unit(1, -0.4f, 0)));
    list.push_back(new ES::DirectionalLight(Vec3f(0.08f, 0.05f, 0.05f), false, unit(-1, -0.4f, 0)));
    theLamp =
        new ES::SpotLight(Vec3f(8, 8, 8), false, Vec4f(0, 3.2f, 8, 1), unit(0, -1, 0), 0.14f, 1.0f);
    theLamp->turnOff();
    list.push_back(theLamp);
    secondWorld->AddSceneObject(hall);

    cameraB = cameraObject(state, secondWorld, DemoPaths::CameraB(w), DemoPaths::CameraBLookAt(w));
    secondWorld->AddSceneObject(cameraB);

    lightX = new ES::GodRaySpotLight(Vec3f(0, 0, 0), false, Vec4f(0, 0, 0, 1), unit(0, 0, -1),
                                     0.17453294f, 5.0f, Vec3f(0.01f, 0, 0.2f), secondWorld);
    lightY = new ES::GodRaySpotLight(Vec3f(15, 15, 13), false, Vec4f(0, 0, 0, 1), unit(0, 0, -1),
                                     0.5235988f, 5.0f, Vec3f(0.01f, 0, 0.2f), secondWorld);
    lightY->turnOff();
    const DemoPaths::Path path = DemoPaths::RisingLight(w);
    const DemoPaths::Path look = DemoPaths::RisingLightLookAt(w);
    secondWorld->AddSceneObject(lightObject({lightX, lightY}, &path, &look));
}

void Demo::place(ES::SceneObject* object, bool inWorld) {
    auto found = std::find_if(loose.begin(), loose.end(),
                              [object](Loose const& l) { return l.object == object; });
    if (found == loose.end()) {
        loose.push_back({object, false});
        found = loose.end() - 1;
    }
    if (found->inWorld == inWorld) {
        return;
    }
    if (inWorld) {
        firstWorld->AddSceneObject(object);
    } else {
        firstWorld->RemoveSceneObject(object);
    }
    found->inWorld = inWorld;
}

void Demo::Start(ApplicationState&) {
    soundOpen = Engine::Sound::SoundController::intOpenAL();
    if (!soundOpen) {
        std::cerr << "Game: no audio device; the demo plays without music\n";
        return;
    }
    soundController = new Engine::Sound::SoundController();
    music = new Engine::Sound::SoundSource();
    // OpenAL may be called from any thread, and nothing else calls it until
    // the first track plays.
    trackLoading = std::async(std::launch::async, [this] {
        tracks[0] = new Engine::Sound::SoundBuffer(Track1);
        tracks[1] = new Engine::Sound::SoundBuffer(Track2);
    });
}

void Demo::finishLoadingTracks() {
    if (trackLoading.valid()) {
        trackLoading.get();
    }
}

void Demo::Script(ApplicationState& state) {
    if (timeline == nullptr || state.viewer == nullptr) {
        return;
    }
    app = &state;
    // The time of the previous frame, from a copy of the viewer's timer.
    const Engine::Util::Timer timer = state.viewer->getTimer();
    if (state.loop && timer.AbsoluteTime() > timeline->Times().end) {
        restart(state);
        // The new timeline's first frame, as at the program's start.
        timeline->Frame(0.0f, state.demoMode, *this);
        return;
    }
    timeline->Frame(timer.AbsoluteTime(), state.demoMode, *this);
}

void Demo::restart(ApplicationState& state) {
    state.viewer->RestartTimer();
    state.viewer->CurrentWorld(firstWorld);
    state.controlledCameraObject = cameraA;
    if (music != nullptr) {
        finishLoadingTracks();
        music->stop();
    }
    // The second world's lights as built; the first world's objects are
    // where the build put them, and the new timeline's first frames restore
    // the opening scene from there.
    theLamp->turnOff();
    lightX->Intensity(Vec3f(0, 0, 0));
    lightX->turnOn();
    lightY->turnOff();
    delete timeline;
    timeline = new DemoTimeline(state.scriptTimeOffset);
}

void Demo::Keys(ApplicationState& state, InputState const& input) {
    EffectKeys::Handle(state, input);
}

void Demo::TearDown(ApplicationState&) {
    // The factory first: its stores release the shared mesh and texture data
    // that the worlds' meshes still hold, which is sound as nothing is drawn
    // any more.
    Factory::DeleteInstance();
    for (Loose const& l : loose) {
        if (l.inWorld) {
            firstWorld->RemoveSceneObject(l.object);
        }
        delete l.object;
    }
    loose.clear();
    for (Engine::Scene::IComponent* component : setAside) {
        delete component;
    }
    setAside.clear();
    delete firstWorld;
    firstWorld = nullptr;
    delete secondWorld;
    secondWorld = nullptr;
    // The source before the buffers it plays: a buffer still attached to a
    // source cannot be deleted, and the audio device would stay open.
    finishLoadingTracks();
    delete music;
    music = nullptr;
    delete tracks[0];
    delete tracks[1];
    tracks[0] = tracks[1] = nullptr;
    delete soundController;
    soundController = nullptr;
    if (soundOpen) {
        Engine::Sound::SoundController::exitOpenAL();
        soundOpen = false;
    }
    delete timeline;
    timeline = nullptr;
}

// ---- The timeline's events ----

void Demo::showPicture(bool on) {
    EffectSettings::Instance()->setHDRfade2Black(on);
}

void Demo::restoreOpeningScene() {
    place(directionalObject, false);
    place(godRay3Object, false);
    place(godRay1Object, false);
    place(godRay2Object, false);
    place(searchlightObject, true);
}

void Demo::playTrack(int track, float referenceGain) {
    if (music == nullptr) {
        return;
    }
    finishLoadingTracks();
    music->stop();
    music->setBuffer(tracks[track - 1]);
    music->referenceGain(referenceGain);
    music->play();
}

void Demo::swapSearchlightForDirectionalLight() {
    place(directionalObject, true);
    place(searchlightObject, false);
}

void Demo::addGodRay3() {
    place(godRay3Object, true);
}

void Demo::addGodRays1And2() {
    place(godRay1Object, true);
    place(godRay2Object, true);
}

void Demo::refreshSearchlightMap() {
    searchlight->mapNeedsUpdate();
}

void Demo::refreshGodRay1And2Maps() {
    godRay1->mapNeedsUpdate();
    godRay2->mapNeedsUpdate();
}

void Demo::switchToSecondWorld() {
    app->viewer->CurrentWorld(secondWorld);
    app->controlledCameraObject = cameraB;
}

bool Demo::lampOn() const {
    return theLamp->isOn();
}

void Demo::lamp(bool on) {
    if (on) {
        theLamp->turnOn();
    } else {
        theLamp->turnOff();
    }
}

void Demo::lightXIntensity(float green, float blue) {
    lightX->Intensity(Vec3f(0, green, blue));
}

bool Demo::lightXOn() const {
    return lightX->isOn();
}

void Demo::lightXOff() {
    lightX->turnOff();
}

bool Demo::lightYOn() const {
    return lightY->isOn();
}

void Demo::lightYOnNow() {
    lightY->turnOn();
}

void Demo::refreshSecondWorldMaps() {
    lightX->mapNeedsUpdate();
    lightY->mapNeedsUpdate();
}

} // namespace Game
