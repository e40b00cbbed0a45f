#pragma once

#include <Engine/Math/Mat4f.h>
#include <Engine/Scene/IComponent.h>

namespace Engine::Scene {

// Carries a scene object's world matrix (object space to world space).
class ENGINE_API PositionComponent : public IComponent {
public:
    explicit PositionComponent(SceneObject* owner) : IComponent(COMPONENT_POSITION, owner) {}

    Math::Mat4f& Matrix() { return matrix; }
    PositionComponent& Matrix(Math::Mat4f m) {
        matrix = m;
        return *this;
    }

    // A position component takes no initialisation data: any size but 0 is
    // a fault and logged as such; the component is left as it is.
    void ParseInitData(char* data, unsigned short size);

    // Records the frame stamp; the matrix is left as it is.
    void Update(float time) override { lastUpdateTime = time; }

    // The owner's position component brought up to the frame stamp `time`,
    // or null when the owner has none.
    static PositionComponent* UpToDate(SceneObject* owner, float time);

private:
    Math::Mat4f matrix;
};

} // namespace Engine::Scene
