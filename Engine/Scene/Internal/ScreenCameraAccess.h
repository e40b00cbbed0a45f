#pragma once

#include <Engine/Scene/ScreenCamera.h>

namespace Engine::Scene::Internal {

// What the engine's own tests and benchmarks read of a screen camera: its
// frustum planes and its frame pipeline's render targets. Not installed.
struct ScreenCameraAccess {
    // A frustum plane's unit normal (pointing into the frustum) and
    // d = -(normal . point).
    static Math::Vec3f const& PlaneNormal(ScreenCamera const& camera, int plane) {
        return camera.planeNormal[plane];
    }
    static float PlaneDistance(ScreenCamera const& camera, int plane) {
        return camera.planeDistance[plane];
    }

    static Render::HDRFrameBuffer* HDRTarget(ScreenCamera const& camera) {
        return camera.hdrTarget;
    }
    static Render::DeferredFrameBuffer* GBuffer(ScreenCamera const& camera) {
        return camera.gBuffer;
    }
    static Render::Illumination* IlluminationPass(ScreenCamera const& camera) {
        return camera.illumination;
    }
    static Render::FxaaFrameBuffer* FxaaTarget(ScreenCamera const& camera) {
        return camera.fxaaTarget;
    }
};

} // namespace Engine::Scene::Internal
