#include <Engine/Render/Shader/ForwardShader.h>
#include <Engine/Util/DebugDrawSettings.h>
#include <Engine/Util/Logger.h>
#include <gtest/gtest.h>

using Engine::Util::DebugDrawSettings;
using Engine::Util::Logger;

// No OpenGL in this test program: the settings a world embeds stay empty and
// silent, and still hold their values.
TEST(DebugDrawSettingsTest, WithoutOpenGLHoldsNothingAndLogsNothing) {
    const int before = Logger::Instance()->Position();
    DebugDrawSettings settings;
    EXPECT_EQ(Logger::Instance()->Position(), before);
    EXPECT_EQ(settings.LineShader(), nullptr);
    EXPECT_EQ(settings.SpriteShader(), nullptr);
    EXPECT_EQ(settings.RenderTargetShader(), nullptr);
    EXPECT_EQ(settings.IconPointLight(), nullptr);
    EXPECT_EQ(settings.RenderTargetNumber(), 0);
    EXPECT_EQ(settings.DirLightBasePos(), Engine::Math::Vec4f(0.0f, 10.0f, 0.0f, 1.0f));
    // Nothing to draw with: no overlay may reach the fixed-function pipeline.
    EXPECT_FALSE(DebugDrawSettings::Prepare(settings.LineShader(), nullptr));
}

TEST(DebugDrawSettingsTest, RenderTargetNumberKeepsOnlyTheLowestBit) {
    DebugDrawSettings settings;
    for (unsigned short number : {1, 3, 0xFFFF}) {
        settings.RenderTargetNumber(number);
        EXPECT_EQ(settings.RenderTargetNumber(), 1) << number;
    }
    for (unsigned short number : {0, 2, 0xFFFE}) {
        settings.RenderTargetNumber(number);
        EXPECT_EQ(settings.RenderTargetNumber(), 0) << number;
    }
}
