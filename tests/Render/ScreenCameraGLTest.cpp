#include "Render/ImageCompare.h"
#include "Render/TestScene.h"
#include "Support/GLContext.h"

#include <Engine/Render/DeferredFrameBuffer.h>
#include <Engine/Render/FxaaFrameBuffer.h>
#include <Engine/Render/HDRFrameBuffer.h>
#include <Engine/Render/Illumination.h>
#include <Engine/Render/Internal/IlluminationAccess.h>
#include <Engine/Render/RenderLimits.h>
#include <Engine/Scene/Internal/ScreenCameraAccess.h>
#include <Engine/Util/EffectSettings.h>
#include <GL/glew.h>
#include <cstdint>
#include <cstdlib>
#include <gtest/gtest.h>
#include <string>
#include <sys/stat.h>
#include <vector>

using Engine::Scene::Internal::ScreenCameraAccess;
using namespace RenderTest;
using Engine::Util::EffectSettings;

namespace {

constexpr int W = 160;
constexpr int H = 120;
// Frames rendered before a picture is taken.
constexpr int WarmUpFrames = 12;

class ScreenCameraGLTest : public TestSupport::GLTest {
protected:
    void SetUp() override {
        TestSupport::GLTest::SetUp();
        *EffectSettings::Instance() = EffectSettings();
    }
    void TearDown() override {
        *EffectSettings::Instance() = EffectSettings();
        // The frame leaves depth test and writes off for the window pass.
        glEnable(GL_DEPTH_TEST);
        glDepthMask(GL_TRUE);
        TestSupport::GLTest::TearDown();
    }

    static Image render(TestScene& scene, int frames = WarmUpFrames) {
        for (int i = 0; i < frames; ++i) {
            scene.frame();
        }
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
        return readFramebuffer(static_cast<int>(scene.camera->Width()),
                               static_cast<int>(scene.camera->Height()));
    }

    static double litShare(Image const& image, int threshold = 8) {
        int lit = 0;
        for (int y = 0; y < image.height; ++y) {
            for (int x = 0; x < image.width; ++x) {
                unsigned char const* p = image.at(x, y);
                if (p[0] > threshold || p[1] > threshold || p[2] > threshold) {
                    ++lit;
                }
            }
        }
        return static_cast<double>(lit) / (image.width * image.height);
    }

    static GLint textureWidth(unsigned int texture) {
        GLint w = 0;
        glBindTexture(GL_TEXTURE_2D, texture);
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &w);
        glBindTexture(GL_TEXTURE_2D, 0);
        return w;
    }
};

} // namespace

TEST_F(ScreenCameraGLTest, ReferenceScene) {
    TestScene scene(W, H);
    scene.buildReferenceScene();
    expectMatchesReference(render(scene), "scene");
}

TEST_F(ScreenCameraGLTest, ReferenceSceneWithShadows) {
    TestScene scene(W, H);
    scene.buildShadowScene();
    expectMatchesReference(render(scene), "scene-shadows");
}

TEST_F(ScreenCameraGLTest, ReferenceSceneWithoutFxaa) {
    EffectSettings::Instance()->setFXAAon(false);
    TestScene scene(W, H);
    scene.buildReferenceScene();
    expectMatchesReference(render(scene), "scene-nofxaa");
}

TEST_F(ScreenCameraGLTest, ReferenceSceneInWireframe) {
    EffectSettings::Instance()->DrawWireFrame(true);
    TestScene scene(W, H);
    scene.buildReferenceScene();
    expectMatchesReference(render(scene), "scene-wireframe");
}

TEST_F(ScreenCameraGLTest, FadeToBlackGivesABlackFrame) {
    TestScene scene(W, H);
    scene.buildReferenceScene();
    EXPECT_GT(litShare(render(scene)), 0.5);
    EffectSettings::Instance()->setHDRfade2Black(false);
    EXPECT_EQ(litShare(render(scene, 1), 0), 0.0);
}

TEST_F(ScreenCameraGLTest, FxaaChangesOnlyEdgePixels) {
    TestScene scene(W, H);
    scene.buildReferenceScene();
    EffectSettings::Instance()->setFXAAon(false);
    const Image plain = render(scene);
    EffectSettings::Instance()->setFXAAon(true);
    const Image smoothed = render(scene, 1);
    const Comparison result = compare(plain, smoothed, 2);
    EXPECT_GT(result.differing, 50) << "FXAA should soften the scene's edges";
    EXPECT_LT(result.differing, W * H / 4) << "FXAA should leave flat areas alone";
}

TEST_F(ScreenCameraGLTest, WireframeShowsLinesWithoutCulling) {
    TestScene scene(W, H);
    // A wall seen from behind: culled when filled, outlined in wireframe.
    scene.addMesh(makeFloor(4.0f, 4, 1.0f), scene.colorMaterial(Vec3f(1, 1, 1), 4.0f),
                  translate(Vec3f(0, 2, 0)) * Mat4f::RotateX(-Pi / 2.0f));
    scene.commitLights();
    EXPECT_EQ(litShare(render(scene)), 0.0);
    EffectSettings::Instance()->DrawWireFrame(true);
    const double share = litShare(render(scene));
    EXPECT_GT(share, 0.01);
    EXPECT_LT(share, 0.5) << "only outlines are drawn";
    // Culling and filled polygons are on again after the geometry pass.
    EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));
    GLint mode[2] = {0, 0};
    glGetIntegerv(GL_POLYGON_MODE, mode);
    EXPECT_EQ(mode[0], GL_FILL);
}

TEST_F(ScreenCameraGLTest, NormalsFollowTheInverseTransposeOfTheModelMatrix) {
    // A floor tilted towards the camera, then stretched three times along y:
    // its normal is the inverse transpose of the model matrix times (0, 1, 0),
    // far from what the matrix itself would make of it. A floor squashed to
    // nothing along y (a matrix without an inverse) keeps its normal up.
    // Every material's vertex stage must give these normals.
    float tilt = 0.5f;
    if ((Mat4f::RotateX(tilt) * Vec4f(0, 1, 0, 0)).Z() < 0.0f) {
        tilt = -tilt;
    }
    const Vec4f r = Mat4f::RotateX(tilt) * Vec4f(0, 1, 0, 0);
    const Vec3f stretched = Vec3f::Normalize(Vec3f(r.X(), r.Y() / 3.0f, r.Z()));
    const Vec3f naive = Vec3f::Normalize(Vec3f(r.X(), r.Y() * 3.0f, r.Z()));
    ASSERT_LT(Vec3f::DotProd(stretched, naive), 0.8f);
    const struct {
        Mat4f place;
        Vec3f normal;
    } cases[2] = {{Mat4f::Scale(Vec3f(1, 3, 1)) * Mat4f::RotateX(tilt), stretched},
                  {Mat4f::Scale(Vec3f(1, 0, 1)), Vec3f(0, 1, 0)}};
    for (int c = 0; c < 2; ++c) {
        for (int kind = 0; kind < 4; ++kind) {
            TestScene scene(W, H);
            scene.addMesh(makeFloor(6.0f, 2, 1.0f),
                          kind == 0   ? scene.colorMaterial(Vec3f(1, 1, 1))
                          : kind == 1 ? scene.textureMaterial()
                          : kind == 2 ? scene.normalMapMaterial(Vec3f(1, 1, 1))
                                      : scene.displacementMaterial(),
                          cases[c].place);
            scene.commitLights();
            render(scene, 1);
            std::vector<float> normals(static_cast<size_t>(W * H * 4));
            glBindTexture(GL_TEXTURE_2D, ScreenCameraAccess::GBuffer(*scene.camera)->NormalTexID());
            glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_FLOAT, normals.data());
            glBindTexture(GL_TEXTURE_2D, 0);
            float const* centre = &normals[static_cast<size_t>(((H / 2) * W + W / 2) * 4)];
            ASSERT_EQ(centre[3], 1.0f) << "case " << c << ", material " << kind;
            // The test textures' normal map tilts the shading normal a little.
            const float tolerance = kind >= 2 ? 0.15f : 0.01f;
            Vec3f const& expected = cases[c].normal;
            EXPECT_NEAR(centre[0], expected.X(), tolerance)
                << "case " << c << ", material " << kind;
            EXPECT_NEAR(centre[1], expected.Y(), tolerance)
                << "case " << c << ", material " << kind;
            EXPECT_NEAR(centre[2], expected.Z(), tolerance)
                << "case " << c << ", material " << kind;
        }
    }
}

TEST_F(ScreenCameraGLTest, StateAfterAFrame) {
    TestScene scene(W, H);
    scene.buildReferenceScene();
    render(scene, 2);
    GLint value = -1;
    glGetIntegerv(GL_FRAMEBUFFER_BINDING, &value);
    EXPECT_EQ(value, 0);
    glGetIntegerv(GL_CURRENT_PROGRAM, &value);
    EXPECT_EQ(value, 0);
    EXPECT_FALSE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    GLboolean mask = GL_TRUE;
    glGetBooleanv(GL_DEPTH_WRITEMASK, &mask);
    EXPECT_EQ(mask, GL_FALSE);
    // The scattering pass leaves four-vertex patches until the next frame.
    glGetIntegerv(GL_PATCH_VERTICES, &value);
    EXPECT_EQ(value, 4);
    GLint viewport[4] = {};
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], W);
    EXPECT_EQ(viewport[3], H);
}

TEST_F(ScreenCameraGLTest, WithoutFxaaNothingIsRenderedIntoTheFxaaTarget) {
    EffectSettings::Instance()->setFXAAon(false);
    TestScene scene(W, H);
    scene.buildReferenceScene();
    Engine::Render::FxaaFrameBuffer* fxaa = ScreenCameraAccess::FxaaTarget(*scene.camera);
    fxaa->enable();
    glClearColor(0.0f, 1.0f, 0.0f, 1.0f);
    fxaa->clearAll();
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    const Image picture = render(scene);
    EXPECT_GT(litShare(picture), 0.5);
    std::vector<unsigned char> texel(static_cast<size_t>(W * H * 4));
    glBindTexture(GL_TEXTURE_2D, fxaa->getColorTexID());
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, texel.data());
    glBindTexture(GL_TEXTURE_2D, 0);
    for (size_t i = 0; i < texel.size(); i += 4 * 97) {
        ASSERT_EQ(texel[i], 0);
        ASSERT_EQ(texel[i + 1], 255);
    }
}

TEST_F(ScreenCameraGLTest, NewSizeRebuildsEveryTarget) {
    TestScene scene(W, H);
    scene.buildReferenceScene();
    render(scene, 1);
    scene.camera->SetCameraParameter(200, 100, 1.0471976f, 0.1f, 100.0f);
    EXPECT_EQ(textureWidth(ScreenCameraAccess::GBuffer(*scene.camera)->DiffuseColorTexID()), 200);
    EXPECT_EQ(textureWidth(ScreenCameraAccess::HDRTarget(*scene.camera)->getColorTexID()), 200);
    EXPECT_EQ(textureWidth(ScreenCameraAccess::FxaaTarget(*scene.camera)->getColorTexID()), 200);
    const Image big = render(scene, 2);
    EXPECT_EQ(big.width, 200);
    // The picture fills the new width: the rightmost columns show the floor.
    int litRight = 0;
    for (int y = 0; y < big.height; ++y) {
        unsigned char const* p = big.at(195, y);
        litRight += (p[0] + p[1] + p[2] > 30) ? 1 : 0;
    }
    EXPECT_GT(litRight, 20);
}

TEST_F(ScreenCameraGLTest, EmptyWorldRendersBlack) {
    TestScene scene(W, H);
    scene.commitLights();
    EXPECT_EQ(litShare(render(scene), 0), 0.0);
}

TEST_F(ScreenCameraGLTest, LightTilesLeaveTheLightingAsItWas) {
    using Engine::Render::RenderLimits;
    // The shadow scene's lights of every positional kind, a lamp of short
    // reach and a spot light far from the view: the frame lit tile by tile
    // must equal the same frame lit with every light at every pixel.
    constexpr int Width = 256;
    constexpr int Height = 192;
    TestScene scene(Width, Height);
    scene.addLight(new Engine::Scene::PointLight(Vec3f(2, 1.5f, 1), true, Vec4f(-3, 1, 1, 1),
                                                 Vec3f(1, 0.5f, 20.0f)));
    scene.addLight(new Engine::Scene::SpotLight(Vec3f(4, 4, 4), false, Vec4f(40, 5, -40, 1),
                                                Vec3f(0, -1, 0), 0.3f, 2.0f, Vec3f(1, 0.1f, 0.1f)));
    scene.buildShadowScene();
    for (int i = 0; i < 3; ++i) {
        scene.frame();
    }
    Engine::Render::HDRFrameBuffer* hdr = ScreenCameraAccess::HDRTarget(*scene.camera);
    Engine::Render::DeferredFrameBuffer* gBuffer = ScreenCameraAccess::GBuffer(*scene.camera);
    Engine::Render::Illumination* lighting = ScreenCameraAccess::IlluminationPass(*scene.camera);
    auto readHdr = [hdr] {
        std::vector<float> pixels(static_cast<size_t>(Width * Height * 4));
        glBindTexture(GL_TEXTURE_2D, hdr->getColorTexID());
        glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_FLOAT, pixels.data());
        glBindTexture(GL_TEXTURE_2D, 0);
        return pixels;
    };
    const std::vector<float> tiled = readHdr();

    // The lamp reaches some tiles, the far spot light none.
    int lampTiles = 0;
    int spotTiles = 0;
    auto const& masks = Engine::Render::Internal::IlluminationAccess::Tiles(*lighting).Masks();
    for (std::uint32_t mask : masks) {
        lampTiles += (mask >> RenderLimits::TileBitPointLights) & 1u;
        spotTiles += (mask >> RenderLimits::TileBitSpotLights) & 1u;
    }
    EXPECT_GT(lampTiles, 0);
    EXPECT_LT(lampTiles, static_cast<int>(masks.size()) / 2);
    EXPECT_EQ(spotTiles, 0);

    // The same lighting without a view.
    hdr->enable();
    glClear(GL_COLOR_BUFFER_BIT);
    hdr->copyDepthFrom(*gBuffer);
    const Mat4f clipToWorld =
        scene.cameraPosition->Matrix() * scene.camera->InversePerspectiveMatrix();
    lighting->illuminat(gBuffer, scene.camera->Location(), clipToWorld,
                        scene.camera->VisibleLights());
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    const std::vector<float> everyLight = readHdr();
    ASSERT_EQ(tiled.size(), everyLight.size());
    int lit = 0;
    for (size_t i = 0; i < tiled.size(); ++i) {
        ASSERT_NEAR(tiled[i], everyLight[i], 1e-5f + 1e-5f * everyLight[i]) << "value " << i;
        lit += everyLight[i] > 0.01f ? 1 : 0;
    }
    EXPECT_GT(lit, Width * Height);
}
