#pragma once

#include <Engine/Scene/Camera.h>

namespace Engine::Render::Shader {
class ShadowShader;
}

namespace Engine::Scene {

// Base of the cameras that render a shadow-casting light's view of its world
// into a shadow target. A shadow camera does no frustum culling: its render
// list holds every mesh of the world, grouped by shader, and is drawn without
// materials.
class ENGINE_API ShadowCamera : public Camera {
public:
    explicit ShadowCamera(World* world);
    ShadowCamera(World* world, unsigned width, unsigned height, float fov, float nearPlane,
                 float farPlane);
    ~ShadowCamera() override = default;

    virtual Render::Shader::ShadowShader* getShadowShader() = 0;

protected:
    // Draws every mesh of the render list with the bound shadow program:
    // only the model matrix is set per mesh, no material is activated.
    void drawRenderList(Render::Shader::ShadowShader* shader);
    // Depth test and writes on with GL_LESS and face culling off, so that
    // open meshes cast shadows from both sides.
    static void beginShadowPass();
    // Culling back on and framebuffer 0 bound, as the frame expects after
    // the shadow maps.
    static void endShadowPass();
};

} // namespace Engine::Scene
