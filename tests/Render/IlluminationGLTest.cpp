#include "Support/GLContext.h"

#include <Engine/Render/ColorFrameBuffer.h>
#include <Engine/Render/DeferredFrameBuffer.h>
#include <Engine/Render/EffectPlane.h>
#include <Engine/Render/Illumination.h>
#include <Engine/Render/Internal/IlluminationAccess.h>
#include <Engine/Render/LightLookupTable.h>
#include <Engine/Render/RenderLimits.h>
#include <Engine/Render/Shader/IlluminationShader.h>
#include <Engine/Render/ShadowMapFrameBuffer.h>
#include <Engine/Scene/DirectionalLight.h>
#include <Engine/Scene/GodRaySpotLight.h>
#include <Engine/Scene/PointLight.h>
#include <Engine/Scene/ShadowCastingPointLight.h>
#include <Engine/Scene/SpotLight.h>
#include <Engine/Util/Logger.h>
#include <Engine/Util/Timer.h>
#include <GL/glew.h>
#include <cmath>
#include <gtest/gtest.h>
#include <string>
#include <vector>

using namespace Engine::Render;
using Engine::Math::Mat4f;
using Engine::Math::Vec3f;
using Engine::Math::Vec4f;
using Engine::Scene::DirectionalLight;
using Engine::Scene::GodRaySpotLight;
using Engine::Scene::Light;
using Engine::Scene::PointLight;
using Engine::Scene::ShadowCastingPointLight;
using Engine::Scene::ShadowCastingSpotLight;
using Engine::Scene::SpotLight;

namespace {

constexpr int N = 64;
// The synthetic G-buffer shows the floor y = 0 from -S to S in x and z.
constexpr float S = 10.0f;

// Maps normalised device coordinates straight onto the floor, whatever the
// depth: x -> x * S, y -> z * S.
Mat4f floorInverseCamera() {
    const float m[16] = {S, 0, 0, 0, 0, 0, S, 0, 0, 0, 0, 0, 0, 0, 0, 1};
    return Mat4f(m);
}

// World x or z of the centre of pixel i.
float worldAt(int i) {
    return ((static_cast<float>(i) + 0.5f) / N * 2.0f - 1.0f) * S;
}

std::string lastLogEntries(int count) {
    Engine::Util::Logger* log = Engine::Util::Logger::Instance();
    std::string text;
    for (int i = count; i >= 1; --i) {
        text += log->Get(log->Position() - i);
        text += "\n";
    }
    return text;
}

class IlluminationGLTest : public TestSupport::GLTest {
protected:
    void SetUp() override {
        TestSupport::GLTest::SetUp();
        glDisable(GL_DEPTH_TEST);
        glDisable(GL_CULL_FACE);
        plane = new EffectPlane();
        illumination = new Illumination(plane, nullptr);
        gbuffer.init(N, N);
        gbuffer.check();
        target.init(N, N, false);
        target.check();
        fillGBuffer(0.0f);
    }
    void TearDown() override {
        delete illumination;
        delete plane;
        for (Light* light : owned) {
            delete light;
        }
        glEnable(GL_DEPTH_TEST);
        glEnable(GL_CULL_FACE);
        glActiveTexture(GL_TEXTURE0);
        TestSupport::GLTest::TearDown();
    }

    // A grey, matte, upward-facing floor everywhere, with the given emission.
    void fillGBuffer(float emit, float shininess = 0.0f) {
        gbuffer.enable();
        glDisable(GL_FRAMEBUFFER_SRGB); // store the albedo as given
        const float diffuse[4] = {0.5f, 0.5f, 0.5f, 1.0f};
        const float specular[4] = {1.0f, 1.0f, 1.0f, shininess / 255.0f};
        const float normal[4] = {0.0f, 1.0f, 0.0f, 1.0f};
        const float emission[4] = {emit, 0.0f, 0.0f, 0.0f};
        glClearBufferfv(GL_COLOR, 0, diffuse);
        glClearBufferfv(GL_COLOR, 1, specular);
        glClearBufferfv(GL_COLOR, 2, normal);
        glClearBufferfv(GL_COLOR, 3, emission);
        const float depth = 0.5f;
        glClearBufferfv(GL_DEPTH, 0, &depth);
        glEnable(GL_FRAMEBUFFER_SRGB);
        gbuffer.disable();
    }

    std::vector<float> light(Illumination::LightMap const& visible) {
        target.enable();
        const float black[4] = {0, 0, 0, 0};
        glClearBufferfv(GL_COLOR, 0, black);
        illumination->illuminat(&gbuffer, Vec4f(0.0f, 5.0f, 0.0f, 1.0f), floorInverseCamera(),
                                visible);
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
        std::vector<float> pixels(N * N * 4);
        // Read back on a unit the pass does not use, so its bindings stay.
        glActiveTexture(GL_TEXTURE0 + 20);
        glBindTexture(GL_TEXTURE_2D, target.getColorTexID());
        glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_FLOAT, pixels.data());
        glBindTexture(GL_TEXTURE_2D, 0);
        glActiveTexture(GL_TEXTURE0);
        return pixels;
    }

    template <typename T> T* keep(T* light) {
        owned.push_back(light);
        return light;
    }

    static float red(std::vector<float> const& pixels, int x, int y) {
        return pixels[static_cast<size_t>((y * N + x) * 4)];
    }

    // The albedo stored in the sRGB diffuse target, read back linear.
    static float albedo() {
        return std::pow((std::round(0.5f * 255.0f) / 255.0f + 0.055f) / 1.055f, 2.4f);
    }

    EffectPlane* plane = nullptr;
    Illumination* illumination = nullptr;
    DeferredFrameBuffer gbuffer;
    ColorFrameBuffer target;
    std::vector<Light*> owned;
};

} // namespace

TEST_F(IlluminationGLTest, ArraySizesOfTheShaderMatchTheLimits) {
    Internal::IlluminationAccess::FullShader(*illumination)->Activate();
    GLint program = 0;
    glGetIntegerv(GL_CURRENT_PROGRAM, &program);
    ASSERT_NE(program, 0) << "illumination.frag did not build";
    auto has = [&](std::string const& name) {
        return glGetUniformLocation(static_cast<GLuint>(program), name.c_str()) != -1;
    };
    struct Kind {
        char const* member;
        int max;
    };
    const Kind kinds[] = {{"directionalLight[%d].color", RenderLimits::MaxDirectionalLights},
                          {"pointLight[%d].color", RenderLimits::MaxPointLights},
                          {"scPointLight[%d].color", RenderLimits::MaxShadowCastingPointLights},
                          {"spotLight[%d].color", RenderLimits::MaxSpotLights},
                          {"scSpotLight[%d].color", RenderLimits::MaxShadowCastingSpotLights}};
    for (Kind const& kind : kinds) {
        char name[64];
        std::snprintf(name, sizeof name, kind.member, kind.max - 1);
        EXPECT_TRUE(has(name)) << name;
        std::snprintf(name, sizeof name, kind.member, kind.max);
        EXPECT_FALSE(has(name)) << name;
    }
    glUseProgram(0);
}

TEST_F(IlluminationGLTest, NoLightsLeaveOnlyEmission) {
    Illumination::LightMap none;
    std::vector<float> pixels = light(none);
    EXPECT_EQ(red(pixels, 10, 10), 0.0f);
    fillGBuffer(2.0f);
    pixels = light(none);
    EXPECT_NEAR(red(pixels, 10, 10), 2.0f * albedo(), 2e-3f);
}

TEST_F(IlluminationGLTest, DirectionalLightIsLambertian) {
    // Light from straight above, then from 60 degrees off the normal.
    auto* above = keep(new DirectionalLight(Vec3f(1, 1, 1), false, Vec3f(0, -1, 0)));
    Illumination::LightMap visible{{LIGHT_DIRECTIONAL, {above}}};
    std::vector<float> pixels = light(visible);
    EXPECT_NEAR(red(pixels, 5, 40), albedo(), 2e-3f);
    above->Direction(Vec3f(-std::sin(1.0471976f), -std::cos(1.0471976f), 0.0f));
    pixels = light(visible);
    EXPECT_NEAR(red(pixels, 5, 40), albedo() * 0.5f, 2e-3f);
}

TEST_F(IlluminationGLTest, SpecularOnlyWhenSwitchedOn) {
    fillGBuffer(0.0f, 32.0f);
    auto* sun = keep(new DirectionalLight(Vec3f(1, 1, 1), false, Vec3f(0, -1, 0)));
    Illumination::LightMap visible{{LIGHT_DIRECTIONAL, {sun}}};
    const float matte = red(light(visible), N / 2, N / 2);
    sun->specularOn(true);
    // Camera and light straight above the middle: the highlight is there.
    const float shiny = red(light(visible), N / 2, N / 2);
    EXPECT_NEAR(shiny - matte, 1.0f, 0.05f);
}

TEST_F(IlluminationGLTest, PointLightLightsNothingBeyondItsReach) {
    // Reach (0.05 / 0.01 - 1) / 0.5 = 8.
    auto* lamp = keep(
        new PointLight(Vec3f(0.05f, 0.05f, 0.05f), false, Vec4f(0, 1, 0, 1), Vec3f(1, 0.5f, 0)));
    lamp->Update(Mat4f());
    const float reach = lamp->MaxDistanceOfInfluence();
    ASSERT_GT(reach, 2.0f);
    ASSERT_LT(reach, S);
    Illumination::LightMap visible{{LIGHT_POINT, {lamp}}};
    const std::vector<float> pixels = light(visible);
    int lit = 0;
    for (int y = 0; y < N; ++y) {
        for (int x = 0; x < N; ++x) {
            const float dx = worldAt(x);
            const float dz = worldAt(y);
            const float d = std::sqrt(dx * dx + 1.0f + dz * dz);
            const float value = red(pixels, x, y);
            if (d > reach + 0.05f) {
                ASSERT_EQ(value, 0.0f) << x << "," << y;
            } else if (d < reach - 0.05f) {
                const float expected = albedo() * 0.05f * (1.0f / d) / (1.0f + 0.5f * d);
                ASSERT_NEAR(value, expected, 2e-4f + expected * 0.01f) << x << "," << y;
                ++lit;
            }
        }
    }
    EXPECT_GT(lit, 100);
}

TEST_F(IlluminationGLTest, SpotLightDiscHasTheRadiusOfItsAngle) {
    const float height = 4.0f;
    const float angle = 0.6f;
    auto* spot = keep(new SpotLight(Vec3f(20, 20, 20), false, Vec4f(0, height, 0, 1),
                                    Vec3f(0, -1, 0), angle, 1.0f));
    spot->Update(Mat4f());
    Illumination::LightMap visible{{LIGHT_SPOT, {spot}}};
    const std::vector<float> pixels = light(visible);
    const float radius = height * std::tan(angle);
    int inside = 0;
    for (int y = 0; y < N; ++y) {
        for (int x = 0; x < N; ++x) {
            const float r = std::hypot(worldAt(x), worldAt(y));
            const float value = red(pixels, x, y);
            if (r > radius * 1.03f) {
                ASSERT_EQ(value, 0.0f) << x << "," << y;
            } else if (r < radius * 0.93f) {
                ASSERT_GT(value, 0.05f) << x << "," << y;
                ++inside;
            }
        }
    }
    EXPECT_GT(inside, 50);
}

TEST_F(IlluminationGLTest, SwitchedOffLightContributesNothing) {
    auto* a = keep(new PointLight(Vec3f(1, 0, 0), false, Vec4f(-5, 1, 0, 1)));
    auto* b = keep(new PointLight(Vec3f(0, 1, 0), false, Vec4f(0, 1, 0, 1)));
    auto* c = keep(new PointLight(Vec3f(0, 0, 1), false, Vec4f(5, 1, 0, 1)));
    for (PointLight* l : {a, b, c}) {
        l->Update(Mat4f());
    }
    Illumination::LightMap visible{{LIGHT_POINT, {a, c}}};
    const std::vector<float> withoutB = light(visible);
    b->turnOff();
    visible[LIGHT_POINT] = {a, b, c};
    const std::vector<float> withBOff = light(visible);
    EXPECT_EQ(withoutB, withBOff);
    // The count went to the frame's program.
    const GLuint program = static_cast<GLuint>(
        Internal::IlluminationAccess::ActiveShader(*illumination)->getProgramHandle());
    GLint count = -1;
    glGetUniformiv(program, glGetUniformLocation(program, "pointLightCount"), &count);
    EXPECT_EQ(count, 2);
}

TEST_F(IlluminationGLTest, TooManyLightsAreLoggedAndSkipped) {
    auto* d0 = keep(new DirectionalLight(Vec3f(1, 0, 0), false, Vec3f(0, -1, 0)));
    auto* d1 = keep(new DirectionalLight(Vec3f(0, 1, 0), false, Vec3f(0, -1, 0)));
    auto* d2 = keep(new DirectionalLight(Vec3f(0, 0, 1), false, Vec3f(0, -1, 0)));
    Illumination::LightMap two{{LIGHT_DIRECTIONAL, {d0, d1}}};
    const std::vector<float> withTwo = light(two);
    Illumination::LightMap three{{LIGHT_DIRECTIONAL, {d0, d1, d2}}};
    const std::vector<float> withThree = light(three);
    EXPECT_EQ(lastLogEntries(2),
              "Someone tries to set a DirectionalLight with index: 2 (max DirectionalLight count "
              "is: 2)\nSomeone tries to set a DirectionalLight count of: 3 (max DirectionalLight "
              "count is: 2)\n");
    // The count keeps its value and the third light never reaches the shader.
    EXPECT_EQ(withTwo, withThree);
    EXPECT_NEAR(red(withThree, 3, 3), albedo(), 2e-3f);
    EXPECT_EQ(withThree[2], 0.0f);
}

TEST_F(IlluminationGLTest, ShadowCastingSpotAndGodRayLightsShareOneArray) {
    // One shadow-casting spot light and one god-ray spot light take slots 0
    // and 1 with their blurred maps. The frame's program has just those two
    // slots and leaves out the point-light shadows it has no light for.
    auto* caster = keep(new ShadowCastingSpotLight(Vec3f(1, 1, 1), false, Vec4f(0, 5, 0, 1),
                                                   Vec3f(0, -1, 0), 0.3f, 2.0f, nullptr));
    auto* godRay = keep(new GodRaySpotLight(Vec3f(1, 1, 1), false, Vec4f(1, 5, 0, 1),
                                            Vec3f(0, -1, 0), 0.3f, 2.0f, Vec3f(1, 0, 0), nullptr));
    caster->Update(Mat4f());
    godRay->Update(Mat4f());
    Illumination::LightMap visible{{LIGHT_SHADOW_SPOT, {caster}}, {LIGHT_GOD_RAY_SPOT, {godRay}}};
    light(visible);
    auto* shader = Internal::IlluminationAccess::ActiveShader(*illumination);
    const GLuint program = static_cast<GLuint>(shader->getProgramHandle());
    EXPECT_EQ(glGetUniformLocation(program, "scPointLightShadowCubeMap_0"), -1);
    EXPECT_NE(glGetUniformLocation(program, "scSpotLightShadowMap_1"), -1);
    EXPECT_EQ(glGetUniformLocation(program, "scSpotLightShadowMap_2"), -1);
    auto uniformInt = [program](char const* name) {
        GLint value = -1;
        glGetUniformiv(program, glGetUniformLocation(program, name), &value);
        return value;
    };
    EXPECT_EQ(uniformInt("scSpotLightCount"), 2);
    EXPECT_EQ(uniformInt("scSpotLight[0].scattering"), 0);
    EXPECT_EQ(uniformInt("scSpotLight[1].scattering"), 1);
    auto bound = [](int unit, GLenum binding) {
        glActiveTexture(GL_TEXTURE0 + unit);
        GLint name = 0;
        glGetIntegerv(binding, &name);
        glActiveTexture(GL_TEXTURE0);
        return static_cast<GLuint>(name);
    };
    ShadowCastingSpotLight* lights[2] = {caster, godRay};
    for (int slot = 0; slot < 2; ++slot) {
        ShadowMapFrameBuffer* maps = lights[slot]->getBluredShadowMapBuffer();
        EXPECT_EQ(bound(8 + slot, GL_TEXTURE_BINDING_2D), maps->getDepthMapTexID()) << slot;
    }
    // G-buffer textures on units 0 to 4.
    const GLuint gtex[5] = {gbuffer.DepthTexID(), gbuffer.DiffuseColorTexID(),
                            gbuffer.SpecularColorTexID(), gbuffer.NormalTexID(),
                            gbuffer.EmitTexID()};
    for (int unit = 0; unit < 5; ++unit) {
        EXPECT_EQ(bound(unit, GL_TEXTURE_BINDING_2D), gtex[unit]) << unit;
    }
    GLint current = -1;
    glGetIntegerv(GL_CURRENT_PROGRAM, &current);
    EXPECT_EQ(current, 0);
    GLint enabled = 1;
    glGetVertexAttribiv(0, GL_VERTEX_ATTRIB_ARRAY_ENABLED, &enabled);
    EXPECT_EQ(enabled, 0);
}

TEST_F(IlluminationGLTest, ShadowCastingLightsThatLightNothingTakeNoSlot) {
    // The frame sees the floor from above (an orthographic view of the G-buffer's
    // square). A spot light pointing up reaches no tile, and a black one pointing
    // down gives no light: the program has one slot, which the lit light below
    // takes.
    const float toClip[16] = {1 / S, 0, 0, 0, 0, 0, 0.1f, 0, 0, 1 / S, 0, 0, 0, 0, 0, 1};
    const float toWorld[16] = {S, 0, 0, 0, 0, 0, S, 0, 0, 10, 0, 0, 0, 0, 0, 1};
    auto* away = keep(new ShadowCastingSpotLight(Vec3f(1, 1, 1), false, Vec4f(0, 5, 0, 1),
                                                 Vec3f(0, 1, 0), 0.3f, 2.0f, nullptr));
    auto* down = keep(new ShadowCastingSpotLight(Vec3f(1, 1, 1), false, Vec4f(0, 5, 0, 1),
                                                 Vec3f(0, -1, 0), 0.3f, 2.0f, nullptr));
    auto* black = keep(new ShadowCastingSpotLight(Vec3f(0, 0, 0), false, Vec4f(0, 5, 0, 1),
                                                  Vec3f(0, -1, 0), 0.3f, 2.0f, nullptr));
    away->Update(Mat4f());
    down->Update(Mat4f());
    black->Update(Mat4f());
    Illumination::LightMap visible{{LIGHT_SHADOW_SPOT, {black, away, down}}};
    illumination->FrameView(Mat4f(toClip), Mat4f(toWorld), Vec3f(-S, -0.1f, -S), Vec3f(S, 0.1f, S));
    const std::vector<float> pixels = light(visible);
    EXPECT_GT(red(pixels, N / 2, N / 2), 0.1f);
    auto* shader = Internal::IlluminationAccess::ActiveShader(*illumination);
    const GLuint program = static_cast<GLuint>(shader->getProgramHandle());
    EXPECT_NE(glGetUniformLocation(program, "scSpotLightShadowMap_0"), -1);
    EXPECT_EQ(glGetUniformLocation(program, "scSpotLightShadowMap_1"), -1);
    GLint count = -1;
    glGetUniformiv(program, glGetUniformLocation(program, "scSpotLightCount"), &count);
    EXPECT_EQ(count, 1);
    glActiveTexture(GL_TEXTURE0 + 8);
    GLint map = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &map);
    glActiveTexture(GL_TEXTURE0);
    EXPECT_EQ(static_cast<GLuint>(map), down->getBluredShadowMapBuffer()->getDepthMapTexID());
}

TEST_F(IlluminationGLTest, TheMediumDimsDistantSurfaces) {
    float tableData[4] = {0, 0, 0, 0};
    delete illumination;
    illumination = new Illumination(
        plane, new LightLookupTable(tableData, tableData, 1, 1, 0, 1, 0, 1, 0.2f, 2, 2));
    fillGBuffer(1.0f);
    Illumination::LightMap none;
    const std::vector<float> pixels = light(none);
    // Camera at (0, 5, 0): the centre is about 5 away, a corner about 15.
    const float centre = red(pixels, N / 2, N / 2);
    EXPECT_NEAR(centre, albedo() * std::exp(-0.2f * std::hypot(5.0f, worldAt(N / 2) * 1.41421f)),
                0.01f);
    EXPECT_LT(red(pixels, 0, 0), centre * 0.2f);
}

TEST_F(IlluminationGLTest, RenderMapsLeavesTheDepthStateOn) {
    glDisable(GL_DEPTH_TEST);
    glDepthMask(GL_FALSE);
    Engine::Util::Timer timer;
    illumination->renderMaps(timer, {});
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    GLboolean mask = GL_FALSE;
    glGetBooleanv(GL_DEPTH_WRITEMASK, &mask);
    EXPECT_EQ(mask, GL_TRUE);
    glDisable(GL_DEPTH_TEST);
}

TEST_F(IlluminationGLTest, NegativeIndexesAreRejected) {
    auto* lamp = keep(new PointLight(Vec3f(1, 1, 1), false, Vec4f(0, 1, 0, 1)));
    Engine::Render::Shader::IlluminationShader* shader =
        Internal::IlluminationAccess::FullShader(*illumination);
    shader->Activate();
    shader->SetPointLight(-1, lamp);
    EXPECT_EQ(lastLogEntries(1),
              "Someone tries to set a PointLight with index: -1 (max PointLight count is: 8)\n");
    shader->SetSpotLightCount(5);
    EXPECT_EQ(lastLogEntries(1),
              "Someone tries to set a SpotLight count of: 5 (max SpotLight count is: 4)\n");
    glUseProgram(0);
}

TEST_F(IlluminationGLTest, LoopsOfKindsThatLightNothingAreLeftOut) {
    // A frame with only a directional light uses a program without the point
    // and spot loops; lights too faint to add anything measurable bring both
    // loops back, and the picture stays the same. Without a view every tile
    // holds every light, so those loops run over all lights, not the tiles'
    // lists.
    auto* sun = keep(new DirectionalLight(Vec3f(0.7f, 0.6f, 0.5f), true, Vec3f(0.3f, -1, 0.2f)));
    const Vec3f faint(1e-8f, 1e-8f, 1e-8f);
    auto* lamp = keep(new PointLight(faint, true, Vec4f(2, 1, -3, 1)));
    auto* spot =
        keep(new SpotLight(faint, true, Vec4f(-2, 4, 2, 1), Vec3f(0.2f, -1, 0), 0.5f, 2.0f));
    lamp->Update(Mat4f());
    spot->Update(Mat4f());
    fillGBuffer(0.3f, 20.0f);
    auto has = [this](char const* name) {
        const GLuint program = static_cast<GLuint>(
            Internal::IlluminationAccess::ActiveShader(*illumination)->getProgramHandle());
        return glGetUniformLocation(program, name) != -1;
    };
    const std::vector<float> a = light({{LIGHT_DIRECTIONAL, {sun}}});
    EXPECT_TRUE(has("directionalLightCount"));
    EXPECT_FALSE(has("pointLightCount"));
    EXPECT_FALSE(has("spotLightCount"));
    EXPECT_GT(red(a, N / 2, N / 2), 0.1f);
    const std::vector<float> b =
        light({{LIGHT_DIRECTIONAL, {sun}}, {LIGHT_POINT, {lamp}}, {LIGHT_SPOT, {spot}}});
    EXPECT_TRUE(has("pointLightCount"));
    EXPECT_TRUE(has("spotLightCount"));
    EXPECT_FALSE(has("lightTiles"));
    ASSERT_EQ(a.size(), b.size());
    for (size_t i = 0; i < a.size(); ++i) {
        ASSERT_NEAR(a[i], b[i], 1e-5f) << "value " << i;
    }
}

TEST_F(IlluminationGLTest, EveryProgramLightsAlike) {
    auto* sun = keep(new DirectionalLight(Vec3f(0.7f, 0.6f, 0.5f), true, Vec3f(0.3f, -1, 0.2f)));
    auto* lamp =
        keep(new PointLight(Vec3f(1, 0.5f, 0.2f), true, Vec4f(2, 1, -3, 1), Vec3f(1, 0.2f, 0.1f)));
    auto* spot = keep(
        new SpotLight(Vec3f(5, 5, 5), true, Vec4f(-2, 4, 2, 1), Vec3f(0.2f, -1, 0), 0.5f, 2.0f));
    // Shadow-casting lights too faint to add anything measurable select the
    // programs with point-light shadows, spot-light shadows or both (black
    // ones would take no slot).
    const Vec3f faint(1e-8f, 1e-8f, 1e-8f);
    auto* pointCaster = keep(new ShadowCastingPointLight(faint, false, Vec4f(0, 3, 0, 1), nullptr));
    auto* spotCaster = keep(new ShadowCastingSpotLight(faint, false, Vec4f(0, 5, 0, 1),
                                                       Vec3f(0, -1, 0), 0.3f, 2.0f, nullptr));
    pointCaster->Update(Mat4f());
    spotCaster->Update(Mat4f());
    lamp->Update(Mat4f());
    spot->Update(Mat4f());
    fillGBuffer(0.3f, 20.0f);
    Illumination::LightMap lightsOnly{
        {LIGHT_DIRECTIONAL, {sun}}, {LIGHT_POINT, {lamp}}, {LIGHT_SPOT, {spot}}};
    const std::vector<float> a = light(lightsOnly);
    EXPECT_GT(red(a, N / 2, N / 2), 0.1f);
    Illumination::LightMap const casters[3] = {
        {{LIGHT_SHADOW_POINT, {pointCaster}}},
        {{LIGHT_SHADOW_SPOT, {spotCaster}}},
        {{LIGHT_SHADOW_POINT, {pointCaster}}, {LIGHT_SHADOW_SPOT, {spotCaster}}}};
    for (int variant = 0; variant < 3; ++variant) {
        Illumination::LightMap visible = lightsOnly;
        visible.insert(casters[variant].begin(), casters[variant].end());
        const std::vector<float> b = light(visible);
        ASSERT_EQ(a.size(), b.size());
        for (size_t i = 0; i < a.size(); ++i) {
            ASSERT_NEAR(a[i], b[i], 1e-5f) << "variant " << variant << ", value " << i;
        }
    }
    // A frame with more casters than slots gets the program with every slot,
    // which lights alike too.
    Illumination::LightMap many = lightsOnly;
    many[LIGHT_SHADOW_POINT] = {pointCaster, pointCaster, pointCaster};
    many[LIGHT_SHADOW_SPOT] = {spotCaster, spotCaster, spotCaster, spotCaster, spotCaster};
    const std::vector<float> c = light(many);
    const GLuint program = static_cast<GLuint>(
        Internal::IlluminationAccess::ActiveShader(*illumination)->getProgramHandle());
    EXPECT_NE(glGetUniformLocation(program, "scPointLightShadowCubeMap_1"), -1);
    EXPECT_NE(glGetUniformLocation(program, "scSpotLightShadowMap_3"), -1);
    for (size_t i = 0; i < a.size(); ++i) {
        ASSERT_NEAR(a[i], c[i], 1e-5f) << "value " << i;
    }
}
