#include <Engine/Render/Shader/ShadowShader.h>
#include <Engine/Scene/Mesh.h>
#include <Engine/Scene/ShadowCamera.h>
#include <GL/glew.h>

namespace Engine::Scene {

ShadowCamera::ShadowCamera(World* world) : Camera(world) {}

ShadowCamera::ShadowCamera(World* world, unsigned width, unsigned height, float fov,
                           float nearPlane, float farPlane)
    : Camera(world) {
    Camera::SetCameraParameter(width, height, fov, nearPlane, farPlane);
}

void ShadowCamera::drawRenderList(Render::Shader::ShadowShader* shader) {
    for (auto const& entry : renderList) {
        for (Mesh* mesh : entry.second) {
            shader->SetMatrix(mesh->AbsoluteMatrix());
            mesh->Draw(false);
        }
    }
}

void ShadowCamera::beginShadowPass() {
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LESS);
    glDepthMask(GL_TRUE);
    glDepthRange(0.0, 1.0);
    glDisable(GL_BLEND);
    glDisable(GL_CULL_FACE);
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
}

void ShadowCamera::endShadowPass() {
    glUseProgram(0);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glEnable(GL_CULL_FACE);
}

} // namespace Engine::Scene
