#include "TestScene.h"

#include <Engine/Scene/CameraComponent.h>
#include <Engine/Scene/PositionComponent.h>
#include <Engine/Scene/SceneObject.h>
#include <Engine/Scene/ScreenCamera.h>
#include <Engine/Scene/World.h>
#include <GL/glew.h>
#include <Game/ApplicationState.h>
#include <Game/DriverResidency.h>
#include <iostream>

namespace GameTestSupport {

using namespace Engine::Scene;

namespace {

// A screen camera that clears the window and counts its frames.
class ClearingCamera : public ScreenCamera {
public:
    ClearingCamera(World* world, unsigned width, unsigned height, int& frames)
        : ScreenCamera(world, nullptr, width, height, 1.0f, 0.1f, 100.0f), frames(frames) {}

    void RenderFrame(Engine::Util::Timer const&) override {
        glClearColor(TestScene::ClearRed / 255.0f, TestScene::ClearGreen / 255.0f,
                     TestScene::ClearBlue / 255.0f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        ++frames;
    }

private:
    int& frames;
};

} // namespace

Game::DemoHooks::Scene TestScene::Build(Game::ApplicationState& app) {
    // The context is current here: keep its driver resident for the leak check.
    Game::keepGLDriverResident();
    world = new World();
    auto* cameraObject = new SceneObject();
    cameraObject->Components()[COMPONENT_POSITION] = new PositionComponent(cameraObject);
    cameraObject->Components()[COMPONENT_CAMERA] = new CameraComponent(
        new ClearingCamera(world, app.width, app.height, framesRendered), cameraObject);
    world->AddSceneObject(cameraObject);
    Scene scene;
    scene.world = world;
    scene.cameraObject = cameraObject;
    return scene;
}

void TestScene::TearDown(Game::ApplicationState&) {
    delete world;
    world = nullptr;
    std::cout << "test scene: " << framesRendered << " frames rendered" << std::endl;
}

} // namespace GameTestSupport
