#pragma once

#include <Engine/Math/Vec2f.h>
#include <Engine/Scene/PointLight.h>

namespace Engine::Render {
class ShadowCubeMapFrameBuffer;
}
namespace Engine::Util {
class Timer;
}

namespace Engine::Scene {

class ShadowCubeMapCamera;
class World;

// A point light that casts shadows in all directions through a shadow cube
// map of its world. The map is drawn after construction and then only when
// mapNeedsUpdate() asks for it. Owns its cube-map camera.
class ENGINE_API ShadowCastingPointLight : public PointLight {
public:
    // Cube map: 512 x 512 per face, 90 degrees, near 0.1, far 50.
    static constexpr unsigned MapSize = 512;
    static constexpr float MapNear = 0.1f;
    static constexpr float MapFar = 50.0f;

    ShadowCastingPointLight(Math::Vec3f const& intensity, bool specular,
                            Math::Vec4f const& location, World* world);
    ShadowCastingPointLight(Math::Vec3f const& intensity, bool specular,
                            Math::Vec4f const& location, Math::Vec3f const& attenuation,
                            World* world);
    ~ShadowCastingPointLight() override;
    // A copy would share and later delete the same camera.
    ShadowCastingPointLight(ShadowCastingPointLight const&) = delete;
    ShadowCastingPointLight& operator=(ShadowCastingPointLight const&) = delete;

    // Moves the light, then its camera (which lists the world's meshes).
    void Update(Math::Mat4f const& ownerMatrix) override;
    // Draws the cube map if an update was asked for and clears the request.
    void renderCubeShadowMap(Util::Timer const& timer);
    void mapNeedsUpdate() { mapUpdatePending = true; }
    bool MapUpdatePending() const { return mapUpdatePending; }

    Render::ShadowCubeMapFrameBuffer* getCubeMapBuffer() const;
    Math::Vec2f const& getNearAndFarPlane() const;
    ShadowCubeMapCamera* CubeMapCamera() const { return cubeMapCamera; }

private:
    void init(World* world);

    ShadowCubeMapCamera* cubeMapCamera = nullptr;
    bool mapUpdatePending = true;
};

} // namespace Engine::Scene
