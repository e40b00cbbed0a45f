// The screen camera's frame: its render targets and the fixed sequence of
// passes from the geometry pass to the window. What each pass sets, and what
// it relies on from the passes before it:
//
// 1. Geometry (G-buffer): sets depth test on with writes, depth range (0, 1),
//    blending off, culling and polygon mode by the wireframe flag, clears
//    colour and depth; the camera matrix. Relies on the depth function
//    GL_LESS (the lighting pass restores it every frame). Ends with culling
//    on, polygons filled, framebuffer 0.
// 2. Shadow maps (Illumination::renderMaps): each map pass sets its own depth
//    state (GL_LESS, writes on), culling off, its viewport and the camera
//    matrix of its light; the blurs run with depth test and writes off. Ends
//    with depth test and writes on, culling on, framebuffer 0 and no program;
//    the frame sets the camera matrix again afterwards.
// 3. Lighting (HDR target): hands the lighting the view and the box around
//    the meshes drawn (for its light tiles), clears colour, copies the
//    G-buffer depth into the target's depth, then draws the lighting quad at
//    the far plane with GL_GREATER and writes off, so only pixels with
//    geometry are shaded. Ends with GL_LESS, writes on, depth range (0, 1);
//    the target's depth holds the scene's depth for the overlays.
// 4. Adaptation, glow and tone mapping: full-screen passes with their own
//    targets and viewports; they draw with the depth test as left by step 3
//    into targets without depth attachments, or disable it themselves.
// 5. Window: sets the viewport, clears, depth test and writes off, blending
//    off; FXAA (or the tone mapper) draws the picture. FXAA reads the
//    tone-mapped colour on unit 0 and its luma through an undecoded view on
//    unit 1; the window encodes to sRGB (GL_FRAMEBUFFER_SRGB stays on).
// 6. Debug overlays, when the world draws them: depth range (0, 0.999), depth
//    test and writes on against the HDR target's depth, alpha blending on;
//    the geometry pass of the next frame resets all of it.
#include <Engine/Render/DeferredFrameBuffer.h>
#include <Engine/Render/EffectPlane.h>
#include <Engine/Render/FrameProfiler.h>
#include <Engine/Render/FxaaFrameBuffer.h>
#include <Engine/Render/HDRFrameBuffer.h>
#include <Engine/Render/Illumination.h>
#include <Engine/Render/LightLookupTable.h>
#include <Engine/Render/Shader/ForwardShader.h>
#include <Engine/Render/Shader/Shader.h>
#include <Engine/Scene/Collision/AxisAlignedBox.h>
#include <Engine/Scene/Collision/OrientedBox.h>
#include <Engine/Scene/CollisionComponent.h>
#include <Engine/Scene/LightComponent.h>
#include <Engine/Scene/Mesh.h>
#include <Engine/Scene/PathAnimationComponent.h>
#include <Engine/Scene/SceneObject.h>
#include <Engine/Scene/ScreenCamera.h>
#include <Engine/Scene/World.h>
#include <Engine/Util/DebugDrawSettings.h>
#include <Engine/Util/EffectSettings.h>
#include <Engine/Util/GLDebugOutput.h>
#include <Engine/Util/Timer.h>
#include <Engine/Util/UtilFunctions.h>
#include <GL/glew.h>
#include <algorithm>
#include <cfloat>

namespace Engine::Scene {

namespace {

// Tessellated meshes are drawn as triangle patches.
const GLint PatchVertices = 3;

// How far a material may move a surface out of its mesh's box (the
// displacement material moves it up to 0.15 along the normal).
const float SurfaceMargin = 0.25f;

void growDrawnBox(Mesh* mesh, Math::Vec3f& min, Math::Vec3f& max) {
    Collision::AxisAlignedBox const* bounds = mesh->Boundings();
    Collision::OrientedBox const* box = bounds != nullptr ? bounds->Box() : nullptr;
    if (box == nullptr) {
        min = Math::Vec3f(-FLT_MAX, -FLT_MAX, -FLT_MAX);
        max = Math::Vec3f(FLT_MAX, FLT_MAX, FLT_MAX);
        return;
    }
    // The box's corners placed with the matrix the mesh was drawn with (its
    // world box is only refitted where the object has a collision component).
    Math::Mat4f const& matrix = mesh->AbsoluteMatrix();
    const Math::Vec3f corner(matrix * box->Location());
    const Math::Vec3f axes[3] = {matrix * box->Axis1(), matrix * box->Axis2(),
                                 matrix * box->Axis3()};
    Math::Vec3f low = corner;
    Math::Vec3f high = corner;
    for (Math::Vec3f const& axis : axes) {
        low = low + axis.ComponentMin(Math::Vec3f(0.0f, 0.0f, 0.0f));
        high = high + axis.ComponentMax(Math::Vec3f(0.0f, 0.0f, 0.0f));
    }
    const Math::Vec3f margin(SurfaceMargin, SurfaceMargin, SurfaceMargin);
    min = min.ComponentMin(low - margin);
    max = max.ComponentMax(high + margin);
}

} // namespace

void ScreenCamera::InitFramePipeline() {
    // Without loaded OpenGL entry points (no context was ever made current)
    // the camera keeps its culling half only: no render targets, and
    // RenderFrame draws nothing.
    if (!Util::UtilFunctions::OpenGLLoaded()) {
        return;
    }
    effectPlane = new Render::EffectPlane();
    illumination = new Render::Illumination(effectPlane, lightLookupTable);
    CleanUpFrameBuffers();
    InitFrameBuffers(static_cast<int>(width), static_cast<int>(height));
}

ScreenCamera::~ScreenCamera() {
    CleanUpFrameBuffers();
    delete effectPlane;
    if (illumination != nullptr) {
        delete illumination; // deletes the lookup table
    } else {
        delete lightLookupTable;
    }
}

void ScreenCamera::SetCameraParameter(unsigned newWidth, unsigned newHeight, float newFov,
                                      float newNear, float newFar) {
    Camera::SetCameraParameter(newWidth, newHeight, newFov, newNear, newFar);
    if (effectPlane == nullptr) {
        return;
    }
    CleanUpFrameBuffers();
    InitFrameBuffers(static_cast<int>(newWidth), static_cast<int>(newHeight));
}

void ScreenCamera::InitFrameBuffers(int w, int h) {
    hdrTarget = new Render::HDRFrameBuffer();
    hdrTarget->init(w, h, effectPlane);
    hdrTarget->check();
    gBuffer = new Render::DeferredFrameBuffer();
    gBuffer->init(w, h);
    gBuffer->check();
    fxaaTarget = new Render::FxaaFrameBuffer();
    fxaaTarget->init(w, h, effectPlane);
    fxaaTarget->check();
}

void ScreenCamera::CleanUpFrameBuffers() {
    delete hdrTarget;
    hdrTarget = nullptr;
    delete gBuffer;
    gBuffer = nullptr;
    delete fxaaTarget;
    fxaaTarget = nullptr;
}

void ScreenCamera::RenderFrame(Util::Timer const& timer) {
    if (gBuffer == nullptr) {
        return;
    }
    Util::EffectSettings const* settings = Util::EffectSettings::Instance();
    const GLsizei w = static_cast<GLsizei>(width);
    const GLsizei h = static_cast<GLsizei>(height);

    if (profiler != nullptr) {
        profiler->beginFrame();
    }
    Util::GLDebugOutput::Pass(Render::FrameProfiler::PassName(Render::FrameProfiler::Geometry));
    glPatchParameteri(GL_PATCH_VERTICES, PatchVertices);

    // Geometry pass into the G-buffer.
    gBuffer->enable();
    glEnable(GL_DEPTH_TEST);
    glDepthRange(0.0, 1.0);
    glDepthMask(GL_TRUE);
    glDisable(GL_BLEND);
    if (settings->DrawWireFrame()) {
        glDisable(GL_CULL_FACE);
        glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);
    } else {
        glEnable(GL_CULL_FACE);
        glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    }
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glViewport(0, 0, w, h);
    Render::Shader::Shader::SetCameraMatrix(absoluteMatrix);
    // The box around what is drawn: the meshes' boxes where they are drawn,
    // grown by what the displacement material may move a surface; a mesh
    // without a box leaves it unbounded.
    Math::Vec3f drawnMin(FLT_MAX, FLT_MAX, FLT_MAX);
    Math::Vec3f drawnMax(-FLT_MAX, -FLT_MAX, -FLT_MAX);
    for (auto const& entry : renderList) {
        for (Mesh* mesh : entry.second) {
            mesh->Draw(true);
            growDrawnBox(mesh, drawnMin, drawnMax);
        }
    }
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glEnable(GL_CULL_FACE);
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    Render::FrameProfiler::EndOf(profiler, Render::FrameProfiler::Geometry);

    // Shadow maps of every light of the world, not only the visible ones.
    illumination->renderMaps(timer, world->Lights());
    Render::Shader::Shader::SetCameraMatrix(absoluteMatrix);
    Render::FrameProfiler::EndOf(profiler, Render::FrameProfiler::ShadowMaps);

    // Lighting into the HDR target, over the scene's depth. The lighting
    // evaluates each light only in the screen tiles where its reach meets
    // the box around the meshes drawn.
    illumination->FrameView(absoluteMatrix, InverseAbsoluteMatrix(), drawnMin, drawnMax);
    // The scattering is refined only as far as it shows at the exposure of
    // the last frame, which the tone mapper's adaptation starts from.
    illumination->Exposure(hdrTarget->AdaptiveLumBuffer(hdrTarget->FrontIndex())->getColorTexID());
    hdrTarget->enable();
    glClear(GL_COLOR_BUFFER_BIT);
    hdrTarget->copyDepthFrom(*gBuffer);
    illumination->Profiler(profiler);
    illumination->illuminat(gBuffer, Location(), InverseAbsoluteMatrix(), VisibleLights());
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    Render::FrameProfiler::EndOf(profiler, Render::FrameProfiler::Scattering);

    hdrTarget->renderTonemapperInput(timer.RelativeTime());
    Render::FrameProfiler::EndOf(profiler, Render::FrameProfiler::AdaptationAndGlow);

    if (settings->getFXAAon()) {
        fxaaTarget->enable();
        hdrTarget->toneMap2screen();
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
    }
    Render::FrameProfiler::EndOf(profiler, Render::FrameProfiler::ToneMapping);

    // The window.
    glViewport(0, 0, w, h);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
    glDisable(GL_DEPTH_TEST);
    glDepthMask(GL_FALSE);
    glDisable(GL_BLEND);
    if (settings->getFXAAon()) {
        fxaaTarget->draw();
    } else {
        hdrTarget->toneMap2screen();
    }
    if (profiler != nullptr) {
        profiler->endOf(Render::FrameProfiler::WindowPass);
        profiler->endFrame();
    }
    Util::GLDebugOutput::Pass("debug overlays");
    // Debug overlays over the finished picture: for each object in world
    // order its boxes, then its lights, then its paths, hidden where the
    // scene's depth (kept in the HDR target) lies in front. The depth range
    // and blending stay set; the next geometry pass resets them.
    if (world->DrawDebug()) {
        Util::DebugDrawSettings const& debug = world->DebugDrawSettings();
        glDepthRange(0.0, 0.999);
        glEnable(GL_DEPTH_TEST);
        glDepthMask(GL_TRUE);
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        glEnable(GL_CULL_FACE);
        glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
        const float heightOverWidth = static_cast<float>(height) / static_cast<float>(width);
        for (SceneObject* object : world->SceneObjects()) {
            if (auto* collision =
                    static_cast<CollisionComponent*>(object->Components(COMPONENT_COLLISION))) {
                collision->DrawDebug(debug, hdrTarget);
            }
            if (auto* lights = static_cast<LightComponent*>(object->Components(COMPONENT_LIGHT))) {
                lights->DrawDebug(debug, heightOverWidth, hdrTarget);
            }
            if (auto* path = static_cast<PathAnimationComponent*>(
                    object->Components(COMPONENT_PATH_ANIMATION))) {
                path->DrawDebug(debug, hdrTarget);
            }
        }
        // The G-buffer's normals in an inset over the upper right of the window.
        Render::Shader::ForwardShader* inset = debug.RenderTargetShader();
        if (debug.RenderTargetNumber() == 1 && Util::DebugDrawSettings::Prepare(inset, nullptr)) {
            inset->SetDiffuseTexture(gBuffer->NormalTexID());
            Math::Vec4f corners[6] = {
                Math::Vec4f(0.1f, 0.1f, 0.0f, 1.0f), Math::Vec4f(0.9f, 0.1f, 0.0f, 1.0f),
                Math::Vec4f(0.1f, 0.9f, 0.0f, 1.0f), Math::Vec4f(0.1f, 0.9f, 0.0f, 1.0f),
                Math::Vec4f(0.9f, 0.1f, 0.0f, 1.0f), Math::Vec4f(0.9f, 0.9f, 0.0f, 1.0f)};
            Util::DebugDrawSettings::DrawArrays(inset, corners, 6, GL_TRIANGLES);
        }
    }
    Util::GLDebugOutput::Pass(nullptr);
}

} // namespace Engine::Scene
