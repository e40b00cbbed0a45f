#pragma once

#include <Engine/Math/Vec3f.h>
#include <Engine/Scene/Camera.h>
#include <Engine/Scene/LightType.h>
#include <map>
#include <vector>

namespace Engine::Render {
class DeferredFrameBuffer;
class EffectPlane;
class FrameProfiler;
class FxaaFrameBuffer;
class HDRFrameBuffer;
class Illumination;
class LightLookupTable;
} // namespace Engine::Render

namespace Engine::Scene {

class Light;
namespace Internal {
struct ScreenCameraAccess;
}

// The camera that renders a world to the window. A world renders each frame
// through the screen camera of its camera object. Every update it culls the
// world's meshes and lights against its view frustum: the render list and the
// visible-light map are what the frame is drawn from.
class ENGINE_API ScreenCamera : public Camera {
public:
    // World, light-scattering lookup table, viewport size, vertical field of
    // view (radians), near and far clip distances. The camera takes the lookup
    // table (null: no medium) and deletes it: its lighting pass does so when
    // the camera is destroyed, or the camera itself when it never made the
    // pass (no OpenGL). A table therefore belongs to one camera; handed to two
    // cameras it would be deleted twice, so each camera needs a table of its
    // own (Data::Factory::LoadLightLookupTable makes a new one every call).
    ScreenCamera(World* world, Render::LightLookupTable* lightLookupTable, unsigned width,
                 unsigned height, float fov, float nearPlane, float farPlane);

    // ---- View-frustum culling ----

    // How far (in world units) a bounding box may lie outside a frustum plane
    // and still count as visible.
    static constexpr float BoxTolerance = 0.02f;
    // Frustum plane indices.
    enum FrustumPlane : int {
        PLANE_NEAR = 0,
        PLANE_FAR = 1,
        PLANE_TOP = 2,
        PLANE_BOTTOM = 3,
        PLANE_LEFT = 4,
        PLANE_RIGHT = 5,
        PLANE_COUNT = 6,
    };

    // Moves the camera, rebuilds the frustum planes and culls; the screen
    // camera always culls, whatever the flag says.
    void Update(Math::Mat4f const& worldMatrix, bool cull) override;

    // The lights that passed culling, by kind. Keys stay from frame to frame;
    // their vectors are refilled.
    std::map<LightType, std::vector<Light*>> const& VisibleLights() const { return visibleLights; }

protected:
    // Clears the visible-light map, culls the meshes (through the base walk)
    // and then the world's lights.
    void ViewFrustrumCulling() override;
    // Lists the mesh unless its bounding box lies outside a frustum plane by
    // more than the tolerance; its children are visited either way.
    void ViewFrustrumCulling(Mesh* mesh) override;
    // Point lights are listed unless their sphere of influence lies wholly
    // outside a plane; every other kind of light is always listed.
    void ViewFrustrumCulling(Light* light);

private:
    // Owned: handed to the lighting pass, which uses and deletes it.
    [[maybe_unused]] Render::LightLookupTable* lightLookupTable;

    std::map<LightType, std::vector<Light*>> visibleLights;
    // A point on each frustum plane, its unit normal (pointing into the
    // frustum) and d = -(normal . point).
    Math::Vec3f planePoint[PLANE_COUNT];
    Math::Vec3f planeNormal[PLANE_COUNT];
    float planeDistance[PLANE_COUNT] = {};

public:
    // ---- Frame pipeline (ScreenCameraFrame.cpp) ----

    ~ScreenCamera() override;
    // Geometry pass into the G-buffer, shadow maps, lighting into the HDR
    // target, adaptation and glow, tone mapping and FXAA to the window.
    void RenderFrame(Util::Timer const& timer) override;
    // Also rebuilds the render targets for the new size.
    void SetCameraParameter(unsigned width, unsigned height, float fov, float nearPlane,
                            float farPlane) override;

    // Times each pass of the following frames; null (the default) stops it.
    // The profiler stays the caller's.
    void Profiler(Render::FrameProfiler* value) { profiler = value; }

private:
    // The engine's own tests read the frustum and the render targets.
    friend struct Internal::ScreenCameraAccess;

    // Creates the effect plane, the illumination (which takes the lookup
    // table) and the render targets; called by the constructor.
    void InitFramePipeline();
    void InitFrameBuffers(int width, int height);
    void CleanUpFrameBuffers();

    Render::EffectPlane* effectPlane = nullptr;
    Render::HDRFrameBuffer* hdrTarget = nullptr;
    Render::DeferredFrameBuffer* gBuffer = nullptr;
    Render::Illumination* illumination = nullptr;
    Render::FxaaFrameBuffer* fxaaTarget = nullptr;
    Render::FrameProfiler* profiler = nullptr;
};

} // namespace Engine::Scene
