#pragma once

#include <Engine/Export.h>
#include <Engine/Scene/LightType.h>
#include <Engine/Util/DebugDrawSettings.h>
#include <map>
#include <vector>

namespace Engine::Util {
class Timer;
}

namespace Engine::Scene {

class Light;
class SceneObject;
class ScreenCamera;

// A scene: the scene objects in the order they were added (owned), the lights
// of their light components grouped by kind, and the screen camera that
// renders it.
class ENGINE_API World {
public:
    World() = default;
    // Deletes the scene objects in list order.
    ~World();
    World(World const&) = delete;
    World& operator=(World const&) = delete;

    // Takes the object (the world deletes it), uses its screen camera, if it
    // has one, to render and registers its lights.
    void AddSceneObject(SceneObject* object);
    // Removes the object and unregisters its lights; ownership returns to the
    // caller. If it carried the world's camera, the world is left without one.
    void RemoveSceneObject(SceneObject* object);

    // Updates every object's components, object by object in list order and
    // within an object in ascending component id order.
    void Update(float time);
    // Renders through the world's camera; a world without a camera renders nothing.
    void RenderFrame(Util::Timer const& timer);

    std::vector<SceneObject*> const& SceneObjects() const { return sceneObjects; }
    std::map<LightType, std::vector<Light*>> const& Lights() const { return lights; }
    ScreenCamera* Camera() const { return camera; }

    // What the debug overlays are drawn with; lives and dies with the world.
    Util::DebugDrawSettings const& DebugDrawSettings() const { return debugDrawSettings; }
    Util::DebugDrawSettings& DebugDrawSettings() { return debugDrawSettings; }

    bool DrawDebug() const { return drawDebug; }
    void DrawDebug(bool on) { drawDebug = on; }

private:
    std::vector<SceneObject*> sceneObjects;
    ScreenCamera* camera = nullptr;
    std::map<LightType, std::vector<Light*>> lights;
    Util::DebugDrawSettings debugDrawSettings;
    bool drawDebug = false;
};

} // namespace Engine::Scene
