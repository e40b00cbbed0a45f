#include <Engine/Render/Internal/ShaderPaths.h>
#include <Engine/Render/Shader/ShadowShader.h>
#include <Engine/Render/ShadowCubeMapFrameBuffer.h>
#include <Engine/Scene/ShadowCastingPointLight.h>
#include <Engine/Scene/ShadowCubeMapCamera.h>
#include <Engine/Util/UtilFunctions.h>
#include <GL/glew.h>

namespace Engine::Scene {

using Math::Mat4f;
using Render::Shader::ShadowShader;

ShadowShader* ShadowCubeMapCamera::shader = nullptr;
int ShadowCubeMapCamera::shaderUsage = 0;

ShadowCubeMapCamera::ShadowCubeMapCamera(World* world, unsigned width, unsigned height, float fov,
                                         float nearPlane, float farPlane,
                                         ShadowCastingPointLight* light)
    : ShadowCamera(world), light(light), nearAndFarPlane(nearPlane, farPlane) {
    Camera::SetCameraParameter(width, height, fov, nearPlane, farPlane);
    InitFrameBuffers(static_cast<int>(width), static_cast<int>(height));
    initShadowCubeMapShader();
    initCubeMapMats();
}

ShadowCubeMapCamera::~ShadowCubeMapCamera() {
    CleanUpFrameBuffers();
    cleanUpShadowCubeMapShader();
}

void ShadowCubeMapCamera::initShadowCubeMapShader() {
    if (shaderUsage <= 0 && Util::UtilFunctions::OpenGLLoaded()) {
        shader = new ShadowShader(LIGHT_SHADOW_POINT, Render::ShaderPaths::ShadowMapVert,
                                  Render::ShaderPaths::ShadowMapGeom,
                                  Render::ShaderPaths::ShadowMapFrag);
    }
    ++shaderUsage;
}

void ShadowCubeMapCamera::cleanUpShadowCubeMapShader() {
    --shaderUsage;
    if (shaderUsage < 1) {
        delete shader;
        shader = nullptr;
        shaderUsage = 0;
    }
}

ShadowShader* ShadowCubeMapCamera::getShadowShader() {
    return shader;
}

// Rows of the upper 3x3 of each face's rotation (the standard cube-map face
// orientations).
void ShadowCubeMapCamera::initCubeMapMats() {
    cubeMapMats[0] = Mat4f(0, 0, -1, 0, 0, -1, 0, 0, -1, 0, 0, 0, 0, 0, 0, 1); // +X
    cubeMapMats[1] = Mat4f(0, 0, 1, 0, 0, -1, 0, 0, 1, 0, 0, 0, 0, 0, 0, 1);   // -X
    cubeMapMats[2] = Mat4f(1, 0, 0, 0, 0, 0, 1, 0, 0, -1, 0, 0, 0, 0, 0, 1);   // +Y
    cubeMapMats[3] = Mat4f(1, 0, 0, 0, 0, 0, -1, 0, 0, 1, 0, 0, 0, 0, 0, 1);   // -Y
    cubeMapMats[4] = Mat4f(1, 0, 0, 0, 0, -1, 0, 0, 0, 0, -1, 0, 0, 0, 0, 1);  // +Z
    cubeMapMats[5] = Mat4f(-1, 0, 0, 0, 0, -1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1);  // -Z
}

void ShadowCubeMapCamera::SetCameraParameter(unsigned newWidth, unsigned newHeight, float newFov,
                                             float newNear, float newFar) {
    Camera::SetCameraParameter(newWidth, newHeight, newFov, newNear, newFar);
    CleanUpFrameBuffers();
    InitFrameBuffers(static_cast<int>(newWidth), static_cast<int>(newHeight));
}

void ShadowCubeMapCamera::InitFrameBuffers(int w, int h) {
    if (!Util::UtilFunctions::OpenGLLoaded()) {
        return;
    }
    cubeMapBuffer = new Render::ShadowCubeMapFrameBuffer();
    cubeMapBuffer->init(w, h, true);
    cubeMapBuffer->check();
}

void ShadowCubeMapCamera::CleanUpFrameBuffers() {
    delete cubeMapBuffer;
    cubeMapBuffer = nullptr;
}

void ShadowCubeMapCamera::RenderFrame(Util::Timer const&) {
    if (cubeMapBuffer == nullptr || shader == nullptr) {
        return;
    }
    cubeMapBuffer->enable();
    cubeMapBuffer->clearAll();
    beginShadowPass();
    shader->Activate();
    for (int i = 0; i < 6; ++i) {
        shader->SetCubeMapViewMat(i,
                                  perspectiveMatrix * cubeMapMats[i] * light->ViewTranslationMat());
    }
    shader->SetNearAndFarPlane(nearAndFarPlane);
    shader->SetWsLightPos(light->WorldLocation());
    drawRenderList(shader);
    endShadowPass();
}

} // namespace Engine::Scene
