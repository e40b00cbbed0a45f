#include <Engine/Scene/ShadowCastingPointLight.h>
#include <Engine/Scene/ShadowCubeMapCamera.h>

namespace Engine::Scene {

using Math::Vec3f;
using Math::Vec4f;

namespace {
const float CubeFaceFov = 1.5707964f; // 90 degrees
}

ShadowCastingPointLight::ShadowCastingPointLight(Vec3f const& intensity, bool specular,
                                                 Vec4f const& location, World* world)
    : PointLight(LIGHT_SHADOW_POINT, intensity, specular, location) {
    init(world);
}

ShadowCastingPointLight::ShadowCastingPointLight(Vec3f const& intensity, bool specular,
                                                 Vec4f const& location, Vec3f const& attenuation,
                                                 World* world)
    : PointLight(LIGHT_SHADOW_POINT, intensity, specular, location, attenuation) {
    init(world);
}

ShadowCastingPointLight::~ShadowCastingPointLight() {
    delete cubeMapCamera;
}

void ShadowCastingPointLight::init(World* world) {
    cubeMapCamera =
        new ShadowCubeMapCamera(world, MapSize, MapSize, CubeFaceFov, MapNear, MapFar, this);
}

void ShadowCastingPointLight::Update(Math::Mat4f const& ownerMatrix) {
    PointLight::Update(ownerMatrix);
    cubeMapCamera->Update(ownerMatrix, true);
}

void ShadowCastingPointLight::renderCubeShadowMap(Util::Timer const& timer) {
    if (mapUpdatePending) {
        cubeMapCamera->RenderFrame(timer);
        mapUpdatePending = false;
    }
}

Render::ShadowCubeMapFrameBuffer* ShadowCastingPointLight::getCubeMapBuffer() const {
    return cubeMapCamera->getCubeMapBuffer();
}

Math::Vec2f const& ShadowCastingPointLight::getNearAndFarPlane() const {
    return cubeMapCamera->getNearAndFarPlane();
}

} // namespace Engine::Scene
