#pragma once

#include <Engine/Scene/IComponent.h>
#include <vector>

namespace Engine::Render {
class CDFrameBuffer;
}
namespace Engine::Util {
class DebugDrawSettings;
}

namespace Engine::Scene {

class Light;

// Carries a scene object's lights and moves them with the object's world matrix
// every frame. Owns its lights.
class ENGINE_API LightComponent : public IComponent {
public:
    explicit LightComponent(SceneObject* owner) : IComponent(COMPONENT_LIGHT, owner) {}
    ~LightComponent() override;
    LightComponent(LightComponent const&) = delete;
    LightComponent& operator=(LightComponent const&) = delete;

    // Lights added before the object joins a world are registered with it.
    // The component deletes every light it holds here.
    std::vector<Light*>& Lights() { return lights; }

    void Update(float time) override;

    // Draws an icon at every positional light and an arrow for every
    // directional one. heightOverWidth is the viewport's aspect, which keeps
    // the icons square on screen.
    void DrawDebug(Util::DebugDrawSettings const& settings, float heightOverWidth,
                   Render::CDFrameBuffer* target);

private:
    std::vector<Light*> lights;
};

} // namespace Engine::Scene
