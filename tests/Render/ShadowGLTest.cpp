#include "Render/TestScene.h"
#include "Support/GLContext.h"

#include <Engine/Render/DeferredFrameBuffer.h>
#include <Engine/Render/EffectPlane.h>
#include <Engine/Render/HDRFrameBuffer.h>
#include <Engine/Render/Illumination.h>
#include <Engine/Render/Internal/ShaderPaths.h>
#include <Engine/Render/Shader/ShadowGaussShader.h>
#include <Engine/Render/Shader/ShadowShader.h>
#include <Engine/Render/ShadowMapFrameBuffer.h>
#include <Engine/Scene/GodRaySpotLight.h>
#include <Engine/Scene/Internal/ScreenCameraAccess.h>
#include <Engine/Scene/ShadowCastingPointLight.h>
#include <Engine/Scene/ShadowCastingSpotLight.h>
#include <Engine/Scene/ShadowCubeMapCamera.h>
#include <Engine/Scene/ShadowMapCamera.h>
#include <Engine/Util/EffectSettings.h>
#include <Engine/Util/Timer.h>
#include <GL/glew.h>
#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <vector>

using Engine::Scene::Internal::ScreenCameraAccess;
using namespace RenderTest;
using Engine::Scene::GodRaySpotLight;
using Engine::Scene::ShadowCastingPointLight;
using Engine::Scene::ShadowCastingSpotLight;
using Engine::Scene::ShadowCubeMapCamera;
using Engine::Scene::ShadowMapCamera;
using Engine::Util::EffectSettings;

namespace {

constexpr int W = 128;
constexpr int H = 128;

// The lit HDR image of the last frame (linear radiance, bottom row first).
struct Radiance {
    int width = 0;
    int height = 0;
    std::vector<float> rgba;
    float at(int x, int y) const {
        float const* p = &rgba[static_cast<size_t>((y * width + x) * 4)];
        return (p[0] + p[1] + p[2]) / 3.0f;
    }
};

Radiance readRadiance(Scene::ScreenCamera* camera) {
    Radiance r;
    r.width = static_cast<int>(camera->Width());
    r.height = static_cast<int>(camera->Height());
    r.rgba.resize(static_cast<size_t>(r.width * r.height * 4));
    glBindTexture(GL_TEXTURE_2D, ScreenCameraAccess::HDRTarget(*camera)->getColorTexID());
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_FLOAT, r.rgba.data());
    glBindTexture(GL_TEXTURE_2D, 0);
    return r;
}

// Whether the segment from a to b passes through the box [lo, hi].
bool segmentHitsBox(Vec3f const& a, Vec3f const& b, Vec3f const& lo, Vec3f const& hi) {
    float t0 = 0.0f;
    float t1 = 1.0f;
    const float from[3] = {a.X(), a.Y(), a.Z()};
    const float to[3] = {b.X(), b.Y(), b.Z()};
    const float low[3] = {lo.X(), lo.Y(), lo.Z()};
    const float high[3] = {hi.X(), hi.Y(), hi.Z()};
    for (int k = 0; k < 3; ++k) {
        const float d = to[k] - from[k];
        if (std::fabs(d) < 1e-9f) {
            if (from[k] < low[k] || from[k] > high[k]) {
                return false;
            }
            continue;
        }
        float ta = (low[k] - from[k]) / d;
        float tb = (high[k] - from[k]) / d;
        if (ta > tb) {
            std::swap(ta, tb);
        }
        t0 = std::max(t0, ta);
        t1 = std::min(t1, tb);
        if (t0 > t1) {
            return false;
        }
    }
    return true;
}

struct Box {
    Vec3f lo;
    Vec3f hi;
    Box grown(float margin) const {
        return {lo - Vec3f(margin, margin, margin), hi + Vec3f(margin, margin, margin)};
    }
};

// A grey floor under a shadow-casting spot light, seen from above.
struct SpotScene {
    static constexpr float LightHeight = 6.0f;
    static constexpr float HalfAngle = 0.6f;
    // The light aims from (4, 6, 0) at (-1, 0, 0), low enough for the box's
    // shadow to reach well beyond it.
    static Vec3f Axis() { return Vec3f::Normalize(Vec3f(-5.0f, -LightHeight, 0.0f)); }

    explicit SpotScene(std::vector<Box> const& boxes, bool castsShadow = true,
                       Vec3f const& eyeAt = Vec3f(-1.0f, 6.0f, 3.0f),
                       Vec3f const& lookingAt = Vec3f(-1.0f, 0.0f, 0.0f))
        : scene(W, H) {
        eye = eyeAt;
        scene.cameraPosition->Matrix(lookAt(eye, lookingAt));
        scene.addMesh(makeFloor(12.0f, 4, 1.0f), scene.colorMaterial(Vec3f(0.7f, 0.7f, 0.7f)),
                      Mat4f());
        for (Box const& b : boxes) {
            const Vec3f half = (b.hi - b.lo) * 0.5f;
            this->boxes.push_back(scene.addMesh(makeBox(half),
                                                scene.colorMaterial(Vec3f(0.7f, 0.7f, 0.7f)),
                                                translate((b.lo + b.hi) * 0.5f)));
        }
        light = Vec3f(4.0f, LightHeight, 0.0f);
        const Vec4f at(light.X(), light.Y(), light.Z(), 1.0f);
        const Vec3f dir = Axis();
        if (castsShadow) {
            spot = scene.addLight(new ShadowCastingSpotLight(
                Vec3f(3, 3, 3), false, at, dir, HalfAngle, 1.0f, Vec3f(1, 0, 0.01f), scene.world));
        } else {
            scene.addLight(new Scene::SpotLight(Vec3f(3, 3, 3), false, at, dir, HalfAngle, 1.0f,
                                                Vec3f(1, 0, 0.01f)));
        }
        scene.commitLights();
    }

    Radiance render(int frames = 2) {
        for (int i = 0; i < frames; ++i) {
            scene.frame();
        }
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
        return readRadiance(scene.camera);
    }

    // The pixel a floor point projects to; false when it is off screen.
    bool pixelOf(Vec3f const& p, int& x, int& y) const {
        const Vec4f clip = scene.camera->AbsoluteMatrix() * Vec4f(p.X(), p.Y(), p.Z(), 1.0f);
        if (clip.W() <= 0.0f) {
            return false;
        }
        x = static_cast<int>((clip.X() / clip.W() * 0.5f + 0.5f) * W);
        y = static_cast<int>((clip.Y() / clip.W() * 0.5f + 0.5f) * H);
        return x >= 1 && y >= 1 && x < W - 1 && y < H - 1;
    }

    TestScene scene;
    Vec3f eye;
    Vec3f light;
    ShadowCastingSpotLight* spot = nullptr;
    std::vector<Scene::Mesh*> boxes;
};

// Floor points on a grid, split into those certainly in a box's shadow and
// those certainly lit, leaving out points the camera cannot see and points
// near a shadow's edge.
struct Classified {
    std::vector<Vec3f> umbra;
    std::vector<Vec3f> lit;
};

Classified classify(SpotScene const& s, std::vector<Box> const& boxes) {
    Classified c;
    for (float x = -4.0f; x <= 4.0f; x += 0.125f) {
        for (float z = -3.0f; z <= 3.0f; z += 0.125f) {
            const Vec3f p(x, 0.0f, z);
            bool hidden = false;
            bool inside = false;
            bool near = false;
            for (Box const& b : boxes) {
                hidden = hidden || segmentHitsBox(p, s.eye, b.grown(0.1f).lo, b.grown(0.1f).hi);
                inside =
                    inside || segmentHitsBox(p, s.light, b.grown(-0.12f).lo, b.grown(-0.12f).hi);
                near = near || segmentHitsBox(p, s.light, b.grown(0.25f).lo, b.grown(0.25f).hi);
            }
            // Inside the cone, clear of its soft rim.
            const Vec3f toP = Vec3f::Normalize(p - s.light);
            const bool inCone =
                Vec3f::DotProd(toP, SpotScene::Axis()) > std::cos(SpotScene::HalfAngle - 0.08f);
            if (hidden || !inCone) {
                continue;
            }
            if (inside) {
                c.umbra.push_back(p);
            } else if (!near) {
                c.lit.push_back(p);
            }
        }
    }
    return c;
}

class ShadowGLTest : public TestSupport::GLTest {
protected:
    void SetUp() override {
        TestSupport::GLTest::SetUp();
        *EffectSettings::Instance() = EffectSettings();
    }
    void TearDown() override {
        *EffectSettings::Instance() = EffectSettings();
        glEnable(GL_DEPTH_TEST);
        glDepthMask(GL_TRUE);
        TestSupport::GLTest::TearDown();
    }
};

const std::vector<Box> OneBox = {{Vec3f(-1.0f, 0.0f, -0.6f), Vec3f(0.0f, 1.2f, 0.6f)}};

} // namespace

TEST_F(ShadowGLTest, SpotShadowFallsWhereGeometryPutsIt) {
    SpotScene withBox(OneBox);
    const Radiance shadowed = withBox.render();
    SpotScene without({});
    const Radiance open = without.render();
    const Classified points = classify(withBox, OneBox);
    ASSERT_GT(points.umbra.size(), 40u);
    ASSERT_GT(points.lit.size(), 400u);
    for (Vec3f const& p : points.umbra) {
        int x = 0;
        int y = 0;
        if (withBox.pixelOf(p, x, y)) {
            EXPECT_LT(shadowed.at(x, y), 0.1f * open.at(x, y)) << p;
        }
    }
    int checked = 0;
    for (Vec3f const& p : points.lit) {
        int x = 0;
        int y = 0;
        if (withBox.pixelOf(p, x, y)) {
            ASSERT_GT(open.at(x, y), 0.05f) << p;
            EXPECT_NEAR(shadowed.at(x, y), open.at(x, y), 0.02f * open.at(x, y)) << p;
            ++checked;
        }
    }
    EXPECT_GT(checked, 300);
}

TEST_F(ShadowGLTest, ShadowedLightMatchesAnUnshadowedOneWhereNothingIsInTheWay) {
    // No acne: without occluders the shadow-casting light lights the floor
    // as a plain spot light does, pixel for pixel.
    SpotScene shadowing({});
    const Radiance a = shadowing.render();
    SpotScene plain({}, false);
    const Radiance b = plain.render();
    int lit = 0;
    for (int y = 0; y < H; ++y) {
        for (int x = 0; x < W; ++x) {
            EXPECT_NEAR(a.at(x, y), b.at(x, y), 0.02f * b.at(x, y) + 1e-4f) << x << "," << y;
            lit += b.at(x, y) > 0.05f ? 1 : 0;
        }
    }
    EXPECT_GT(lit, W * H / 4);
}

TEST_F(ShadowGLTest, PenumbraIsAGradientNotAStep) {
    // Seen from close by: about 35 pixels per unit at the shadow's edge.
    const Vec3f eye(-2.3f, 3.0f, 1.2f);
    const Vec3f edge(-2.3f, 0.0f, 0.0f);
    SpotScene withBox(OneBox, true, eye, edge);
    const Radiance shadowed = withBox.render();
    SpotScene without({}, true, eye, edge);
    const Radiance open = without.render();
    // Walk across the shadow's far edge along -x at z = 0: the light is at
    // +x, so the shadow reaches beyond the box towards -x, to x = -2.25.
    int x0 = 0;
    int y0 = 0;
    int x1 = 0;
    int y1 = 0;
    ASSERT_TRUE(withBox.pixelOf(Vec3f(-1.9f, 0, 0), x0, y0));
    ASSERT_TRUE(withBox.pixelOf(Vec3f(-2.7f, 0, 0), x1, y1));
    int between = 0;
    const int steps = std::abs(x1 - x0) + std::abs(y1 - y0);
    float previous = 0.0f;
    for (int i = 0; i <= steps; ++i) {
        const int x = x0 + (x1 - x0) * i / steps;
        const int y = y0 + (y1 - y0) * i / steps;
        const float ratio = shadowed.at(x, y) / std::max(open.at(x, y), 1e-6f);
        EXPECT_GE(ratio, previous - 0.05f) << "not monotonic at step " << i;
        previous = std::max(previous, ratio);
        between += (ratio > 0.15f && ratio < 0.85f) ? 1 : 0;
    }
    EXPECT_LT(shadowed.at(x0, y0), 0.1f * open.at(x0, y0));
    EXPECT_GT(shadowed.at(x1, y1), 0.9f * open.at(x1, y1));
    EXPECT_GE(between, 3) << "the shadow's edge is a step";
}

TEST_F(ShadowGLTest, TheBlurFiltersBothMomentsOfTheLightMap) {
    // A light map of two depths side by side, a and b. A blur that filters
    // both moments linearly mixes only those two depths into each texel, so
    // m2 = (a + b) m1 - a b holds, and the texels beside the split keep the
    // spread of the two depths as variance.
    SpotScene s({});
    s.render(1);
    Engine::Render::ShadowMapFrameBuffer* map = s.spot->getShadowMapBuffer();
    const int size = map->getWidth();
    const float a = 0.25f;
    const float b = 0.75f;
    std::vector<float> moments(static_cast<size_t>(size * size * 2));
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const float d = x < size / 2 ? a : b;
            moments[static_cast<size_t>((y * size + x) * 2)] = d;
            moments[static_cast<size_t>((y * size + x) * 2 + 1)] = d * d;
        }
    }
    Engine::Util::Timer timer;
    s.spot->mapNeedsUpdate();
    s.spot->renderShadowMap(timer);
    glBindTexture(GL_TEXTURE_2D, map->getMoment2MapTexID());
    glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, size, size, GL_RG, GL_FLOAT, moments.data());
    Engine::Render::EffectPlane plane;
    namespace Paths = Engine::Render::ShaderPaths;
    Engine::Render::Shader::ShadowGaussShader gauss(Paths::ShadowGaussVert, Paths::ShadowGaussFrag);
    glDisable(GL_DEPTH_TEST);
    plane.enableVertexBO();
    s.spot->blurShadowMap(&plane, &gauss);
    plane.disableVertexBO();
    glBindTexture(GL_TEXTURE_2D, s.spot->getBluredShadowMapBuffer()->getDepthMapTexID());
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RG, GL_FLOAT, moments.data());
    glBindTexture(GL_TEXTURE_2D, 0);
    ASSERT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    // Along the middle row, every texel of the cone (the disc it makes in the
    // map) is blurred; those outside are never read.
    const float cone = std::tan(SpotScene::HalfAngle) /
                       std::tan(SpotScene::HalfAngle + 0.5f * ShadowCastingSpotLight::MapFovMargin);
    const int y = size / 2;
    int inCone = 0;
    for (int x = 0; x < size; ++x) {
        if (std::fabs((x + 0.5f) / static_cast<float>(size) * 2.0f - 1.0f) > cone) {
            continue;
        }
        const float m1 = moments[static_cast<size_t>((y * size + x) * 2)];
        const float m2 = moments[static_cast<size_t>((y * size + x) * 2 + 1)];
        EXPECT_NEAR(m2, (a + b) * m1 - a * b, 1e-4f) << "texel " << x;
        ++inCone;
    }
    EXPECT_GT(inCone, size * 8 / 10);
    for (int x : {size / 2 - 1, size / 2}) {
        const float m1 = moments[static_cast<size_t>((y * size + x) * 2)];
        const float m2 = moments[static_cast<size_t>((y * size + x) * 2 + 1)];
        EXPECT_GT(m2 - m1 * m1, 0.04f) << "texel " << x;
    }
}

TEST_F(ShadowGLTest, OverlappingOccludersStayDark) {
    // A small plate high above a large one: where both shadows overlap, the
    // variance of the blurred moments must not let light bleed through.
    // The small plate's shadow (x from -2.2 to -1.1) lies inside the large
    // one's (x from -2.5 to -0.3).
    const std::vector<Box> boxes = {{Vec3f(-1.4f, 0.8f, -1.2f), Vec3f(0.4f, 1.0f, 1.2f)},
                                    {Vec3f(1.1f, 3.0f, -0.3f), Vec3f(1.6f, 3.2f, 0.3f)}};
    SpotScene scene(boxes);
    const Radiance shadowed = scene.render();
    SpotScene without({});
    const Radiance open = without.render();
    const Classified points = classify(scene, boxes);
    int overlap = 0;
    for (Vec3f const& p : points.umbra) {
        const bool underSmall =
            segmentHitsBox(p, scene.light, boxes[1].grown(-0.05f).lo, boxes[1].grown(-0.05f).hi);
        int x = 0;
        int y = 0;
        if (underSmall && scene.pixelOf(p, x, y)) {
            EXPECT_LT(shadowed.at(x, y), 0.1f * open.at(x, y)) << p;
            ++overlap;
        }
    }
    EXPECT_GT(overlap, 4);
}

TEST_F(ShadowGLTest, MapsAreRedrawnOnlyOnRequest) {
    SpotScene s(OneBox);
    const Vec3f probe(-1.8f, 0.0f, 0.0f); // in the box's shadow (to x = -2.25)
    const Radiance first = s.render();
    int x = 0;
    int y = 0;
    ASSERT_TRUE(s.pixelOf(probe, x, y));
    const float dark = first.at(x, y);
    EXPECT_FALSE(s.spot->MapUpdatePending());
    // Move the box away: without a request the old shadow stays.
    auto* position = static_cast<Scene::PositionComponent*>(
        s.scene.world->SceneObjects()[2]->Components(::COMPONENT_POSITION));
    position->Matrix(translate(Vec3f(-0.5f, 0.6f, 2.5f)));
    EXPECT_NEAR(s.render().at(x, y), dark, 1e-4f);
    s.spot->mapNeedsUpdate();
    const float lit = s.render().at(x, y);
    EXPECT_GT(lit, 10.0f * std::max(dark, 1e-3f));
    // A switched-off light keeps its request and draws when it is on again.
    position->Matrix(translate(Vec3f(-0.5f, 0.6f, 0.0f)));
    s.spot->mapNeedsUpdate();
    s.spot->turnOff();
    s.render();
    EXPECT_TRUE(s.spot->MapUpdatePending());
    s.spot->turnOn();
    EXPECT_NEAR(s.render().at(x, y), dark, 0.01f * lit);
    EXPECT_FALSE(s.spot->MapUpdatePending());
}

namespace {

// A synthetic G-buffer showing one wall of a room around a point light: the
// inverse camera matrix maps the screen onto the wall's square.
class CubeShadowGLTest : public ShadowGLTest {
protected:
    static constexpr int N = 64;
    static constexpr float Half = 4.0f; // the walls are 4 from the light

    void SetUp() override {
        ShadowGLTest::SetUp();
        glDisable(GL_DEPTH_TEST);
        plane = new Engine::Render::EffectPlane();
        illumination = new Engine::Render::Illumination(plane, nullptr);
        gbuffer.init(N, N);
        gbuffer.check();
        target.init(N, N, false);
        target.check();
    }
    void TearDown() override {
        delete illumination;
        delete plane;
        ShadowGLTest::TearDown();
    }

    // Radiance of the wall whose outward axis is `axis` (tangents t1, t2 span
    // it from -Half to Half).
    std::vector<float> litWall(Vec3f const& axis, Vec3f const& t1, Vec3f const& t2,
                               Scene::World& world) {
        gbuffer.enable();
        glDisable(GL_FRAMEBUFFER_SRGB);
        const float diffuse[4] = {0.5f, 0.5f, 0.5f, 1.0f};
        const float specular[4] = {0, 0, 0, 0};
        const float normal[4] = {-axis.X(), -axis.Y(), -axis.Z(), 1.0f};
        const float emission[4] = {0, 0, 0, 0};
        glClearBufferfv(GL_COLOR, 0, diffuse);
        glClearBufferfv(GL_COLOR, 1, specular);
        glClearBufferfv(GL_COLOR, 2, normal);
        glClearBufferfv(GL_COLOR, 3, emission);
        const float depth = 0.5f;
        glClearBufferfv(GL_DEPTH, 0, &depth);
        glEnable(GL_FRAMEBUFFER_SRGB);
        gbuffer.disable();
        const Vec3f c = axis * Half;
        const float m[16] = {t1.X() * Half,
                             t1.Y() * Half,
                             t1.Z() * Half,
                             0,
                             t2.X() * Half,
                             t2.Y() * Half,
                             t2.Z() * Half,
                             0,
                             0,
                             0,
                             0,
                             0,
                             c.X(),
                             c.Y(),
                             c.Z(),
                             1};
        target.enable();
        const float black[4] = {0, 0, 0, 0};
        glClearBufferfv(GL_COLOR, 0, black);
        Engine::Render::Illumination::LightMap const& lights = world.Lights();
        illumination->illuminat(&gbuffer, Vec4f(0, 0, 0, 1), Mat4f(m), lights);
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
        std::vector<float> pixels(N * N * 4);
        glBindTexture(GL_TEXTURE_2D, target.getColorTexID());
        glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_FLOAT, pixels.data());
        glBindTexture(GL_TEXTURE_2D, 0);
        return pixels;
    }

    // Red channel at wall coordinates (a, b) in [-1, 1].
    static float at(std::vector<float> const& pixels, float a, float b) {
        const int x = std::min(N - 1, static_cast<int>((a * 0.5f + 0.5f) * N));
        const int y = std::min(N - 1, static_cast<int>((b * 0.5f + 0.5f) * N));
        return pixels[static_cast<size_t>((y * N + x) * 4)];
    }

    Engine::Render::EffectPlane* plane = nullptr;
    Engine::Render::Illumination* illumination = nullptr;
    Engine::Render::DeferredFrameBuffer gbuffer;
    Engine::Render::ColorFrameBuffer target;
};

} // namespace

TEST_F(CubeShadowGLTest, EachFaceShadowsItsOwnDirection) {
    // Six small occluders around the light, each 1.5 out along one axis and
    // shifted off-centre along that face's tangents, so a wrong face matrix
    // (mirrored or rotated) puts the shadow elsewhere.
    struct Face {
        Vec3f axis, t1, t2;
    };
    const Face faces[6] = {{Vec3f(1, 0, 0), Vec3f(0, 0, 1), Vec3f(0, 1, 0)},
                           {Vec3f(-1, 0, 0), Vec3f(0, 0, 1), Vec3f(0, 1, 0)},
                           {Vec3f(0, 1, 0), Vec3f(1, 0, 0), Vec3f(0, 0, 1)},
                           {Vec3f(0, -1, 0), Vec3f(1, 0, 0), Vec3f(0, 0, 1)},
                           {Vec3f(0, 0, 1), Vec3f(1, 0, 0), Vec3f(0, 1, 0)},
                           {Vec3f(0, 0, -1), Vec3f(1, 0, 0), Vec3f(0, 1, 0)}};
    // Shadow centre in wall coordinates (-1 to 1 across the wall): offsets
    // 0.6 and 0.2 at distance 1.5 project to (0.4, 0.13); the shadow is 0.2
    // wide.
    const float u = 0.6f;
    const float v = 0.2f;
    Scene::World world;
    std::vector<Scene::SceneObject*> occluders;
    MaterialLibrary library;
    for (Face const& f : faces) {
        const Vec3f centre = f.axis * 1.5f + f.t1 * u + f.t2 * v;
        auto* material = new Materials::Material(library.color, 2);
        material->Parts()[0] = new Materials::DiffuseColorPart(Vec3f(1, 1, 1));
        material->Parts()[1] = new Materials::SpecularColorPart(Vec3f(0, 0, 0), 1);
        std::map<UVCoordMapping, unsigned char> mapping;
        auto* mesh =
            new Scene::Mesh(makeBox(Vec3f(0.15f, 0.15f, 0.15f)).upload(), material, mapping);
        auto* object = new Scene::SceneObject();
        auto* position = new Scene::PositionComponent(object);
        position->Matrix(translate(centre));
        object->Components()[::COMPONENT_POSITION] = position;
        object->Components()[::COMPONENT_MESH_DRAW] = new Scene::MeshDrawComponent(mesh, object);
        world.AddSceneObject(object);
    }
    auto* lightObject = new Scene::SceneObject();
    lightObject->Components()[::COMPONENT_POSITION] = new Scene::PositionComponent(lightObject);
    auto* lights = new Scene::LightComponent(lightObject);
    lightObject->Components()[::COMPONENT_LIGHT] = lights;
    auto* light = new ShadowCastingPointLight(Vec3f(4, 4, 4), false, Vec4f(0, 0, 0, 1),
                                              Vec3f(1, 0, 0.05f), &world);
    lights->Lights().push_back(light);
    world.AddSceneObject(lightObject);
    world.Update(0.0f);
    Engine::Util::Timer timer(Engine::Util::Timer::FixedStepSource(1.0 / 60.0),
                              Engine::Util::Timer::FixedStepTicksPerSecond);
    illumination->renderMaps(timer, world.Lights());
    EXPECT_FALSE(light->MapUpdatePending());
    const float s = 1.5f / 1.5f * 4.0f / Half; // projection factor onto the wall
    for (int i = 0; i < 6; ++i) {
        Face const& f = faces[i];
        const std::vector<float> wall = litWall(f.axis, f.t1, f.t2, world);
        const float a = u / 1.5f * s;
        const float b = v / 1.5f * s;
        const float lit = at(wall, -a, -b);
        EXPECT_GT(lit, 0.05f) << "face " << i;
        EXPECT_LT(at(wall, a, b), 0.1f * lit) << "face " << i << ": no shadow where expected";
        EXPECT_GT(at(wall, -a, b), 0.8f * lit) << "face " << i << ": mirrored shadow";
        EXPECT_GT(at(wall, a, -b), 0.8f * lit) << "face " << i << ": mirrored shadow";
        EXPECT_GT(at(wall, b, a), 0.8f * lit) << "face " << i << ": rotated shadow";
    }
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(ShadowGLTest, ShadowProgramsAreSharedPerSlot) {
    Scene::World world;
    const Vec4f at(0, 5, 0, 1);
    const Vec3f down(0, -1, 0);
    auto* a = new ShadowCastingSpotLight(Vec3f(1, 1, 1), false, at, down, 0.3f, 1.0f, &world);
    auto* b = new ShadowCastingSpotLight(Vec3f(1, 1, 1), false, at, down, 0.3f, 1.0f, &world);
    auto* g =
        new GodRaySpotLight(Vec3f(1, 1, 1), false, at, down, 0.3f, 1.0f, Vec3f(1, 0, 0), &world);
    EXPECT_EQ(ShadowMapCamera::ShaderUsageCount(LIGHT_SHADOW_SPOT), 2);
    EXPECT_EQ(ShadowMapCamera::ShaderUsageCount(LIGHT_GOD_RAY_SPOT), 1);
    ASSERT_NE(ShadowMapCamera::SlotShader(LIGHT_SHADOW_SPOT), nullptr);
    ASSERT_NE(ShadowMapCamera::SlotShader(LIGHT_GOD_RAY_SPOT), nullptr);
    EXPECT_NE(ShadowMapCamera::SlotShader(LIGHT_SHADOW_SPOT),
              ShadowMapCamera::SlotShader(LIGHT_GOD_RAY_SPOT));
    EXPECT_EQ(a->MapCamera()->getShadowShader(), b->MapCamera()->getShadowShader());
    EXPECT_TRUE(ShadowMapCamera::SlotShader(LIGHT_SHADOW_SPOT)->IsLinked());
    EXPECT_TRUE(ShadowMapCamera::SlotShader(LIGHT_GOD_RAY_SPOT)->IsLinked());
    delete a;
    EXPECT_NE(ShadowMapCamera::SlotShader(LIGHT_SHADOW_SPOT), nullptr);
    delete b;
    EXPECT_EQ(ShadowMapCamera::SlotShader(LIGHT_SHADOW_SPOT), nullptr);
    EXPECT_NE(ShadowMapCamera::SlotShader(LIGHT_GOD_RAY_SPOT), nullptr);
    delete g;
    EXPECT_EQ(ShadowMapCamera::SlotShader(LIGHT_GOD_RAY_SPOT), nullptr);

    auto* p = new ShadowCastingPointLight(Vec3f(1, 1, 1), false, at, &world);
    auto* q = new ShadowCastingPointLight(Vec3f(1, 1, 1), false, at, &world);
    EXPECT_EQ(ShadowCubeMapCamera::ShaderUsageCount(), 2);
    EXPECT_EQ(p->CubeMapCamera()->getShadowShader(), q->CubeMapCamera()->getShadowShader());
    ASSERT_NE(p->CubeMapCamera()->getShadowShader(), nullptr);
    EXPECT_TRUE(p->CubeMapCamera()->getShadowShader()->IsLinked());
    delete p;
    EXPECT_NE(q->CubeMapCamera()->getShadowShader(), nullptr);
    delete q;
    EXPECT_EQ(ShadowCubeMapCamera::ShaderUsageCount(), 0);
}
