#include <Engine/Scene/ScreenCamera.h>
#include <Engine/Scene/World.h>
#include <Engine/Util/Timer.h>
#include <gtest/gtest.h>

using Engine::Scene::ScreenCamera;
using Engine::Scene::World;

// Without an OpenGL context the screen camera still culls and keeps its
// parameters; it has no render targets and renders nothing.
TEST(ScreenCameraTest, WithoutOpenGLTheFrameHalfStaysInert) {
    World world;
    ScreenCamera camera(&world, nullptr, 64, 48, 1.0f, 0.1f, 100.0f);
    EXPECT_EQ(camera.GBuffer(), nullptr);
    EXPECT_EQ(camera.HDRTarget(), nullptr);
    EXPECT_EQ(camera.FxaaTarget(), nullptr);
    camera.SetCameraParameter(32, 16, 1.0f, 0.1f, 50.0f);
    EXPECT_EQ(camera.Width(), 32u);
    EXPECT_EQ(camera.FarPlane(), 50.0f);
    EXPECT_EQ(camera.GBuffer(), nullptr);
    Engine::Util::Timer timer;
    camera.RenderFrame(timer);
}
