#include <Engine/Math/Vec3f.h>
#include <Engine/Render/Internal/ShaderPaths.h>
#include <Engine/Render/Shader/ShadowGaussShader.h>
#include <Engine/Render/Shader/ShadowShader.h>
#include <Engine/Render/ShadowMapFrameBuffer.h>
#include <Engine/Scene/ShadowCastingSpotLight.h>
#include <Engine/Scene/ShadowMapCamera.h>
#include <Engine/Util/UtilFunctions.h>
#include <GL/glew.h>
#include <algorithm>
#include <cmath>

namespace Engine::Scene {

using Math::Mat4f;
using Math::Vec3f;
using Render::Shader::ShadowShader;

ShadowShader* ShadowMapCamera::shaders[2] = {nullptr, nullptr};
int ShadowMapCamera::shaderUsage[2] = {0, 0};

namespace {
// Blur directions of the shadow blur program.
const int BlurHorizontal = 1;
const int BlurVertical = 2;
} // namespace

ShadowMapCamera::ShadowMapCamera(World* world, unsigned width, unsigned height, float fov,
                                 float nearPlane, float farPlane, ShadowCastingSpotLight* light)
    : ShadowCamera(world), light(light), nearAndFarPlane(nearPlane, farPlane) {
    Camera::SetCameraParameter(width, height, fov, nearPlane, farPlane);
    InitFrameBuffers(static_cast<int>(width), static_cast<int>(height));
    calcViewMatrix();
    initShadowMapShader(lightType());
}

ShadowMapCamera::~ShadowMapCamera() {
    CleanUpFrameBuffers();
    cleanUpShadowMapShader(lightType());
}

LightType ShadowMapCamera::lightType() const {
    return light != nullptr ? light->Type() : LIGHT_SHADOW_SPOT;
}

int ShadowMapCamera::mapLightType(LightType type) {
    return type == LIGHT_GOD_RAY_SPOT ? 1 : 0;
}

void ShadowMapCamera::initShadowMapShader(LightType type) {
    const int slot = mapLightType(type);
    if (shaderUsage[slot] <= 0 && Util::UtilFunctions::OpenGLLoaded()) {
        shaders[slot] = new ShadowShader(type, Render::ShaderPaths::ShadowMapVert,
                                         Render::ShaderPaths::ShadowMapFrag);
    }
    ++shaderUsage[slot];
}

void ShadowMapCamera::cleanUpShadowMapShader(LightType type) {
    const int slot = mapLightType(type);
    --shaderUsage[slot];
    if (shaderUsage[slot] < 1) {
        delete shaders[slot];
        shaders[slot] = nullptr;
        shaderUsage[slot] = 0;
    }
}

ShadowShader* ShadowMapCamera::getShadowShader() {
    return shaders[mapLightType(lightType())];
}

void ShadowMapCamera::SetCameraParameter(unsigned newWidth, unsigned newHeight, float newFov,
                                         float newNear, float newFar) {
    Camera::SetCameraParameter(newWidth, newHeight, newFov, newNear, newFar);
    CleanUpFrameBuffers();
    InitFrameBuffers(static_cast<int>(newWidth), static_cast<int>(newHeight));
}

void ShadowMapCamera::InitFrameBuffers(int w, int h) {
    texelSize = Math::Vec2f(1.0f / static_cast<float>(w), 1.0f / static_cast<float>(h));
    if (!Util::UtilFunctions::OpenGLLoaded()) {
        return;
    }
    Render::ShadowMapFrameBuffer** targets[3] = {&shadowMapBuffer, &blurBuffer,
                                                 &bluredShadowMapBuffer};
    for (int i = 0; i < 3; ++i) {
        // Only the map rendered from the light needs a depth buffer; the
        // blur targets hold the filtered depth as a float colour.
        *targets[i] = new Render::ShadowMapFrameBuffer(i == 0);
        (*targets[i])->init(w, h, true);
        (*targets[i])->check();
    }
}

void ShadowMapCamera::CleanUpFrameBuffers() {
    delete shadowMapBuffer;
    shadowMapBuffer = nullptr;
    delete blurBuffer;
    blurBuffer = nullptr;
    delete bluredShadowMapBuffer;
    bluredShadowMapBuffer = nullptr;
}

void ShadowMapCamera::Update(Mat4f const& matrix, bool cull) {
    Camera::Update(matrix, cull);
    calcViewMatrix();
}

void ShadowMapCamera::calcViewMatrix() {
    if (light == nullptr) {
        return;
    }
    Vec3f z = light->WorldDirection() * -1.0f;
    // Before the light's first update its world direction is still zero:
    // there is no view to build yet.
    if (z.Length() == 0.0f) {
        return;
    }
    // A light direction that is not unit length (or an owner matrix with a
    // scale) would scale the view's depth axis and distort the projection.
    z.Normalize();
    Vec3f u = std::fabs(z.Z()) < 0.1f ? Vec3f(-z.Y(), z.X(), 0.0f) : Vec3f(0.0f, -z.Z(), z.Y());
    Vec3f w = Vec3f::CrossProd(z, u);
    u.Normalize();
    w.Normalize();
    lightRotation = Mat4f(u.X(), u.Y(), u.Z(), 0.0f, w.X(), w.Y(), w.Z(), 0.0f, z.X(), z.Y(), z.Z(),
                          0.0f, 0.0f, 0.0f, 0.0f, 1.0f);
    const Mat4f view = lightRotation * light->ViewTranslationMat();
    cameraMatrix = perspectiveMatrix * view;
    inverseCameraMatrix = Mat4f::Invert(view) * inversePerspectiveMatrix;
    const Mat4f bias(0.5f, 0.0f, 0.0f, 0.5f, 0.0f, 0.5f, 0.0f, 0.5f, 0.0f, 0.0f, 0.5f, 0.5f, 0.0f,
                     0.0f, 0.0f, 1.0f);
    shadowLookupMatrix = bias * cameraMatrix;
}

void ShadowMapCamera::RenderFrame(Util::Timer const&) {
    ShadowShader* shader = getShadowShader();
    if (shadowMapBuffer == nullptr || shader == nullptr) {
        return;
    }
    shadowMapBuffer->enable();
    shadowMapBuffer->clearAll();
    // Where nothing is drawn the map must read as "far": depth 1 (the depth
    // clear) and second moment 1, whatever the clear colour is.
    static const GLfloat far[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    glClearBufferfv(GL_COLOR, 0, far);
    beginShadowPass();
    ShadowShader::SetCameraMatrix(cameraMatrix);
    shader->Activate();
    shader->SetNearAndFarPlane(nearAndFarPlane);
    shader->SetWsLightPos(light->WorldLocation());
    shader->SetShadowMapResulution(static_cast<int>(width));
    drawRenderList(shader);
    endShadowPass();
}

void ShadowMapCamera::renderGauss(Render::EffectPlane*, Render::Shader::ShadowGaussShader* gauss) {
    if (shadowMapBuffer == nullptr || gauss == nullptr) {
        return;
    }
    // The light's cone is the disc of radius tan(angle) / tan(fov / 2) in the
    // map, and only lookups inside the cone count. The lighting's bilinear
    // reads reach a texel beyond that disc, and the vertical pass reads up to
    // 7 texels (6 taps and a bilinear neighbour) above and below what it
    // writes; texels outside keep their last, finite values. A cone as wide
    // as the view (or wider) covers the whole map.
    float const sqrt2 = 1.41421356f;
    float const coneRadius =
        light->Angle() < 1.5f ? std::tan(light->Angle()) / std::tan(0.5f * fov) : sqrt2;
    float const texel = 2.0f * std::max(texelSize.X(), texelSize.Y());
    float const written = std::min(coneRadius + 2.0f * texel, sqrt2);
    float const read = std::min(written + 7.0f * texel, sqrt2);
    // The polygon comes from the vertex stage alone: no vertex array is read.
    glDisableVertexAttribArray(0);

    Render::Shader::ShadowGaussShader* first = gauss->FirstPass();
    first->Activate();
    first->SetSamplingSampleSize(texelSize);
    first->SetOperationMode(BlurHorizontal);
    first->SetCoverRadius(read);
    first->SetDepthTextures(shadowMapBuffer);
    blurBuffer->enable();
    glDrawArrays(GL_TRIANGLES, 0, Render::Shader::ShadowGaussShader::CoverVertexCount);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);

    gauss->Activate();
    gauss->SetSamplingSampleSize(texelSize);
    gauss->SetOperationMode(BlurVertical);
    gauss->SetCoverRadius(written);
    gauss->SetDepthTextures(blurBuffer);
    bluredShadowMapBuffer->enable();
    glDrawArrays(GL_TRIANGLES, 0, Render::Shader::ShadowGaussShader::CoverVertexCount);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
}

} // namespace Engine::Scene
