#include <Engine/Data/Factory.h>
#include <Engine/Math/Mat4f.h>
#include <Engine/Math/Vec3f.h>
#include <Engine/Math/Vec4f.h>
#include <Engine/Render/LightLookupTable.h>
#include <Engine/Render/Viewer.h>
#include <Engine/Scene/CameraComponent.h>
#include <Engine/Scene/DirectionalLight.h>
#include <Engine/Scene/GodRaySpotLight.h>
#include <Engine/Scene/LightComponent.h>
#include <Engine/Scene/PositionComponent.h>
#include <Engine/Scene/SceneObject.h>
#include <Engine/Scene/ScreenCamera.h>
#include <Engine/Scene/ShadowCastingSpotLight.h>
#include <Engine/Scene/World.h>
#include <GL/glew.h>
#include <Game/ApplicationState.h>
#include <Game/EffectKeys.h>
#include <Game/InputState.h>
#include <Game/KeyCodes.h>
#include <Viewer/ViewerScene.h>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>

namespace Viewer {

namespace ES = Engine::Scene;
using Engine::Data::Factory;
using Engine::Math::Mat4f;
using Engine::Math::Vec3f;
using Engine::Math::Vec4f;
using Engine::Render::FrameProfiler;
using Game::KeyCode::Ctrl;

namespace {

// The camera: 60 degrees vertical field of view, clip planes around the
// model's sphere with room to zoom out.
const float CameraFov = 1.0471976f;
const float CameraNear = 0.05f;
const float CameraFar = 200.0f;
// The first view: a little from the side and from above, the whole sphere in
// view with a margin.
const float ViewYaw = 0.6f;
const float ViewPitch = -0.35f;
const float ViewDistance = ViewerScene::Radius * 2.1f;
// The medium's density may be changed this much either way.
const float DensityStep = 1.5f;
const float MaxDensityFactor = 16.0f;
const float Pi = 3.14159265f;

// A point at a distance from the origin in a direction given by yaw and pitch
// (as the camera rig turns).
Vec3f around(float yaw, float pitch, float distance) {
    return Mat4f::RotateY(yaw) * Mat4f::RotateX(pitch) * Vec3f(0.0f, 0.0f, distance);
}

} // namespace

ViewerScene::ViewerScene(SceneCompiler const& compiler, CompiledScene scene, ViewerOptions options,
                         std::chrono::steady_clock::time_point started)
    : compiler(compiler), scene(std::move(scene)), options(std::move(options)), started(started) {}

ViewerScene::~ViewerScene() = default;

Game::DemoHooks::Scene ViewerScene::Build(Game::ApplicationState& app) {
    std::string const lookupPath =
        std::string(Factory::DEFAULT_DIRECTORY) + Factory::LIGHT_LOOKUP_FILE;
    std::ifstream in(lookupPath, std::ios::binary);
    std::vector<unsigned char> const bytes((std::istreambuf_iterator<char>(in)),
                                           std::istreambuf_iterator<char>());
    hasLookup = !bytes.empty() && Engine::Data::LightLookupFile::Parse(bytes.data(), bytes.size(),
                                                                       lookup, lookupPath.c_str());
    if (!hasLookup) {
        std::cerr << "viewer: no light scattering tables in " << lookupPath
                  << "; god rays and haze are off\n";
    }
    world = new ES::World();
    if (!loadModel()) {
        failed = true;
        return {};
    }
    buildLights();
    app.rig.Place(Vec3f(0.0f, 0.0f, 0.0f), ViewDistance,
                  Mat4f::RotateY(ViewYaw) * Mat4f::RotateX(ViewPitch));
    buildCamera(app);
    // The user holds the camera unless a turntable was asked for.
    app.demoMode = options.turntableSeconds > 0.0;
    char const* renderer = reinterpret_cast<char const*>(glGetString(GL_RENDERER));
    // Software renderers' timestamps do not measure their passes; finishing
    // each pass does.
    bool const software = renderer != nullptr && (std::strstr(renderer, "llvmpipe") != nullptr ||
                                                  std::strstr(renderer, "softpipe") != nullptr);
    profiler = std::make_unique<FrameProfiler>(software ? FrameProfiler::Timing::FinishedWallClock
                                                        : FrameProfiler::Timing::GpuQueries);
    static_cast<ES::CameraComponent*>(cameraObject->Components(COMPONENT_CAMERA))
        ->Camera()
        ->Profiler(profiler.get());
    return {world, cameraObject};
}

bool ViewerScene::loadModel() {
    Factory::SetDirectory(scene.directory);
    if (Factory::Instance() == nullptr) {
        std::cerr << "viewer: the compiled files in " << scene.directory
                  << " cannot be read (see the log)\n";
        return false;
    }
    model = Factory::Instance()->LoadSceneObject(SceneCompiler::SceneModel, world);
    if (model == nullptr) {
        std::cerr << "viewer: the compiled scene in " << scene.directory << " does not load\n";
        return false;
    }
    // Centred on the origin and scaled to the viewer's sphere, so that the
    // camera, the lights and their shadow maps fit every model.
    Vec3f const low(scene.boundsMin[0], scene.boundsMin[1], scene.boundsMin[2]);
    Vec3f const high(scene.boundsMax[0], scene.boundsMax[1], scene.boundsMax[2]);
    Vec3f const centre = (low + high) * 0.5f;
    float const halfDiagonal = Vec3f::Length(high - low) * 0.5f;
    float const scale = Radius / std::max(halfDiagonal, 1e-6f);
    auto* position = static_cast<ES::PositionComponent*>(model->Components(COMPONENT_POSITION));
    if (position != nullptr) {
        position->Matrix(Mat4f::Scale(Vec3f(scale, scale, scale)) *
                         Mat4f::Translate(centre * -1.0f));
    }
    world->AddSceneObject(model);
    // The floor just below the model's lowest point, catching its shadow.
    floor = Factory::Instance()->LoadSceneObject(SceneCompiler::FloorModel, world);
    if (floor != nullptr) {
        float const y = (low.Y() - centre.Y()) * scale - 0.002f * Radius;
        auto* floorPosition =
            static_cast<ES::PositionComponent*>(floor->Components(COMPONENT_POSITION));
        floorPosition->Matrix(Mat4f::Translate(Vec3f(0.0f, y, 0.0f)) *
                              Mat4f::Scale(Vec3f(FloorHalfSide, 1.0f, FloorHalfSide)));
        if (floorShown) {
            world->AddSceneObject(floor);
        }
    }
    return true;
}

void ViewerScene::removeModel() {
    if (model != nullptr) {
        world->RemoveSceneObject(model);
        delete model;
        model = nullptr;
    }
    if (floor != nullptr) {
        if (floorShown) {
            world->RemoveSceneObject(floor);
        }
        delete floor;
        floor = nullptr;
    }
}

void ViewerScene::showFloor(bool on) {
    if (floor == nullptr || on == floorShown) {
        return;
    }
    if (on) {
        world->AddSceneObject(floor);
    } else {
        world->RemoveSceneObject(floor);
    }
    floorShown = on;
    keyLight->mapNeedsUpdate();
    godRay->mapNeedsUpdate();
}

void ViewerScene::buildLights() {
    // Key light above, to the left of the first view; fills from the right
    // and from behind; the god ray from high above, through the model.
    Vec3f const key = around(ViewYaw - 0.8f, -0.75f, Radius * 2.8f);
    keyLight = new ES::ShadowCastingSpotLight(Vec3f(1.0f, 0.95f, 0.88f), true, Vec4f(key, 1.0f),
                                              Vec3f::Normalize(key * -1.0f),
                                              std::asin(1.0f / 2.8f) + 0.12f, 2.0f, world);
    fills[0] =
        new ES::DirectionalLight(Vec3f(0.28f, 0.3f, 0.36f), false,
                                 Vec3f::Normalize(around(ViewYaw + 1.2f, -0.2f, 1.0f)) * -1.0f);
    fills[1] =
        new ES::DirectionalLight(Vec3f(0.18f, 0.16f, 0.14f), false,
                                 Vec3f::Normalize(around(ViewYaw + Pi, -0.6f, 1.0f)) * -1.0f);
    Vec3f const beam = around(ViewYaw + 0.9f, -1.15f, Radius * 3.2f);
    godRay = new ES::GodRaySpotLight(Vec3f(60.0f, 56.0f, 48.0f), false, Vec4f(beam, 1.0f),
                                     Vec3f::Normalize(beam * -1.0f), 0.3f, 4.0f,
                                     Vec3f(0.005f, 0.0f, 0.2f), world);
    if (!options.godRay) {
        godRay->turnOff();
    }
    auto* object = new ES::SceneObject();
    object->Components()[COMPONENT_POSITION] = new ES::PositionComponent(object);
    auto* lights = new ES::LightComponent(object);
    lights->Lights() = {keyLight, fills[0], fills[1], godRay};
    object->Components()[COMPONENT_LIGHT] = lights;
    world->AddSceneObject(object);
}

void ViewerScene::buildCamera(Game::ApplicationState& app) {
    Engine::Render::LightLookupTable* table = nullptr;
    if (hasLookup) {
        table = new Engine::Render::LightLookupTable(
            lookup.a.data(), lookup.b.data(), lookup.maxA, lookup.maxB, lookup.minAB, lookup.maxAB,
            lookup.minC, lookup.maxC, MediumDensity(), lookup.width, lookup.height);
    }
    auto* object = new ES::SceneObject();
    // The camera takes the table; the component takes the camera.
    auto* camera =
        new ES::ScreenCamera(world, table, app.width, app.height, CameraFov, CameraNear, CameraFar);
    object->Components()[COMPONENT_CAMERA] = new ES::CameraComponent(camera, object);
    auto* position = new ES::PositionComponent(object);
    position->Matrix(app.rig.Matrix());
    object->Components()[COMPONENT_POSITION] = position;
    if (cameraObject != nullptr) {
        camera->Profiler(profiler.get());
        position->Matrix(
            static_cast<ES::PositionComponent*>(cameraObject->Components(COMPONENT_POSITION))
                ->Matrix());
        world->RemoveSceneObject(cameraObject);
        delete cameraObject;
    }
    cameraObject = object;
    app.controlledCameraObject = object;
    world->AddSceneObject(object);
}

float ViewerScene::MediumDensity() const {
    return hasLookup ? lookup.beta * densityFactor : 0.0f;
}

void ViewerScene::Start(Game::ApplicationState& app) {
    std::cout << "viewer: " << options.model << " (--help lists the keys)\n";
    titleShown = std::chrono::steady_clock::now();
    app.windowTitle = "Viewer: " + std::filesystem::path(options.model).filename().string();
}

void ViewerScene::Script(Game::ApplicationState& app) {
    if (!app.demoMode || cameraObject == nullptr || app.viewer == nullptr) {
        return;
    }
    // The turntable: the user's view, turned about the vertical axis through
    // the pivot with the scene time.
    double const seconds = options.turntableSeconds > 0.0 ? options.turntableSeconds
                                                          : ViewerOptions::DefaultTurntableSeconds;
    double const time = app.viewer->getTimer().AbsoluteTime();
    auto const angle = static_cast<float>(2.0 * Pi * std::fmod(time / seconds, 1.0));
    Game::CameraRig const& rig = app.rig;
    auto* position =
        static_cast<ES::PositionComponent*>(cameraObject->Components(COMPONENT_POSITION));
    position->Matrix(Mat4f::Translate(rig.Pivot()) * Mat4f::RotateY(angle) * rig.Rotation() *
                     Mat4f::Translate(Vec3f(0.0f, 0.0f, rig.Distance())));
}

void ViewerScene::Keys(Game::ApplicationState& app, Game::InputState const& input) {
    if (frames++ == 0) {
        std::chrono::duration<double> const elapsed = std::chrono::steady_clock::now() - started;
        std::printf("viewer: first frame after %.2f s\n", elapsed.count());
        std::fflush(stdout);
    }
    Game::EffectKeys::Handle(app, input);
    bool const ctrl = input.KeyHeld(Ctrl);
    if (input.KeyPressed(Game::KeyCode::L)) {
        lightingMode = (lightingMode + 1) % 3;
        applyLighting();
    }
    if (input.KeyPressed(Game::KeyCode::B)) {
        if (godRay->isOn()) {
            godRay->turnOff();
        } else {
            godRay->turnOn();
            godRay->mapNeedsUpdate();
        }
        std::cout << "viewer: god ray " << (godRay->isOn() ? "on" : "off") << "\n";
    }
    if (input.KeyPressed(Game::KeyCode::M)) {
        changeDensity(app, ctrl ? 1.0f / DensityStep : DensityStep);
    }
    if (input.KeyPressed(Game::KeyCode::F)) {
        showFloor(!floorShown);
    }
    if (input.KeyPressed(Game::KeyCode::R)) {
        reload();
    }
    if (input.KeyPressed(Game::KeyCode::P)) {
        screenshot(app);
    }
    updateTitle(app);
}

void ViewerScene::applyLighting() {
    static char const* const names[] = {"key and fill lights", "key light only",
                                        "fill lights only"};
    bool const keyOn = lightingMode != 2;
    bool const fillsOn = lightingMode != 1;
    if (keyOn) {
        keyLight->turnOn();
        keyLight->mapNeedsUpdate();
    } else {
        keyLight->turnOff();
    }
    for (ES::DirectionalLight* fill : fills) {
        if (fillsOn) {
            fill->turnOn();
        } else {
            fill->turnOff();
        }
    }
    std::cout << "viewer: " << names[lightingMode] << "\n";
}

void ViewerScene::changeDensity(Game::ApplicationState& app, float factor) {
    if (!hasLookup) {
        return;
    }
    densityFactor =
        std::min(MaxDensityFactor, std::max(1.0f / MaxDensityFactor, densityFactor * factor));
    // The density is part of the screen camera's lookup table: a new camera
    // with a new table takes the old one's place and view.
    buildCamera(app);
    std::cout << "viewer: medium density " << MediumDensity() << "\n";
}

void ViewerScene::reload() {
    CompiledScene next;
    try {
        next = compiler.Compile(options.model);
    } catch (CompileError const& e) {
        std::cerr << "viewer: " << e.what() << "\nviewer: keeping the scene shown\n";
        return;
    }
    if (next.fromCache && next.directory == scene.directory) {
        std::cout << "viewer: " << options.model << " is unchanged\n";
        return;
    }
    for (std::string const& text : next.notes) {
        std::cout << "viewer: note: " << text << "\n";
    }
    // The old objects go before the factory that made their meshes.
    removeModel();
    Factory::DeleteInstance();
    scene = std::move(next);
    if (!loadModel()) {
        std::cerr << "viewer: the reloaded file does not load; the world stays empty\n";
    }
    keyLight->mapNeedsUpdate();
    godRay->mapNeedsUpdate();
}

void ViewerScene::screenshot(Game::ApplicationState& app) {
    namespace fs = std::filesystem;
    std::string const stem = fs::path(options.model).stem().string();
    std::string path;
    do {
        char number[16];
        std::snprintf(number, sizeof number, "%03d", ++screenshots);
        path = (fs::path(options.screenshotFolder) / ("viewer-" + stem + "-" + number + ".png"))
                   .string();
    } while (fs::exists(path));
    app.screenshotPath = path;
    std::cout << "viewer: screenshot " << path << "\n";
}

void ViewerScene::updateTitle(Game::ApplicationState& app) {
    auto const now = std::chrono::steady_clock::now();
    if (std::chrono::duration<double>(now - titleShown).count() < TitleSeconds ||
        profiler == nullptr || profiler->Frames() == 0) {
        return;
    }
    titleShown = now;
    std::ostringstream title;
    title.setf(std::ios::fixed);
    title.precision(1);
    title << "Viewer: " << std::filesystem::path(options.model).filename().string() << " - "
          << profiler->AverageTotalMs() << " ms (";
    for (int pass = 0; pass < FrameProfiler::PassCount; ++pass) {
        title << (pass > 0 ? ", " : "") << FrameProfiler::PassName(pass) << " "
              << profiler->AverageMs(pass);
    }
    title << ")";
    app.windowTitle = title.str();
    profiler->reset();
}

void ViewerScene::TearDown(Game::ApplicationState& app) {
    // The factory first, as in the demo: the world's meshes still share its
    // data, which is sound once nothing is drawn.
    Factory::DeleteInstance();
    if (floor != nullptr && !floorShown) {
        delete floor;
    }
    floor = nullptr;
    delete world;
    world = nullptr;
    model = nullptr;
    cameraObject = nullptr;
    app.controlledCameraObject = nullptr;
}

} // namespace Viewer
