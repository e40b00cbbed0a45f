#include <Engine/Scene/Internal/ScreenCameraAccess.h>
#include <Engine/Scene/ScreenCamera.h>
#include <Engine/Scene/World.h>
#include <Engine/Util/Timer.h>
#include <GL/glew.h>
#include <gtest/gtest.h>

using Engine::Scene::ScreenCamera;
using Engine::Scene::World;
using Engine::Scene::Internal::ScreenCameraAccess;

// Without an OpenGL context the screen camera still culls and keeps its
// parameters; it has no render targets and renders nothing.
TEST(ScreenCameraTest, WithoutOpenGLTheFrameHalfStaysInert) {
    World world;
    ScreenCamera camera(&world, nullptr, 64, 48, 1.0f, 0.1f, 100.0f);
    EXPECT_EQ(ScreenCameraAccess::GBuffer(camera), nullptr);
    EXPECT_EQ(ScreenCameraAccess::HDRTarget(camera), nullptr);
    EXPECT_EQ(ScreenCameraAccess::FxaaTarget(camera), nullptr);
    camera.SetCameraParameter(32, 16, 1.0f, 0.1f, 50.0f);
    EXPECT_EQ(camera.Width(), 32u);
    EXPECT_EQ(camera.FarPlane(), 50.0f);
    EXPECT_EQ(ScreenCameraAccess::GBuffer(camera), nullptr);
    // GLEW has loaded no entry point in this process: a frame that went past
    // its first pass (which sets the patch size) would crash here.
    ASSERT_EQ(glPatchParameteri, nullptr);
    Engine::Util::Timer timer;
    camera.RenderFrame(timer);
    EXPECT_EQ(ScreenCameraAccess::GBuffer(camera), nullptr);
    EXPECT_EQ(ScreenCameraAccess::HDRTarget(camera), nullptr);
}
