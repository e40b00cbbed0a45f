#include <Engine/Scene/ScreenCamera.h>

namespace Engine::Scene {

ScreenCamera::ScreenCamera(World* world, Render::LightLookupTable* lightLookupTable, unsigned width,
                           unsigned height, float fov, float nearPlane, float farPlane)
    : Camera(world), lightLookupTable(lightLookupTable) {
    Camera::SetCameraParameter(width, height, fov, nearPlane, farPlane);
    InitFramePipeline();
}

} // namespace Engine::Scene
