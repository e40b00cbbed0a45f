#pragma once

#include <Engine/Scene/IComponent.h>
#include <vector>

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
    std::vector<Light*>& Lights() { return lights; }

    void Update(float time) override;

private:
    std::vector<Light*> lights;
};

} // namespace Engine::Scene
