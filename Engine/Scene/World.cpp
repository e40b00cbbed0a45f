#include <Engine/Scene/CameraComponent.h>
#include <Engine/Scene/Light.h>
#include <Engine/Scene/LightComponent.h>
#include <Engine/Scene/SceneObject.h>
#include <Engine/Scene/ScreenCamera.h>
#include <Engine/Scene/World.h>
#include <algorithm>

namespace Engine::Scene {

World::~World() {
    for (SceneObject* object : sceneObjects) {
        delete object;
    }
    sceneObjects.clear();
}

void World::AddSceneObject(SceneObject* object) {
    sceneObjects.push_back(object);
    if (auto* cameraComponent =
            static_cast<CameraComponent*>(object->Components(COMPONENT_CAMERA))) {
        camera = cameraComponent->Camera();
    }
    if (auto* lightComponent = static_cast<LightComponent*>(object->Components(COMPONENT_LIGHT))) {
        for (Light* light : lightComponent->Lights()) {
            lights[light->Type()].push_back(light);
        }
    }
}

void World::RemoveSceneObject(SceneObject* object) {
    sceneObjects.erase(std::remove(sceneObjects.begin(), sceneObjects.end(), object),
                       sceneObjects.end());
    if (auto* lightComponent = static_cast<LightComponent*>(object->Components(COMPONENT_LIGHT))) {
        for (Light* light : lightComponent->Lights()) {
            std::vector<Light*>& registered = lights[light->Type()];
            registered.erase(std::remove(registered.begin(), registered.end(), light),
                             registered.end());
        }
    }
    // The camera goes with its object: a world must never render through a
    // camera whose owner may be deleted by the caller.
    if (auto* cameraComponent =
            static_cast<CameraComponent*>(object->Components(COMPONENT_CAMERA))) {
        if (cameraComponent->Camera() == camera) {
            camera = nullptr;
        }
    }
}

void World::Update(float time) {
    for (SceneObject* object : sceneObjects) {
        for (auto& entry : object->Components()) {
            entry.second->Update(time);
        }
    }
}

void World::RenderFrame(Util::Timer const& timer) {
    if (camera != nullptr) {
        camera->RenderFrame(timer);
    }
}

} // namespace Engine::Scene
