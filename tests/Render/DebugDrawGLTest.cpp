#include "Render/ImageCompare.h"
#include "Render/TestScene.h"
#include "Support/GLContext.h"

#include <Engine/Render/Shader/ForwardShader.h>
#include <Engine/Scene/Collision/AxisAlignedBox.h>
#include <Engine/Scene/Collision/OrientedBox.h>
#include <Engine/Scene/CollisionComponent.h>
#include <Engine/Scene/MeshDrawComponent.h>
#include <Engine/Scene/PathAnimationComponent.h>
#include <Engine/Util/CurvePoint.h>
#include <Engine/Util/DebugDrawSettings.h>
#include <Engine/Util/EffectSettings.h>
#include <Engine/Util/Logger.h>
#include <GL/glew.h>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

using namespace RenderTest;
using Engine::Scene::Collision::AxisAlignedBox;
using Engine::Scene::Collision::OrientedBox;
using Engine::Util::CurvePoint;
using Engine::Util::EffectSettings;

namespace {

using Pixel = unsigned char const*;
using PixelTest = std::function<bool(Pixel)>;

bool yellow(Pixel p) {
    return p[0] > 200 && p[1] > 200 && p[2] < 60;
}
bool red(Pixel p) {
    return p[0] > 200 && p[1] < 60 && p[2] < 60;
}
// (1, 0.8, 0): green clearly below the box's yellow.
bool orange(Pixel p) {
    return p[0] > 200 && p[1] > 150 && p[1] < 245 && p[2] < 60;
}
bool cyan(Pixel p) {
    return p[0] < 60 && p[1] > 200 && p[2] > 200;
}
bool magenta(Pixel p) {
    return p[0] > 200 && p[1] < 60 && p[2] > 200;
}
bool lit(Pixel p) {
    return p[0] > 24 || p[1] > 24 || p[2] > 24;
}

// Whether a pixel within radius of (x, y) passes the test.
bool near(Image const& image, float x, float y, int radius, PixelTest const& test) {
    const int cx = static_cast<int>(std::lround(x));
    const int cy = static_cast<int>(std::lround(y));
    for (int j = cy - radius; j <= cy + radius; ++j) {
        for (int i = cx - radius; i <= cx + radius; ++i) {
            if (i >= 0 && j >= 0 && i < image.width && j < image.height && test(image.at(i, j))) {
                return true;
            }
        }
    }
    return false;
}

struct Box2 {
    int x0 = 1 << 30, y0 = 1 << 30, x1 = -1, y1 = -1;
    int width() const { return x1 - x0 + 1; }
    int height() const { return y1 - y0 + 1; }
    float cx() const { return 0.5f * static_cast<float>(x0 + x1 + 1); }
    float cy() const { return 0.5f * static_cast<float>(y0 + y1 + 1); }
};

// The bounds of the pixels passing the test within radius of (x, y).
Box2 bounds(Image const& image, float x, float y, int radius, PixelTest const& test) {
    Box2 box;
    for (int j = static_cast<int>(y) - radius; j <= static_cast<int>(y) + radius; ++j) {
        for (int i = static_cast<int>(x) - radius; i <= static_cast<int>(x) + radius; ++i) {
            if (i >= 0 && j >= 0 && i < image.width && j < image.height && test(image.at(i, j))) {
                box.x0 = std::min(box.x0, i);
                box.y0 = std::min(box.y0, j);
                box.x1 = std::max(box.x1, i);
                box.y1 = std::max(box.y1, j);
            }
        }
    }
    return box;
}

// The twelve edges of the box with a corner and three edge vectors, as
// pairs of end points: from each corner along each axis it does not use yet.
std::vector<Vec3f> boxEdges(Vec3f const& corner, Vec3f const& u, Vec3f const& v, Vec3f const& w) {
    std::vector<Vec3f> ends;
    Vec3f const axes[3] = {u, v, w};
    for (int bits = 0; bits < 8; ++bits) {
        const Vec3f from = corner + u * static_cast<float>(bits & 1) +
                           v * static_cast<float>((bits >> 1) & 1) +
                           w * static_cast<float>((bits >> 2) & 1);
        for (int axis = 0; axis < 3; ++axis) {
            if ((bits & (1 << axis)) == 0) {
                ends.push_back(from);
                ends.push_back(from + axes[axis]);
            }
        }
    }
    return ends;
}

CurvePoint** line(Vec3f from, Vec3f to, float duration) {
    return new CurvePoint* [2] { new CurvePoint(from, 0.0f), new CurvePoint(to, duration) };
}

class DebugDrawGLTest : public TestSupport::GLTest {
protected:
    void SetUp() override {
        TestSupport::GLTest::SetUp();
        *EffectSettings::Instance() = EffectSettings();
    }
    void TearDown() override {
        *EffectSettings::Instance() = EffectSettings();
        glEnable(GL_DEPTH_TEST);
        glDepthMask(GL_TRUE);
        glDepthRange(0.0, 1.0);
        glDisable(GL_BLEND);
        TestSupport::GLTest::TearDown();
    }

    static Image render(TestScene& scene, int frames = 2) {
        for (int i = 0; i < frames; ++i) {
            scene.frame();
        }
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
        return readFramebuffer(static_cast<int>(scene.camera->Width()),
                               static_cast<int>(scene.camera->Height()));
    }

    // Window position (top row first) of a world point in the last frame.
    static Vec2f project(TestScene const& scene, Vec3f const& p) {
        const Vec4f clip = scene.camera->AbsoluteMatrix() * Vec4f(p, 1.0f);
        const float w = static_cast<float>(scene.camera->Width());
        const float h = static_cast<float>(scene.camera->Height());
        return Vec2f((clip.X() / clip.W() * 0.5f + 0.5f) * w,
                     (0.5f - clip.Y() / clip.W() * 0.5f) * h);
    }

    // Counts the segments checked; expects each sample point of each edge to
    // be drawn by the test, or, where a wall covers it, not to show at all.
    static void expectEdges(TestScene const& scene, Image const& image,
                            std::vector<Vec3f> const& ends, PixelTest const& colour,
                            PixelTest const& wall, int* shown, int* hidden) {
        ASSERT_EQ(ends.size(), 24u);
        for (size_t e = 0; e < ends.size(); e += 2) {
            for (float t : {0.25f, 0.5f, 0.75f}) {
                const Vec2f p = project(scene, ends[e] + (ends[e + 1] - ends[e]) * t);
                if (!near(image, p.X(), p.Y(), 3, [&](Pixel q) { return !wall(q); })) {
                    EXPECT_FALSE(near(image, p.X(), p.Y(), 1, colour))
                        << "edge " << e / 2 << " at " << t << " shows through the wall";
                    ++*hidden;
                } else if (!near(image, p.X(), p.Y(), 3, wall)) {
                    EXPECT_TRUE(near(image, p.X(), p.Y(), 2, colour))
                        << "edge " << e / 2 << " at " << t << " missing near " << p.X() << ", "
                        << p.Y();
                    ++*shown;
                }
            }
        }
    }
};

} // namespace

TEST_F(DebugDrawGLTest, BoxEdgesFollowTheirCornersAndHideBehindAWall) {
    // A cube of edge 3 turned about y: its axis-aligned box encloses it.
    auto* node = new Scene::Mesh();
    Scene::Mesh& mesh = *node;
    mesh.Matrix(translate(Vec3f(0.5f, 1.5f, 0.0f)) * Mat4f::RotateY(0.45f));
    mesh.Update(Mat4f());
    mesh.Boundings(new AxisAlignedBox(new OrientedBox(Vec4f(-1.5f, -1.5f, -1.5f, 1), Vec3f(3, 0, 0),
                                                      Vec3f(0, 3, 0), Vec3f(0, 0, 3), &mesh)));
    TestScene scene(160, 120);
    // A glowing blue wall in front of the left part of the boxes.
    scene.addMesh(makeFloor(3.0f, 1, 1.0f), scene.colorMaterial(Vec3f(0, 0, 1), 4.0f),
                  translate(Vec3f(-1.6f, 1.0f, 3.0f)) * Mat4f::RotateX(Pi / 2.0f));
    auto* object = new Scene::SceneObject();
    object->Components()[::COMPONENT_POSITION] = new Scene::PositionComponent(object);
    // The collision component follows the boxes of the object's meshes.
    object->Components()[::COMPONENT_MESH_DRAW] = new Scene::MeshDrawComponent(node, object);
    object->Components()[::COMPONENT_COLLISION] = new Scene::CollisionComponent(object);
    scene.world->AddSceneObject(object);
    scene.world->DrawDebug(true);
    const Image image = render(scene);

    AxisAlignedBox const& box = *mesh.Boundings();
    const Vec3f size = box.Max() - box.Min();
    OrientedBox const& obb = *box.Box();
    const std::vector<Vec3f> aabb =
        boxEdges(box.Min(), Vec3f(size.X(), 0, 0), Vec3f(0, size.Y(), 0), Vec3f(0, 0, size.Z()));
    const std::vector<Vec3f> oriented =
        boxEdges(Vec3f(obb.WorldLocation()), obb.WorldAxis1(), obb.WorldAxis2(), obb.WorldAxis3());
    const auto wall = [](Pixel p) { return p[2] > 60 && p[2] > p[0] + 40; };
    int shown = 0;
    int hidden = 0;
    expectEdges(scene, image, aabb, yellow, wall, &shown, &hidden);
    expectEdges(scene, image, oriented, red, wall, &shown, &hidden);
    EXPECT_GT(shown, 30);
    EXPECT_GT(hidden, 6);
}

TEST_F(DebugDrawGLTest, LightIconsSitAtTheLightsAndStaySquare) {
    for (auto size : {std::pair<unsigned, unsigned>(256, 128), {128, 256}}) {
        TestScene scene(size.first, size.second);
        scene.cameraPosition->Matrix(lookAt(Vec3f(0, 1, 8), Vec3f(0, 1, 0)));
        const Vec3f pointAt(-1.5f, 1.5f, 0.0f);
        const Vec3f spotAt(1.0f, 0.0f, 0.0f);
        scene.addLight(new Scene::PointLight(Vec3f(1, 1, 1), false, Vec4f(pointAt, 1.0f)));
        // A spot light is a positional light: an icon, not an arrow.
        scene.addLight(new Scene::SpotLight(Vec3f(1, 1, 1), false, Vec4f(spotAt, 1.0f),
                                            Vec3f(0, -1, 0), 0.4f, 2.0f));
        scene.commitLights();
        scene.world->DrawDebug(true);
        const Image image = render(scene);
        // The icon's glow fills 60 of its 64 texels, across 0.06 of the width.
        const float expected = 0.06f * static_cast<float>(size.first) * 60.0f / 64.0f;
        for (Vec3f const& at : {pointAt, spotAt}) {
            const Vec2f p = project(scene, at);
            const Box2 icon = bounds(image, p.X(), p.Y(), 24, lit);
            SCOPED_TRACE(std::to_string(size.first) + "x" + std::to_string(size.second));
            EXPECT_NEAR(icon.cx(), p.X(), 1.5f);
            EXPECT_NEAR(icon.cy(), p.Y(), 1.5f);
            EXPECT_NEAR(icon.width(), icon.height(), 1);
            EXPECT_NEAR(static_cast<float>(icon.width()), expected, 2.0f);
        }
        EXPECT_FALSE(near(image, 0, 0, 1 << 12, orange));
    }
}

TEST_F(DebugDrawGLTest, EveryDirectionalLightGetsACompleteArrow) {
    TestScene scene(256, 192);
    // Facing the arrows' base (0, 10, 0) from 3 units away.
    scene.cameraPosition->Matrix(lookAt(Vec3f(0, 10, 3), Vec3f(0, 10, 0)));
    const Vec3f directions[2] = {Vec3f(0, -1.5f, 0), Vec3f(1.2f, 1.0f, 0)};
    for (Vec3f const& d : directions) {
        scene.addLight(new Scene::DirectionalLight(Vec3f(1, 1, 1), false, d));
    }
    scene.commitLights();
    scene.world->DrawDebug(true);
    const Image image = render(scene);
    const Vec3f base(0, 10, 0);
    for (Vec3f const& d : directions) {
        const Vec3f tip = base + d;
        const Vec3f barbs[2] = {base + d * 0.9f + Vec3f(0.1f, 0, 0),
                                base + d * 0.9f - Vec3f(0.1f, 0, 0)};
        for (float t : {0.2f, 0.5f, 0.8f}) {
            const Vec2f shaft = project(scene, base + d * t);
            EXPECT_TRUE(near(image, shaft.X(), shaft.Y(), 1, orange)) << "shaft at " << t;
        }
        for (Vec3f const& barb : barbs) {
            const Vec2f p = project(scene, barb + (tip - barb) * 0.3f);
            EXPECT_TRUE(near(image, p.X(), p.Y(), 1, orange)) << "barb of " << d.X();
        }
    }
}

TEST_F(DebugDrawGLTest, PathsShowAsTenthSecondDashesAndSightLines) {
    TestScene scene(256, 192);
    scene.cameraPosition->Matrix(lookAt(Vec3f(0, 0.75f, 4), Vec3f(0, 0.75f, 0)));
    // Straight paths of 2.5 s at constant speed: samples every 0.1 s up to
    // 1.9 s, paired into ten dashes.
    auto* object = new Scene::SceneObject();
    object->Components()[::COMPONENT_POSITION] = new Scene::PositionComponent(object);
    object->Components()[::COMPONENT_PATH_ANIMATION] = new Scene::PathAnimationComponent(
        line(Vec3f(-2, 0, 0), Vec3f(2, 0, 0), 2.5f), 2,
        line(Vec3f(-2, 1.5f, 0), Vec3f(2, 1.5f, 0), 2.5f), 2, object);
    scene.world->AddSceneObject(object);
    scene.world->DrawDebug(true);
    const Image image = render(scene);

    // Runs of the colour along the path, each key point's dot included.
    const auto runs = [&](float y, PixelTest const& colour) {
        const Vec2f from = project(scene, Vec3f(-2.2f, y, 0));
        const Vec2f to = project(scene, Vec3f(2.2f, y, 0));
        int count = 0;
        bool inside = false;
        for (int x = static_cast<int>(from.X()); x <= static_cast<int>(to.X()); ++x) {
            const bool on = near(image, static_cast<float>(x), from.Y(), 0, colour) ||
                            near(image, static_cast<float>(x), from.Y() - 1.0f, 0, colour) ||
                            near(image, static_cast<float>(x), from.Y() + 1.0f, 0, colour);
            count += on && !inside ? 1 : 0;
            inside = on;
        }
        return count;
    };
    // Ten dashes, the first starting in the first key point's dot, and the
    // last key point's dot.
    EXPECT_EQ(runs(0.0f, cyan), 11);
    EXPECT_EQ(runs(1.5f, magenta), 11);
    // Nothing between the last dash (ending at 1.9 s, x = 1.04) and the end dot.
    for (float x = 1.15f; x < 1.8f; x += 0.05f) {
        const Vec2f p = project(scene, Vec3f(x, 0, 0));
        EXPECT_FALSE(near(image, p.X(), p.Y(), 1, cyan)) << "at x = " << x;
    }
    // One sight line, at t = 0, from one path to the other.
    for (float y : {0.4f, 0.75f, 1.1f}) {
        const Vec2f p = project(scene, Vec3f(-2, y, 0));
        EXPECT_TRUE(near(image, p.X(), p.Y(), 1, cyan)) << "sight line at y = " << y;
        const Vec2f later = project(scene, Vec3f(-2 + 1.6f * 3.0f / 2.5f, y, 0));
        EXPECT_FALSE(near(image, later.X(), later.Y(), 2, cyan));
    }
}

TEST_F(DebugDrawGLTest, AnObjectsLightIsDrawnBeforeItsPath) {
    TestScene scene(256, 192);
    scene.cameraPosition->Matrix(lookAt(Vec3f(0, 0, 4), Vec3f(0, 0, 0)));
    // The object rests at the start of its path looking down -z; its light
    // sits half a unit in front of the path. Drawn first, the icon's glow
    // hides the path behind it; drawn after, the glow would tint the path.
    auto* object = new Scene::SceneObject();
    object->Components()[::COMPONENT_POSITION] = new Scene::PositionComponent(object);
    auto* lights = new Scene::LightComponent(object);
    auto* lamp = new Scene::PointLight(Vec3f(1, 1, 1), false, Vec4f(1.2f, 0, 0.5f, 1));
    lights->Lights().push_back(lamp);
    object->Components()[::COMPONENT_LIGHT] = lights;
    object->Components()[::COMPONENT_PATH_ANIMATION] = new Scene::PathAnimationComponent(
        line(Vec3f(-1.5f, 0, 0), Vec3f(2.5f, 0, 0), 100.0f), 2,
        line(Vec3f(-1.5f, 0, -5), Vec3f(2.5f, 0, -5), 100.0f), 2, object);
    scene.world->AddSceneObject(object);
    scene.world->DrawDebug(true);
    const Image image = render(scene, 3);

    const Vec2f icon = project(scene, Vec3f(lamp->WorldLocation()));
    const Box2 glow =
        bounds(image, icon.X(), icon.Y(), 30, [](Pixel p) { return p[0] > p[2] + 20; });
    ASSERT_GT(glow.width(), 12);
    EXPECT_TRUE(near(image, icon.X() - 40.0f, icon.Y(), 1, cyan)) << "the path is drawn";
    EXPECT_FALSE(near(image, glow.cx(), glow.cy(), glow.width() / 2 - 1, [](Pixel p) {
        return p[2] > p[0] + 30;
    })) << "the path shows through the icon";
}

TEST_F(DebugDrawGLTest, InsetShowsTheNormalBufferOnlyWhenSelected) {
    TestScene scene(160, 120);
    // A floor: normals (0, 1, 0) over the lower part of the window.
    scene.addMesh(makeFloor(16.0f, 1, 1.0f), scene.colorMaterial(Vec3f(0.5f, 0.5f, 0.5f), 1.0f),
                  Mat4f(), false);
    scene.commitLights();
    const Image plain = render(scene);
    scene.world->DrawDebug(true);
    Engine::Util::DebugDrawSettings& settings = scene.world->DebugDrawSettings();
    settings.RenderTargetNumber(2); // masked to 0: no inset
    EXPECT_EQ(compare(render(scene, 1), plain, 0).differing, 0);
    settings.RenderTargetNumber(3); // masked to 1: the normals
    const Image inset = render(scene, 1);
    // The inset spans 0.1 to 0.9 in device coordinates: pixels 88 to 152 and
    // rows 6 to 54 (top first); a window fraction maps to the same fraction of it.
    for (int y = 0; y < 120; y += 3) {
        for (int x = 0; x < 160; x += 3) {
            const bool inside = x > 89 && x < 151 && y > 7 && y < 53;
            const bool outside = x < 87 || y > 55;
            Pixel p = inset.at(x, y);
            if (outside) {
                ASSERT_EQ(std::memcmp(p, plain.at(x, y), 3), 0) << x << ", " << y;
            }
            if (!inside) {
                continue;
            }
            // The G-buffer texel under this inset pixel: up (0, 1, 0) shown as
            // (0.5, 1, 0.5) where the floor is, (0.5, 0.5, 0.5) elsewhere.
            const int sx = (x - 88) * 160 / 64;
            const int sy = (y - 6) * 120 / 48;
            const bool floor = lit(plain.at(sx, sy));
            if (floor != lit(plain.at(sx, std::max(sy - 3, 0))) ||
                floor != lit(plain.at(sx, std::min(sy + 3, 119)))) {
                continue; // the horizon
            }
            const bool up = p[1] > 240 && p[0] > 150 && p[0] < 215 && p[2] > 150 && p[2] < 215;
            const bool none = p[1] < 215 && p[0] > 150 && std::abs(p[0] - p[1]) < 3;
            EXPECT_TRUE(floor ? up : none) << x << ", " << y;
        }
    }
}

TEST_F(DebugDrawGLTest, TogglingOverlaysChangesNothingElse) {
    TestScene toggled(160, 120);
    toggled.buildReferenceScene();
    TestScene untouched(160, 120);
    untouched.buildReferenceScene();
    ASSERT_EQ(compare(render(toggled, 10), render(untouched, 10), 0).differing, 0);

    toggled.world->DrawDebug(true);
    const Image overlays = render(toggled, 1);
    // The overlay state stays after the frame ...
    GLfloat range[2] = {};
    glGetFloatv(GL_DEPTH_RANGE, range);
    EXPECT_FLOAT_EQ(range[0], 0.0f);
    EXPECT_NEAR(range[1], 0.999f, 1e-6);
    EXPECT_TRUE(glIsEnabled(GL_BLEND));
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));
    GLint value = 0;
    glGetIntegerv(GL_BLEND_SRC_RGB, &value);
    EXPECT_EQ(value, GL_SRC_ALPHA);
    glGetIntegerv(GL_BLEND_DST_RGB, &value);
    EXPECT_EQ(value, GL_ONE_MINUS_SRC_ALPHA);
    glGetIntegerv(GL_CURRENT_PROGRAM, &value);
    EXPECT_EQ(value, 0);
    GLboolean mask = GL_FALSE;
    glGetBooleanv(GL_DEPTH_WRITEMASK, &mask);
    EXPECT_EQ(mask, GL_TRUE);
    EXPECT_GT(compare(overlays, render(untouched, 1), 0).differing, 50) << "no light icons";

    // ... and the next frame without overlays is the frame that never had them.
    toggled.world->DrawDebug(false);
    const Image after = render(toggled, 1);
    EXPECT_EQ(compare(after, render(untouched, 1), 0).differing, 0);
    glGetFloatv(GL_DEPTH_RANGE, range);
    EXPECT_FLOAT_EQ(range[1], 1.0f);
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
}

TEST_F(DebugDrawGLTest, AMissingIconIsLoggedAndTheFrameGoesOn) {
    // A working folder whose ../../ holds the shaders but no textures.
    char rootName[] = "/tmp/debugDrawXXXXXX";
    ASSERT_NE(mkdtemp(rootName), nullptr);
    const std::string root = rootName;
    char* shaders = realpath("../../TestData/Shader", nullptr);
    char* engineData = realpath("../../EngineData", nullptr);
    char* here = getcwd(nullptr, 0);
    ASSERT_TRUE(shaders != nullptr && engineData != nullptr && here != nullptr);
    ASSERT_EQ(mkdir((root + "/TestData").c_str(), 0755), 0);
    ASSERT_EQ(symlink(shaders, (root + "/TestData/Shader").c_str()), 0);
    ASSERT_EQ(symlink(engineData, (root + "/EngineData").c_str()), 0);
    ASSERT_EQ(mkdir((root + "/run").c_str(), 0755), 0);
    ASSERT_EQ(mkdir((root + "/run/bin").c_str(), 0755), 0);

    Engine::Util::Logger* log = Engine::Util::Logger::Instance();
    const int before = log->Position();
    ASSERT_EQ(chdir((root + "/run/bin").c_str()), 0);
    auto* scene = new TestScene(160, 120);
    EXPECT_EQ(chdir(here), 0);
    std::vector<std::string> entries;
    for (int i = before; i < log->Position(); ++i) {
        entries.emplace_back(log->Get(i));
    }
    EXPECT_EQ(entries,
              (std::vector<std::string>{"FATAL Cannot find PNG-File",
                                        "Location: ../../TestData/Textures/lamp_icon.png"}));
    EXPECT_NE(scene->world->DebugDrawSettings().IconPointLight(), nullptr);
    EXPECT_NE(scene->world->DebugDrawSettings().SpriteShader()->getProgramHandle(), 0);
    scene->addLight(new Scene::PointLight(Vec3f(1, 1, 1), false, Vec4f(0, 1, 0, 1)));
    scene->commitLights();
    scene->world->DrawDebug(true);
    render(*scene);
    delete scene;

    unlink((root + "/TestData/Shader").c_str());
    unlink((root + "/EngineData").c_str());
    for (char const* folder : {"/run/bin", "/run", "/TestData", ""}) {
        rmdir((root + folder).c_str());
    }
    std::free(shaders);
    std::free(engineData);
    std::free(here);
}
