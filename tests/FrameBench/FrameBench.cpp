// Frame benchmark of the deferred renderer. For each window size it measures,
// in the same run: an empty frame (clear and swap), one textured full-screen
// pass, and the reference scene, the last in total (wall clock, with the GPU
// finished every frame) and per pass (the GPU finished at each pass's end, as
// the driver's timestamp queries are unreliable on software renderers); then the
// redraw of one spot light's shadow map with its two blur passes and of one
// point light's shadow cube map over the same scene, each finished. Every
// scene frame uses the fixed time step of the reference-image tests.
//
//   FrameBench [--frames N] [--size WxH]   (default 200 frames, both sizes)

#include "BenchTiming.h"
#include "Render/Support/LookupTable.h"
#include "Render/TestScene.h"

#include <Engine/Render/CDFrameBuffer.h>
#include <Engine/Render/ColorFrameBuffer.h>
#include <Engine/Render/DeferredFrameBuffer.h>
#include <Engine/Render/EffectPlane.h>
#include <Engine/Render/FrameProfiler.h>
#include <Engine/Render/HDRFrameBuffer.h>
#include <Engine/Render/Illumination.h>
#include <Engine/Render/Shader/PostprocessingShader.h>
#include <Engine/Scene/Collision/AxisAlignedBox.h>
#include <Engine/Scene/Collision/OrientedBox.h>
#include <Engine/Scene/CollisionComponent.h>
#include <Engine/Scene/GodRaySpotLight.h>
#include <Engine/Scene/Internal/ScreenCameraAccess.h>
#include <Engine/Scene/PathAnimationComponent.h>
#include <Engine/Util/CurvePoint.h>
#include <Engine/Util/UtilFunctions.h>
#include <GL/glew.h>
#include <GLFW/glfw3.h>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <vector>

namespace {

using Bench::medianMs;
using Bench::timeFrames;
using Engine::Render::FrameProfiler;
using Engine::Scene::Internal::ScreenCameraAccess;

// A 1024 x 768 frame of the reference scene must take less than this.
constexpr double FrameBudgetMs = 15.0;

// The overlays of every kind: the reference scene's light icons and arrows,
// a box and a 10 s flight path.
struct OverlayObjects {
    explicit OverlayObjects(RenderTest::TestScene& scene) {
        using Engine::Math::Vec3f;
        using Engine::Math::Vec4f;
        using Engine::Util::CurvePoint;
        namespace Scene = Engine::Scene;
        mesh.Matrix(Engine::Math::Mat4f::RotateY(0.5f));
        mesh.Update(Engine::Math::Mat4f());
        mesh.Boundings(new Scene::Collision::AxisAlignedBox(new Scene::Collision::OrientedBox(
            Vec4f(-2, 0, -2, 1), Vec3f(4, 0, 0), Vec3f(0, 2, 0), Vec3f(0, 0, 4), &mesh)));
        auto* object = new Scene::SceneObject();
        object->Components()[::COMPONENT_POSITION] = new Scene::PositionComponent(object);
        auto* collision = new Scene::CollisionComponent(object);
        collision->Objects().push_back(mesh.Boundings());
        object->Components()[::COMPONENT_COLLISION] = collision;
        auto* positions = new CurvePoint* [3] {
            new CurvePoint(Vec3f(-4, 1, 3), 0.0f), new CurvePoint(Vec3f(0, 2, 4), 5.0f),
                new CurvePoint(Vec3f(4, 1, 3), 10.0f)
        };
        auto* targets = new CurvePoint* [2] {
            new CurvePoint(Vec3f(-2, 0, 0), 0.0f), new CurvePoint(Vec3f(2, 0, 0), 10.0f)
        };
        // A path of its own object, so the camera stays where it is.
        auto* flight = new Scene::SceneObject();
        flight->Components()[::COMPONENT_POSITION] = new Scene::PositionComponent(flight);
        flight->Components()[::COMPONENT_PATH_ANIMATION] =
            new Scene::PathAnimationComponent(positions, 3, targets, 2, flight);
        scene.world->AddSceneObject(object);
        scene.world->AddSceneObject(flight);
    }
    Engine::Scene::Mesh mesh;
};

struct Result {
    double emptyMs = 0.0;
    double fullScreenPassMs = 0.0;
    double frameMs = 0.0;
    Bench::UnitRatio interleaved; // the frame in units, copy pass and scene alternating
    double passMs[FrameProfiler::PassCount] = {};
    double gpuTotalMs = 0.0;
    double spotMapMs = 0.0;
    double cubeMapMs = 0.0;
    // The lighting pass with one god-ray light minus the same pass without
    // lights; with rasterisation discarded (vertex and tessellation work).
    double scatteringMs = 0.0;
    double scatteringTessellationMs = 0.0;
    double copyPassMedianMs = 0.0;
    double depthCopyMedianMs = 0.0;
    double frameMedianMs = 0.0;
    double overlayFrameMedianMs = 0.0;
};

// One redraw of a light's shadow map (and its blurs) per frame, over the
// reference scene's meshes.
void measureShadowMaps(GLFWwindow* window, int width, int height, int frames, Result& result) {
    using namespace Engine;
    RenderTest::TestScene scene(static_cast<unsigned>(width), static_cast<unsigned>(height));
    scene.buildReferenceScene();
    scene.frame(); // places the meshes
    auto* spot = new Scene::ShadowCastingSpotLight(
        Math::Vec3f(1, 1, 1), false, Math::Vec4f(-4, 7, 4, 1),
        Math::Vec3f::Normalize(Math::Vec3f(4, -7, -4)), 0.6f, 2.0f, scene.world);
    auto* cube = new Scene::ShadowCastingPointLight(Math::Vec3f(1, 1, 1), false,
                                                    Math::Vec4f(0, 2.5f, 0.5f, 1), scene.world);
    spot->Update(Math::Mat4f());
    cube->Update(Math::Mat4f());
    Render::Illumination* illumination = ScreenCameraAccess::IlluminationPass(*scene.camera);
    Render::Illumination::LightMap const spotOnly{{LIGHT_SHADOW_SPOT, {spot}}};
    Render::Illumination::LightMap const cubeOnly{{LIGHT_SHADOW_POINT, {cube}}};
    result.spotMapMs = timeFrames(window, frames, [&] {
        spot->mapNeedsUpdate();
        illumination->renderMaps(scene.timer, spotOnly);
    });
    result.cubeMapMs = timeFrames(window, frames, [&] {
        cube->mapNeedsUpdate();
        illumination->renderMaps(scene.timer, cubeOnly);
    });
    delete spot;
    delete cube;
}

// The scattering pass of one god-ray light over the reference scene: the
// lighting pass timed with and without the light.
void measureScattering(GLFWwindow* window, int width, int height, int frames, Result& result) {
    using namespace Engine;
    RenderTest::TestScene scene(static_cast<unsigned>(width), static_cast<unsigned>(height),
                                RenderTest::makeLookupTable(0.05f));
    scene.buildReferenceScene();
    auto* godRay = new Scene::GodRaySpotLight(
        Math::Vec3f(30, 28, 24), false, Math::Vec4f(0.5f, 6.5f, -1.0f, 1),
        Math::Vec3f::Normalize(Math::Vec3f(-0.1f, -1.0f, 0.2f)), 0.45f, 2.0f,
        Math::Vec3f(1, 0, 0.02f), scene.world);
    godRay->Update(Math::Mat4f());
    scene.frame(); // G-buffer, matrices
    Render::Illumination* illumination = ScreenCameraAccess::IlluminationPass(*scene.camera);
    Render::Illumination::LightMap const none;
    Render::Illumination::LightMap const withGodRay{{LIGHT_GOD_RAY_SPOT, {godRay}}};
    illumination->renderMaps(scene.timer, withGodRay);
    Scene::ScreenCamera* camera = scene.camera;
    Math::Mat4f const inverse = scene.cameraPosition->Matrix() * camera->InversePerspectiveMatrix();
    auto lightPass = [&](Render::Illumination::LightMap const& lights) {
        ScreenCameraAccess::HDRTarget(*camera)->enable();
        illumination->illuminat(ScreenCameraAccess::GBuffer(*camera), camera->Location(), inverse,
                                lights);
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
    };
    const double base = timeFrames(window, frames, [&] { lightPass(none); });
    const double full = timeFrames(window, frames, [&] { lightPass(withGodRay); });
    glEnable(GL_RASTERIZER_DISCARD);
    const double baseDiscard = timeFrames(window, frames, [&] { lightPass(none); });
    const double tess = timeFrames(window, frames, [&] { lightPass(withGodRay); });
    glDisable(GL_RASTERIZER_DISCARD);
    result.scatteringMs = full - base;
    result.scatteringTessellationMs = tess - baseDiscard;
    delete godRay;
}

Result measure(GLFWwindow* window, int width, int height, int frames) {
    Result result;
    glfwSetWindowSize(window, width, height);
    glViewport(0, 0, width, height);
    glDisable(GL_DEPTH_TEST);

    result.emptyMs = timeFrames(window, frames, [] {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
    });

    const Bench::CopyPass copy = Bench::measureCopyPass(window, width, height, frames);
    result.fullScreenPassMs = copy.frameMs;
    result.copyPassMedianMs = copy.medianMs;

    {
        // The depth copy of the lighting step: G-buffer depth into a
        // colour-and-depth target of the same size.
        Engine::Render::DeferredFrameBuffer gBuffer;
        gBuffer.init(width, height);
        gBuffer.check();
        Engine::Render::CDFrameBuffer target;
        target.init(width, height, false);
        target.check();
        result.depthCopyMedianMs = medianMs(frames, [&] { target.copyDepthFrom(gBuffer); });
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
    }

    RenderTest::TestScene scene(static_cast<unsigned>(width), static_cast<unsigned>(height));
    scene.buildReferenceScene();
    // The frame is timed as a program runs it, without the profiler: its
    // glFinish at each pass's end would keep a driver from overlapping one
    // pass's set-up with the drawing of the last.
    result.frameMs = timeFrames(window, frames, [&] { scene.frame(); });
    result.interleaved =
        Bench::interleavedUnits(window, width, height, std::max(1, frames / Bench::FramesPerBlock),
                                Bench::FramesPerBlock, [&] { scene.frame(); });
    FrameProfiler profiler(FrameProfiler::Timing::FinishedWallClock);
    scene.camera->Profiler(&profiler);
    for (int i = 0; i < frames; ++i) {
        scene.frame();
        glfwSwapBuffers(window);
    }
    profiler.flush();
    for (int pass = 0; pass < FrameProfiler::PassCount; ++pass) {
        result.passMs[pass] = profiler.AverageMs(pass);
    }
    result.gpuTotalMs = profiler.AverageTotalMs();
    scene.camera->Profiler(nullptr);
    measureShadowMaps(window, width, height, frames, result);
    measureScattering(window, width, height, frames, result);

    // The overlay pass: the same frame with and without the debug overlays,
    // alternating, so that both see the same load of the machine.
    OverlayObjects overlays(scene);
    std::vector<double> plain;
    std::vector<double> withOverlays;
    for (int i = 0; i < frames; ++i) {
        scene.world->DrawDebug(false);
        plain.push_back(medianMs(
            1, [&] { scene.frame(); }, 0));
        scene.world->DrawDebug(true);
        withOverlays.push_back(medianMs(
            1, [&] { scene.frame(); }, 0));
    }
    scene.world->DrawDebug(false);
    std::sort(plain.begin(), plain.end());
    std::sort(withOverlays.begin(), withOverlays.end());
    result.frameMedianMs = plain[plain.size() / 2];
    result.overlayFrameMedianMs = withOverlays[withOverlays.size() / 2];
    glDepthRange(0.0, 1.0);
    glDisable(GL_BLEND);
    glEnable(GL_DEPTH_TEST);
    glDepthMask(GL_TRUE);
    return result;
}

void print(int width, int height, int frames, Result const& r) {
    std::printf("%dx%d, %d frames (ms per frame)\n", width, height, frames);
    std::printf("  empty frame (clear + swap)   %7.3f\n", r.emptyMs);
    std::printf("  textured full-screen pass    %7.3f\n", r.fullScreenPassMs);
    std::printf("  reference scene, wall clock  %7.3f\n", r.frameMs);
    std::printf("  reference scene, passes     %7.3f  (each finished)\n", r.gpuTotalMs);
    for (int pass = 0; pass < FrameProfiler::PassCount; ++pass) {
        std::printf("    %-26s %7.3f\n", FrameProfiler::PassName(pass), r.passMs[pass]);
    }
    const double unit = r.fullScreenPassMs > 0.0 ? r.fullScreenPassMs : 1.0;
    std::printf("  spot shadow map 512 + blurs  %7.3f  (%.2f units)\n", r.spotMapMs,
                r.spotMapMs / unit);
    std::printf("  shadow cube map 6 x 512      %7.3f  (%.2f units)\n", r.cubeMapMs,
                r.cubeMapMs / unit);
    std::printf("  scattering, one god-ray light %6.3f  (%.2f units; vertex and tessellation "
                "stages %.3f, fragments %.3f)\n",
                r.scatteringMs, r.scatteringMs / unit, r.scatteringTessellationMs,
                r.scatteringMs - r.scatteringTessellationMs);
    std::printf("  reference scene              %7.3f  (%.2f units)\n", r.frameMs,
                r.frameMs / unit);
    std::printf("  reference scene, interleaved  %.2f units (median of blocks of %d frames, "
                "%.2f-%.2f)\n",
                r.interleaved.median, Bench::FramesPerBlock, r.interleaved.lowest,
                r.interleaved.highest);
    std::printf("  medians, glFinish around each run:\n");
    std::printf("    textured full-screen copy  %7.3f\n", r.copyPassMedianMs);
    std::printf("    depth copy (blit)          %7.3f\n", r.depthCopyMedianMs);
    std::printf("    frame with overlay objects %7.3f\n", r.frameMedianMs);
    std::printf("    same frame, overlays on    %7.3f\n", r.overlayFrameMedianMs);
    const double overlay = r.overlayFrameMedianMs - r.frameMedianMs;
    std::printf("    overlay pass               %7.3f (%.2f copy passes)\n", overlay,
                overlay / r.copyPassMedianMs);
}

} // namespace

int main(int argc, char** argv) {
    int frames = 200;
    int onlyWidth = 0;
    int onlyHeight = 0;
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::strcmp(argv[i], "--frames") == 0) {
            frames = std::max(1, std::atoi(argv[i + 1]));
        } else if (std::strcmp(argv[i], "--size") == 0) {
            std::sscanf(argv[i + 1], "%dx%d", &onlyWidth, &onlyHeight);
        }
    }
    if (glfwInit() != GLFW_TRUE) {
        std::fprintf(stderr, "GLFW could not be initialised (is an X server running?)\n");
        return 1;
    }
    glfwWindowHint(GLFW_VISIBLE, GLFW_FALSE);
    glfwWindowHint(GLFW_DEPTH_BITS, 16);
    GLFWwindow* window = glfwCreateWindow(1024, 768, "FrameBench", nullptr, nullptr);
    if (window == nullptr) {
        glfwTerminate();
        return 1;
    }
    glfwMakeContextCurrent(window);
    glfwSwapInterval(0);
    Engine::Util::UtilFunctions::InitGlew();

    int status = 0;
    if (onlyWidth > 0 && onlyHeight > 0) {
        print(onlyWidth, onlyHeight, frames, measure(window, onlyWidth, onlyHeight, frames));
    } else {
        const Result small = measure(window, 640, 480, frames);
        print(640, 480, frames, small);
        const Result large = measure(window, 1024, 768, frames);
        print(1024, 768, frames, large);
        const bool withinBudget = large.frameMs < FrameBudgetMs;
        std::printf("1024x768 frame %.3f ms: %s the %.1f ms budget\n", large.frameMs,
                    withinBudget ? "within" : "OVER", FrameBudgetMs);
    }
    if (glGetError() != GL_NO_ERROR) {
        std::printf("an OpenGL error is pending after the benchmark\n");
        status = 1;
    }
    glfwDestroyWindow(window);
    glfwTerminate();
    return status;
}
