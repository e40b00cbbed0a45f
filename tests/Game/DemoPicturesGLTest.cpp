// The demo's pictures at fixed times: one frame in each phase, rendered at a
// small size on a one-second step (as the coarse end-to-end run does),
// compared with reference images and checked for properties that catch real
// faults: black only where it must be, a sane exposure, finite radiance in
// the HDR target, and light scattered into the air where god rays shine.

#include "DemoDriver.h"
#include "Render/ImageCompare.h"
#include "Support/GLContext.h"

#include <Engine/Render/DeferredFrameBuffer.h>
#include <Engine/Render/HDRFrameBuffer.h>
#include <Engine/Scene/Internal/ScreenCameraAccess.h>
#include <GL/glew.h>
#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

using Engine::Scene::Internal::ScreenCameraAccess;

constexpr int Width = 160;
constexpr int Height = 120;

// What the air in view (background pixels) must show: darkness before the
// god rays, their beams after; the second world is a closed hall, where the
// beams against the walls are left to the reference images.
enum class Air { Dark, Beams, NotInView };

struct Phase {
    int second;
    char const* name;
    Air air;
};

// One frame per phase of the demo (times with the default script offset).
const Phase Phases[] = {
    {15, "demo-015-searchlight", Air::Dark},        {30, "demo-030-directional", Air::Dark},
    {50, "demo-050-godray3", Air::Beams},           {80, "demo-080-three-godrays", Air::Beams},
    {100, "demo-100-second-world", Air::NotInView}, {108, "demo-108-lamp", Air::NotInView},
    {140, "demo-140-rising-light", Air::NotInView}, {215, "demo-215-last-godray", Air::NotInView},
    {238, "demo-238-held-picture", Air::NotInView},
};

struct Radiance {
    int nonFinite = 0;
    // Share of background pixels (nothing drawn there) with light in them.
    double litBackground = 0.0;
    int background = 0;
};

// Reads the HDR target's lit scene and the G-buffer depth of the frame.
Radiance inspectRadiance(Engine::Scene::ScreenCamera* camera) {
    std::vector<float> rgba(static_cast<size_t>(Width * Height * 4));
    glBindTexture(GL_TEXTURE_2D, ScreenCameraAccess::HDRTarget(*camera)->getColorTexID());
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_FLOAT, rgba.data());
    std::vector<float> depth(static_cast<size_t>(Width * Height));
    glBindTexture(GL_TEXTURE_2D, ScreenCameraAccess::GBuffer(*camera)->DepthTexID());
    glGetTexImage(GL_TEXTURE_2D, 0, GL_DEPTH_COMPONENT, GL_FLOAT, depth.data());
    glBindTexture(GL_TEXTURE_2D, 0);
    Radiance result;
    int lit = 0;
    for (size_t i = 0; i < depth.size(); ++i) {
        float const* c = &rgba[i * 4];
        if (!std::isfinite(c[0]) || !std::isfinite(c[1]) || !std::isfinite(c[2])) {
            ++result.nonFinite;
        }
        if (depth[i] >= 1.0f) {
            ++result.background;
            lit += c[0] + c[1] + c[2] > 0.01f ? 1 : 0;
        }
    }
    result.litBackground = result.background > 0 ? double(lit) / result.background : 0.0;
    return result;
}

double meanBrightness(RenderTest::Image const& image) {
    double sum = 0.0;
    for (unsigned char value : image.rgb) {
        sum += value;
    }
    return sum / static_cast<double>(image.rgb.size());
}

double saturatedShare(RenderTest::Image const& image) {
    int saturated = 0;
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            unsigned char const* p = image.at(x, y);
            saturated += p[0] == 255 && p[1] == 255 && p[2] == 255 ? 1 : 0;
        }
    }
    return double(saturated) / (image.width * image.height);
}

class DemoPicturesGLTest : public TestSupport::GLTest {};

} // namespace

TEST_F(DemoPicturesGLTest, EachPhaseMatchesItsReferenceAndIsSoundlyExposed) {
    setenv("ALSOFT_DRIVERS", "null", 1);
    GameTestSupport::DemoDriver driver;
    ASSERT_TRUE(driver.Build(Width, Height)) << "the demo's compiled content is missing";

    driver.FrameAt(0.0);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
    EXPECT_EQ(meanBrightness(RenderTest::readFramebuffer(Width, Height)), 0.0)
        << "the first frame is black";

    int second = 1;
    for (Phase const& phase : Phases) {
        for (; second <= phase.second; ++second) {
            driver.FrameAt(second);
        }
        SCOPED_TRACE(phase.name);
        glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
        const RenderTest::Image picture = RenderTest::readFramebuffer(Width, Height);
        const Radiance radiance = inspectRadiance(driver.Camera());
        EXPECT_EQ(radiance.nonFinite, 0);
        const double mean = meanBrightness(picture);
        EXPECT_GT(mean, 8.0) << "nearly black";
        EXPECT_LT(mean, 170.0) << "washed out";
        // God ray 3 alone in the dark first world drives the exposure up
        // until its beam's core saturates (about 12 % of the picture).
        EXPECT_LT(saturatedShare(picture), 0.2);
        if (phase.air != Air::NotInView) {
            ASSERT_GT(radiance.background, Width * Height / 2) << "the air is not in view";
        }
        if (phase.air == Air::Dark) {
            EXPECT_LT(radiance.litBackground, 0.01) << "light in the air without god rays";
        } else if (phase.air == Air::Beams) {
            EXPECT_GT(radiance.litBackground, 0.05) << "no beams in the air";
        }
        RenderTest::expectMatchesReference(picture, phase.name);
    }
    driver.TearDown();
}
