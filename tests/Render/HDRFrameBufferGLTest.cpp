#include "Support/GLContext.h"

#include <Engine/Render/EffectPlane.h>
#include <Engine/Render/FxaaFrameBuffer.h>
#include <Engine/Render/HDRFrameBuffer.h>
#include <Engine/Render/Shader/PostprocessingShader.h>
#include <Engine/Util/EffectSettings.h>
#include <GL/glew.h>
#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <limits>
#include <vector>

using namespace Engine::Render;
using Engine::Util::EffectSettings;

namespace {

float luminance(float r, float g, float b) {
    return 0.2126f * r + 0.7152f * g + 0.0722f * b;
}

std::vector<float> readColor(unsigned int texture, int width, int height) {
    std::vector<float> pixels(static_cast<size_t>(width * height * 4));
    glBindTexture(GL_TEXTURE_2D, texture);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_FLOAT, pixels.data());
    glBindTexture(GL_TEXTURE_2D, 0);
    return pixels;
}

// The adapted luminance of the last frame.
float adaptedLum(HDRFrameBuffer& hdr) {
    return readColor(hdr.AdaptiveLumBuffer(hdr.FrontIndex())->getColorTexID(), 1, 1)[0];
}

class HDRFrameBufferGLTest : public TestSupport::GLTest {
protected:
    static constexpr int W = 64;
    static constexpr int H = 48;

    void SetUp() override {
        TestSupport::GLTest::SetUp();
        *EffectSettings::Instance() = EffectSettings();
        glDisable(GL_DEPTH_TEST);
        glDisable(GL_BLEND);
        glDisable(GL_CULL_FACE);
        plane = new EffectPlane();
        hdr = new HDRFrameBuffer();
        hdr->init(W, H, plane);
        hdr->check();
    }
    void TearDown() override {
        delete hdr;
        delete plane;
        *EffectSettings::Instance() = EffectSettings();
        glEnable(GL_DEPTH_TEST);
        glEnable(GL_CULL_FACE);
        TestSupport::GLTest::TearDown();
    }

    // Fills the HDR target as the illumination pass would.
    void fill(float r, float g, float b) {
        hdr->enable();
        const float color[4] = {r, g, b, 1.0f};
        glClearBufferfv(GL_COLOR, 0, color);
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
    }

    // Tone-maps into a float target and returns its pixels.
    std::vector<float> toneMap() {
        ColorFrameBuffer out;
        out.init(W, H, false);
        out.check();
        out.enable();
        hdr->toneMap2screen();
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
        return readColor(out.getColorTexID(), W, H);
    }

    EffectPlane* plane = nullptr;
    HDRFrameBuffer* hdr = nullptr;
};

} // namespace

TEST_F(HDRFrameBufferGLTest, TopMipmapLevelFollowsTheSmallerSide) {
    EXPECT_EQ(hdr->TopMipmapLevel(), 5); // 48 -> 5
    HDRFrameBuffer wide;
    wide.init(1024, 768, plane);
    wide.check();
    EXPECT_EQ(wide.TopMipmapLevel(), 9);
    HDRFrameBuffer square;
    square.init(1024, 1024, plane);
    square.check();
    EXPECT_EQ(square.TopMipmapLevel(), 10);
}

TEST_F(HDRFrameBufferGLTest, BuffersHaveTheirSizesAndUnusedGaussBuffersStayEmpty) {
    EXPECT_EQ(hdr->GaussBuffer(0)->getColorTexID(), 0u);
    EXPECT_EQ(hdr->GaussBuffer(1)->getColorTexID(), 0u);
    const int sizes[6] = {0, 0, 128, 128, 64, 64};
    for (int i = 2; i < 6; ++i) {
        glBindTexture(GL_TEXTURE_2D, hdr->GaussBuffer(i)->getColorTexID());
        GLint w = 0;
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &w);
        EXPECT_EQ(w, sizes[i]) << i;
    }
    // The full-size target has no mipmap chain; its averaged copy has (at
    // this size, the copy stands for level 0 and has the same size).
    EXPECT_EQ(hdr->DownsampleLevel(), 0);
    GLint minFilter = 0;
    GLint levelOneWidth = -1;
    glBindTexture(GL_TEXTURE_2D, hdr->getColorTexID());
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &minFilter);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 1, GL_TEXTURE_WIDTH, &levelOneWidth);
    EXPECT_EQ(minFilter, GL_LINEAR);
    EXPECT_EQ(levelOneWidth, 0);
    glBindTexture(GL_TEXTURE_2D, hdr->DownsampleBuffer()->getColorTexID());
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &minFilter);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 1, GL_TEXTURE_WIDTH, &levelOneWidth);
    EXPECT_EQ(minFilter, GL_LINEAR_MIPMAP_NEAREST);
    EXPECT_EQ(levelOneWidth, W / 2);
    glBindTexture(GL_TEXTURE_2D, 0);
}

TEST_F(HDRFrameBufferGLTest, TheAveragedCopyCountsEveryTexelOnce) {
    // At 1024 x 768 the 128-pixel glow reads level 3 of the colour: the copy
    // is 128 x 96, each texel the average of 8 x 8 colour texels. One lit
    // texel anywhere in a block gives it 1/64 of its value; the neighbours
    // stay black.
    HDRFrameBuffer large;
    large.init(1024, 768, plane);
    large.check();
    EXPECT_EQ(large.DownsampleLevel(), 3);
    const float black[4] = {0.0f, 0.0f, 0.0f, 1.0f};
    const float lit[4] = {64.0f, 32.0f, 128.0f, 1.0f};
    const int texels[3][2] = {{13, 9}, {8 * 5, 8 * 7 + 7}, {8 * 9 + 7, 8 * 3}};
    for (auto const& texel : texels) {
        large.enable();
        glClearBufferfv(GL_COLOR, 0, black);
        glEnable(GL_SCISSOR_TEST);
        glScissor(texel[0], texel[1], 1, 1);
        glClearBufferfv(GL_COLOR, 0, lit);
        glDisable(GL_SCISSOR_TEST);
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
        large.renderTonemapperInput(0.1f);
        const std::vector<float> copy =
            readColor(large.DownsampleBuffer()->getColorTexID(), 128, 96);
        const int cx = texel[0] / 8;
        const int cy = texel[1] / 8;
        for (int y = 0; y < 96; ++y) {
            for (int x = 0; x < 128; ++x) {
                const float* p = &copy[static_cast<size_t>((y * 128 + x) * 4)];
                const bool inside = x == cx && y == cy;
                ASSERT_NEAR(p[0], inside ? 1.0f : 0.0f, 1e-3f) << x << "," << y;
                ASSERT_NEAR(p[2], inside ? 2.0f : 0.0f, 1e-3f) << x << "," << y;
            }
        }
    }
    HDRFrameBuffer wide;
    wide.init(1920, 1080, plane);
    wide.check();
    EXPECT_EQ(wide.DownsampleLevel(), 4);
}

TEST_F(HDRFrameBufferGLTest, FirstFrameStartsAtTheSceneLuminance) {
    fill(0.5f, 0.25f, 1.0f);
    hdr->renderTonemapperInput(0.016f);
    EXPECT_NEAR(adaptedLum(*hdr), luminance(0.5f, 0.25f, 1.0f), 2e-3f);
}

TEST_F(HDRFrameBufferGLTest, FramesAlternateTheLuminanceBuffers) {
    fill(1.0f, 1.0f, 1.0f);
    hdr->renderTonemapperInput(0.1f);
    const int first = hdr->FrontIndex();
    hdr->renderTonemapperInput(0.1f);
    EXPECT_NE(hdr->FrontIndex(), first);
}

TEST_F(HDRFrameBufferGLTest, AdaptationMovesGraduallyAndConverges) {
    fill(0.2f, 0.2f, 0.2f);
    hdr->renderTonemapperInput(0.1f);
    EXPECT_NEAR(adaptedLum(*hdr), 0.2f, 1e-3f);

    // The scene gets four times brighter: the exposure follows step by step.
    fill(0.8f, 0.8f, 0.8f);
    float last = adaptedLum(*hdr);
    hdr->renderTonemapperInput(0.1f);
    const float afterOne = adaptedLum(*hdr);
    EXPECT_GT(afterOne, last + 0.01f);
    EXPECT_LT(afterOne, 0.8f - 0.1f);
    last = afterOne;
    for (int i = 0; i < 10; ++i) {
        hdr->renderTonemapperInput(0.1f);
        const float now = adaptedLum(*hdr);
        EXPECT_GE(now, last - 1e-3f);
        last = now;
    }
    for (int i = 0; i < 60; ++i) {
        hdr->renderTonemapperInput(0.1f);
    }
    EXPECT_NEAR(adaptedLum(*hdr), 0.8f, 5e-3f);
}

TEST_F(HDRFrameBufferGLTest, AdaptationDoesNotDependOnTheFrameRate) {
    fill(0.1f, 0.1f, 0.1f);
    hdr->renderTonemapperInput(0.1f);
    fill(1.0f, 1.0f, 1.0f);
    hdr->renderTonemapperInput(0.2f);
    const float oneLongFrame = adaptedLum(*hdr);

    HDRFrameBuffer other;
    other.init(W, H, plane);
    other.check();
    HDRFrameBuffer* saved = hdr;
    hdr = &other;
    fill(0.1f, 0.1f, 0.1f);
    hdr->renderTonemapperInput(0.1f);
    fill(1.0f, 1.0f, 1.0f);
    hdr->renderTonemapperInput(0.05f);
    hdr->renderTonemapperInput(0.05f);
    hdr->renderTonemapperInput(0.05f);
    hdr->renderTonemapperInput(0.05f);
    const float fourShortFrames = adaptedLum(*hdr);
    hdr = saved;
    EXPECT_NEAR(oneLongFrame, fourShortFrames, 5e-3f);
}

TEST_F(HDRFrameBufferGLTest, ABadSceneValueNeverSticks) {
    fill(0.3f, 0.3f, 0.3f);
    hdr->renderTonemapperInput(0.1f);
    const float nan = std::numeric_limits<float>::quiet_NaN();
    fill(nan, nan, nan);
    hdr->renderTonemapperInput(0.1f);
    EXPECT_TRUE(std::isfinite(adaptedLum(*hdr)));
    fill(std::numeric_limits<float>::infinity(), 0.0f, 0.0f);
    hdr->renderTonemapperInput(0.1f);
    EXPECT_TRUE(std::isfinite(adaptedLum(*hdr)));
    fill(0.3f, 0.3f, 0.3f);
    for (int i = 0; i < 80; ++i) {
        hdr->renderTonemapperInput(0.1f);
    }
    EXPECT_NEAR(adaptedLum(*hdr), 0.3f, 5e-3f);
    // A bad frame time does not poison the value either.
    hdr->renderTonemapperInput(nan);
    EXPECT_NEAR(adaptedLum(*hdr), 0.3f, 5e-3f);
}

TEST_F(HDRFrameBufferGLTest, GlowComesOnlyFromBrightParts) {
    fill(0.5f, 0.5f, 0.5f);
    hdr->renderTonemapperInput(0.1f);
    std::vector<float> glow = readColor(hdr->getGaussBuffer()->getColorTexID(), 128, 128);
    float maxGlow = 0.0f;
    for (float v : glow) {
        maxGlow = std::max(maxGlow, v);
    }
    // Alpha is 1 everywhere; colour channels stay dark.
    for (size_t i = 0; i < glow.size(); i += 4) {
        EXPECT_NEAR(glow[i], 0.0f, 1e-4f);
    }

    // A bright square in the middle glows, and the glow spreads past it.
    fill(0.0f, 0.0f, 0.0f);
    hdr->enable();
    glEnable(GL_SCISSOR_TEST);
    glScissor(W / 2 - 4, H / 2 - 4, 8, 8);
    const float bright[4] = {20.0f, 20.0f, 20.0f, 1.0f};
    glClearBufferfv(GL_COLOR, 0, bright);
    glDisable(GL_SCISSOR_TEST);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    hdr->renderTonemapperInput(0.1f);
    glow = readColor(hdr->getGaussBuffer()->getColorTexID(), 128, 128);
    auto at = [&](int x, int y) { return glow[static_cast<size_t>((y * 128 + x) * 4)]; };
    EXPECT_GT(at(64, 64), 0.1f);
    EXPECT_GT(at(64 + 14, 64), 0.0f) << "the blur spreads beyond the square";
    EXPECT_LT(at(64 + 14, 64), at(64, 64));
    EXPECT_NEAR(at(2, 2), 0.0f, 1e-4f);
}

TEST_F(HDRFrameBufferGLTest, FadeToBlackGivesABlackFrame) {
    fill(2.0f, 1.0f, 0.5f);
    hdr->renderTonemapperInput(0.1f);
    EffectSettings::Instance()->setHDRfade2Black(false);
    const std::vector<float> pixels = toneMap();
    for (size_t i = 0; i < pixels.size(); i += 4) {
        ASSERT_EQ(pixels[i], 0.0f);
        ASSERT_EQ(pixels[i + 1], 0.0f);
        ASSERT_EQ(pixels[i + 2], 0.0f);
    }
}

TEST_F(HDRFrameBufferGLTest, EachShowFlagShowsItsTerm) {
    fill(0.25f, 0.5f, 0.125f);
    hdr->renderTonemapperInput(0.1f);
    EffectSettings* settings = EffectSettings::Instance();

    // Plain colour alone: the HDR values unchanged.
    settings->setHDRshowToneMappedColor(false);
    settings->setHDRshowToneMappedGlow(false);
    settings->setHDRshowColor(true);
    std::vector<float> pixels = toneMap();
    EXPECT_NEAR(pixels[0], 0.25f, 1e-3f);
    EXPECT_NEAR(pixels[1], 0.5f, 1e-3f);
    EXPECT_NEAR(pixels[2], 0.125f, 1e-3f);

    // Plain glow alone: nothing is bright, so black.
    settings->setHDRshowColor(false);
    settings->setHDRshowGlow(true);
    pixels = toneMap();
    EXPECT_NEAR(pixels[0], 0.0f, 1e-4f);

    // Tone-mapped colour alone: inside (0, 1), channel order kept.
    settings->setHDRshowGlow(false);
    settings->setHDRshowToneMappedColor(true);
    pixels = toneMap();
    EXPECT_GT(pixels[1], pixels[0]);
    EXPECT_GT(pixels[0], pixels[2]);
    EXPECT_GT(pixels[2], 0.0f);
    EXPECT_LT(pixels[1], 1.0f);

    // Nothing shown: black.
    settings->setHDRshowToneMappedColor(false);
    pixels = toneMap();
    EXPECT_EQ(pixels[0], 0.0f);
}

TEST_F(HDRFrameBufferGLTest, ToneMappingIsExposedByTheAdaptedLuminance) {
    // A uniform scene maps to the same grey whatever its absolute brightness,
    // once adapted (the glow, which a bright uniform scene has, is left out).
    EffectSettings::Instance()->setHDRshowToneMappedGlow(false);
    fill(0.05f, 0.05f, 0.05f);
    hdr->renderTonemapperInput(0.1f);
    const float dark = toneMap()[0];
    fill(5.0f, 5.0f, 5.0f);
    hdr->renderTonemapperInput(0.1f); // a fresh jump: not yet adapted
    const float dazzled = toneMap()[0];
    for (int i = 0; i < 80; ++i) {
        hdr->renderTonemapperInput(0.1f);
    }
    const float adapted = toneMap()[0];
    EXPECT_GT(dazzled, adapted + 0.05f);
    EXPECT_NEAR(adapted, dark, 0.01f);
}

namespace {

class FxaaFrameBufferGLTest : public TestSupport::GLTest {};

} // namespace

TEST_F(FxaaFrameBufferGLTest, ChangesPixelsOnlyNearEdges) {
    constexpr int N = 64;
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_CULL_FACE);
    EffectPlane plane;
    FxaaFrameBuffer fxaa;
    fxaa.init(N, N, &plane);
    fxaa.check();
    // A white triangle on black: a diagonal edge, drawn aliased. Alpha holds
    // the luma, as the tone mapper writes it.
    fxaa.enable();
    glClearColor(0, 0, 0, 0);
    fxaa.clearAll();
    glUseProgram(0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glColor4f(1, 1, 1, 1);
    glBegin(GL_TRIANGLES);
    glVertex2f(-0.8f, -0.8f);
    glVertex2f(0.8f, -0.5f);
    glVertex2f(-0.3f, 0.9f);
    glEnd();
    glBindFramebuffer(GL_FRAMEBUFFER, 0);

    std::vector<unsigned char> before(N * N * 4);
    glBindTexture(GL_TEXTURE_2D, fxaa.getColorTexID());
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, before.data());

    ColorFrameBuffer out;
    out.init(N, N, false);
    out.check();
    out.enable();
    glDisable(GL_FRAMEBUFFER_SRGB);
    fxaa.draw();
    glEnable(GL_FRAMEBUFFER_SRGB);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    const std::vector<float> after = readColor(out.getColorTexID(), N, N);

    auto value = [&](int x, int y) { return before[static_cast<size_t>((y * N + x) * 4)]; };
    auto nearEdge = [&](int x, int y) {
        for (int dy = -2; dy <= 2; ++dy) {
            for (int dx = -2; dx <= 2; ++dx) {
                const int nx = std::clamp(x + dx, 0, N - 1);
                const int ny = std::clamp(y + dy, 0, N - 1);
                if (value(nx, ny) != value(x, y)) {
                    return true;
                }
            }
        }
        return false;
    };
    int changedNearEdges = 0;
    for (int y = 0; y < N; ++y) {
        for (int x = 0; x < N; ++x) {
            // The FXAA target stores sRGB; the float output holds the same
            // encoded value because sRGB writes were off.
            const float in = static_cast<float>(value(x, y)) / 255.0f;
            const float res = after[static_cast<size_t>((y * N + x) * 4)];
            const float lin = in <= 0.04045f ? in / 12.92f : std::pow((in + 0.055f) / 1.055f, 2.4f);
            const bool changed = std::fabs(res - lin) > 0.01f;
            if (!nearEdge(x, y)) {
                EXPECT_FALSE(changed) << x << "," << y;
            } else if (changed) {
                ++changedNearEdges;
            }
        }
    }
    EXPECT_GT(changedNearEdges, 20);
    glBindTexture(GL_TEXTURE_2D, 0);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_CULL_FACE);
}

TEST_F(FxaaFrameBufferGLTest, TargetFormat) {
    EffectPlane plane;
    FxaaFrameBuffer fxaa;
    fxaa.init(20, 10, &plane);
    fxaa.check();
    glBindTexture(GL_TEXTURE_2D, fxaa.getColorTexID());
    GLint format = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_INTERNAL_FORMAT, &format);
    EXPECT_EQ(format, GL_SRGB8_ALPHA8);
    GLint filter = 0;
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &filter);
    EXPECT_EQ(filter, GL_LINEAR);
    glBindTexture(GL_TEXTURE_2D, 0);
    EXPECT_EQ(fxaa.getShader()->PrimitiveType(), static_cast<unsigned>(GL_TRIANGLES));
}

TEST_F(HDRFrameBufferGLTest, PassesLeaveTheStateTheFrameExpects) {
    fill(1.0f, 1.0f, 1.0f);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    hdr->renderTonemapperInput(0.1f);
    GLint value = -1;
    glGetIntegerv(GL_FRAMEBUFFER_BINDING, &value);
    EXPECT_EQ(value, 0);
    glGetIntegerv(GL_CURRENT_PROGRAM, &value);
    EXPECT_EQ(value, 0);
    glGetVertexAttribiv(0, GL_VERTEX_ATTRIB_ARRAY_ENABLED, &value);
    EXPECT_EQ(value, 0);
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    // The averaged copy's mipmaps were regenerated for this frame's reads.
    EXPECT_FALSE(hdr->DownsampleBuffer()->mipMapDirty());

    toneMap();
    glGetIntegerv(GL_CURRENT_PROGRAM, &value);
    EXPECT_EQ(value, 0);
    glGetVertexAttribiv(0, GL_VERTEX_ATTRIB_ARRAY_ENABLED, &value);
    EXPECT_EQ(value, 0);
}

TEST_F(HDRFrameBufferGLTest, ATargetWithoutMipmapLevelsStillAdapts) {
    HDRFrameBuffer tiny;
    tiny.init(1, 1, plane);
    tiny.check();
    EXPECT_EQ(tiny.TopMipmapLevel(), 0);
    HDRFrameBuffer* saved = hdr;
    hdr = &tiny;
    fill(0.4f, 0.4f, 0.4f);
    hdr->renderTonemapperInput(0.1f);
    const float lum = adaptedLum(*hdr);
    hdr = saved;
    EXPECT_NEAR(lum, 0.4f, 2e-3f);
}
