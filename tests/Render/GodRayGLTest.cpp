#include "Render/ImageCompare.h"
#include "Render/Support/LookupTable.h"
#include "Render/TestScene.h"
#include "Support/GLContext.h"

#include <Engine/Render/DeferredFrameBuffer.h>
#include <Engine/Render/HDRFrameBuffer.h>
#include <Engine/Render/Illumination.h>
#include <Engine/Render/Internal/IlluminationAccess.h>
#include <Engine/Render/LightLookupTable.h>
#include <Engine/Render/QuadPatch.h>
#include <Engine/Render/Shader/GodRayShader.h>
#include <Engine/Scene/GodRaySpotLight.h>
#include <Engine/Scene/Internal/ScreenCameraAccess.h>
#include <Engine/Scene/ShadowCastingSpotLight.h>
#include <Engine/Util/EffectSettings.h>
#include <GL/glew.h>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <gtest/gtest.h>
#include <string>
#include <sys/stat.h>
#include <vector>

using Engine::Scene::Internal::ScreenCameraAccess;
using namespace RenderTest;
using Engine::Render::LightLookupTable;
using Engine::Render::QuadPatch;
using Engine::Scene::GodRaySpotLight;
using Engine::Scene::ShadowCastingSpotLight;
using Engine::Util::EffectSettings;

namespace {

constexpr int W = 128;
constexpr int H = 96;
constexpr float Beta = 0.05f;
constexpr double PhaseG = 0.4; // the scattering's phase function (LightLookupTable::PhaseG)

// The lit HDR image of the last frame (linear radiance, bottom row first).
std::vector<float> radiance(Scene::ScreenCamera* camera) {
    std::vector<float> rgba(static_cast<size_t>(camera->Width() * camera->Height() * 4));
    glBindTexture(GL_TEXTURE_2D, ScreenCameraAccess::HDRTarget(*camera)->getColorTexID());
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_FLOAT, rgba.data());
    glBindTexture(GL_TEXTURE_2D, 0);
    return rgba;
}

float red(std::vector<float> const& rgba, int x, int y) {
    return rgba[static_cast<size_t>((y * W + x) * 4)];
}

struct Beam {
    Vec3f position{0.0f, 6.0f, 0.0f};
    Vec3f direction{0.0f, -1.0f, 0.0f};
    float angle = 0.35f;
    float exponent = 2.0f;
    Vec3f attenuation{1.0f, 0.0f, 0.02f};
    Vec3f intensity{20.0f, 20.0f, 20.0f};
};

// A floor lit from above by one spot light (a god-ray light or a plain
// shadow-casting one), seen from the side through the medium.
struct BeamScene {
    BeamScene(std::vector<Beam> const& beams, bool scattering,
              std::vector<Mat4f> const& plates = {})
        : scene(W, H, makeLookupTable(Beta)) {
        scene.cameraPosition->Matrix(lookAt(Vec3f(0.0f, 2.5f, 9.0f), Vec3f(0.0f, 2.2f, 0.0f)));
        scene.addMesh(makeFloor(30.0f, 2, 1.0f), scene.colorMaterial(Vec3f(0.5f, 0.5f, 0.5f)),
                      Mat4f());
        for (Mat4f const& place : plates) {
            scene.addMesh(makeBox(Vec3f(1.5f, 0.05f, 1.5f)),
                          scene.colorMaterial(Vec3f(0.5f, 0.5f, 0.5f)), place);
        }
        for (Beam const& b : beams) {
            const Vec4f at(b.position.X(), b.position.Y(), b.position.Z(), 1.0f);
            if (scattering) {
                lights.push_back(
                    scene.addLight(new GodRaySpotLight(b.intensity, false, at, b.direction, b.angle,
                                                       b.exponent, b.attenuation, scene.world)));
            } else {
                lights.push_back(scene.addLight(
                    new ShadowCastingSpotLight(b.intensity, false, at, b.direction, b.angle,
                                               b.exponent, b.attenuation, scene.world)));
            }
        }
        scene.commitLights();
    }
    std::vector<float> render() {
        scene.frame();
        scene.frame();
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
        return radiance(scene.camera);
    }
    TestScene scene;
    std::vector<ShadowCastingSpotLight*> lights;
};

// The scattered radiance of one pixel by brute force: fine steps along the
// view ray to the G-buffer's depth, with the light's cone, attenuation,
// extinction, the phase function and an optional analytic occluder (a plate
// y = plateY covering |x|, |z| < plateHalf).
double bruteForce(Beam const& b, Mat4f const& inverseCamera, Vec3f const& eye, float ndcX,
                  float ndcY, float depth, float plateY = -1.0f, float plateHalf = 0.0f) {
    const Vec4f world = inverseCamera * Vec4f(ndcX, ndcY, depth * 2.0f - 1.0f, 1.0f);
    const Vec3f end(world.X() / world.W(), world.Y() / world.W(), world.Z() / world.W());
    const double length = (end - eye).Length();
    const Vec3f r = Vec3f::Normalize(end - eye);
    const Vec3f axis = Vec3f::Normalize(b.direction);
    const double cosCone = std::cos(b.angle);
    const double rim = std::max(0.002, 0.05 * (1.0 - cosCone));
    const int steps = 20000;
    double sum = 0.0;
    for (int k = 0; k < steps; ++k) {
        const double t = (k + 0.5) * length / steps;
        const Vec3f x = eye + r * static_cast<float>(t);
        const Vec3f fromLight = x - b.position;
        const double d = fromLight.Length();
        const double cosPhi = Vec3f::DotProd(fromLight, axis) / d;
        if (cosPhi < cosCone) {
            continue;
        }
        if (plateY > 0.0f && x.Y() < plateY) {
            // Where the segment from the light to x crosses the plate's plane.
            const float s = (b.position.Y() - plateY) / (b.position.Y() - x.Y());
            const Vec3f hit = b.position + (x - b.position) * s;
            if (std::fabs(hit.X()) < plateHalf && std::fabs(hit.Z()) < plateHalf) {
                continue;
            }
        }
        const double edge = std::clamp((cosPhi - cosCone) / rim, 0.0, 1.0);
        const double falloff = std::pow(cosPhi, b.exponent) * edge * edge * (3.0 - 2.0 * edge);
        const double att =
            1.0 / (b.attenuation.X() + b.attenuation.Y() * d + b.attenuation.Z() * d * d);
        const double cosTheta = -Vec3f::DotProd(fromLight, r) / d;
        const double phase = (1.0 + PhaseG * cosTheta) / (4.0 * 3.14159265358979);
        sum += Beta * phase * b.intensity.X() * att * falloff * std::exp(-Beta * (d + t));
    }
    return sum * length / steps;
}

std::vector<float> gbufferDepth(Scene::ScreenCamera* camera) {
    std::vector<float> depth(static_cast<size_t>(W * H));
    glBindTexture(GL_TEXTURE_2D, ScreenCameraAccess::GBuffer(*camera)->DepthTexID());
    glGetTexImage(GL_TEXTURE_2D, 0, GL_DEPTH_COMPONENT, GL_FLOAT, depth.data());
    glBindTexture(GL_TEXTURE_2D, 0);
    return depth;
}

class GodRayGLTest : public TestSupport::GLTest {
protected:
    void SetUp() override {
        TestSupport::GLTest::SetUp();
        *EffectSettings::Instance() = EffectSettings();
    }
    void TearDown() override {
        *EffectSettings::Instance() = EffectSettings();
        glEnable(GL_DEPTH_TEST);
        glDepthMask(GL_TRUE);
        glPatchParameteri(GL_PATCH_VERTICES, 3);
        TestSupport::GLTest::TearDown();
    }
};

} // namespace

TEST_F(GodRayGLTest, ScatteringMatchesABruteForceIntegral) {
    const Beam beam;
    BeamScene withRays({beam}, true);
    const std::vector<float> lit = withRays.render();
    BeamScene without({beam}, false);
    const std::vector<float> plain = without.render();
    const std::vector<float> depth = gbufferDepth(withRays.scene.camera);
    Scene::ScreenCamera* camera = withRays.scene.camera;
    const Mat4f inverseCamera =
        withRays.scene.cameraPosition->Matrix() * camera->InversePerspectiveMatrix();
    const Vec4f eye4 = camera->Location();
    const Vec3f eye(eye4.X(), eye4.Y(), eye4.Z());
    int compared = 0;
    double worst = 0.0;
    for (int y = 1; y < H; y += 2) {
        for (int x = 1; x < W; x += 2) {
            const float ndcX = (x + 0.5f) / W * 2.0f - 1.0f;
            const float ndcY = (y + 0.5f) / H * 2.0f - 1.0f;
            const float d = depth[static_cast<size_t>(y * W + x)];
            const double expected = bruteForce(beam, inverseCamera, eye, ndcX, ndcY, d);
            // The cone's edge is resolved by the refined grid, not by each
            // pixel: compare where the beam is well inside.
            const double nearby =
                std::min(bruteForce(beam, inverseCamera, eye, ndcX + 0.06f, ndcY, d),
                         bruteForce(beam, inverseCamera, eye, ndcX - 0.06f, ndcY, d));
            if (expected < 0.02 || nearby < 0.8 * expected) {
                continue;
            }
            // The HDR target holds half floats: over a brightly lit floor the
            // difference of two pictures is not precise to 5 % of a faint beam.
            if (red(plain, x, y) > 10.0 * expected) {
                continue;
            }
            const double got = red(lit, x, y) - red(plain, x, y);
            worst = std::max(worst, std::fabs(got - expected) / expected);
            EXPECT_NEAR(got, expected, 0.05 * expected) << x << "," << y;
            ++compared;
        }
    }
    EXPECT_GT(compared, 50);
    RecordProperty("worstRelativeError", std::to_string(worst));
    std::printf("scattering: %d pixels compared, worst relative error %.4f\n", compared, worst);
}

TEST_F(GodRayGLTest, ShadowedPartsOfTheBeamStayDark) {
    // A plate across the whole cone at y = 4: below it the beam is shadowed;
    // rays that cross the cone only below the plate see nothing scattered.
    const Beam beam;
    const std::vector<Mat4f> plate = {translate(Vec3f(0.0f, 4.0f, 0.0f))};
    BeamScene shaded({beam}, true, plate);
    const std::vector<float> lit = shaded.render();
    BeamScene shadedPlain({beam}, false, plate);
    const std::vector<float> plain = shadedPlain.render();
    BeamScene open({beam}, true);
    const std::vector<float> openLit = open.render();
    BeamScene openPlain({beam}, false);
    const std::vector<float> openBase = openPlain.render();
    Scene::ScreenCamera* camera = shaded.scene.camera;
    const Mat4f inverseCamera =
        shaded.scene.cameraPosition->Matrix() * camera->InversePerspectiveMatrix();
    const Vec4f eye4 = camera->Location();
    const Vec3f eye(eye4.X(), eye4.Y(), eye4.Z());
    const std::vector<float> depth = gbufferDepth(camera);
    int dark = 0;
    for (int y = 2; y < H; y += 4) {
        for (int x = 2; x < W; x += 4) {
            const float ndcX = (x + 0.5f) / W * 2.0f - 1.0f;
            const float ndcY = (y + 0.5f) / H * 2.0f - 1.0f;
            const float d = depth[static_cast<size_t>(y * W + x)];
            const double unshadowed = bruteForce(beam, inverseCamera, eye, ndcX, ndcY, d);
            const double shadowed = bruteForce(beam, inverseCamera, eye, ndcX, ndcY, d, 4.0f, 1.5f);
            if (unshadowed < 0.05 || shadowed > 0.02 * unshadowed) {
                continue;
            }
            const float withPlate = red(lit, x, y) - red(plain, x, y);
            const float withoutPlate = red(openLit, x, y) - red(openBase, x, y);
            EXPECT_LT(withPlate, 0.1f * withoutPlate) << x << "," << y;
            ++dark;
        }
    }
    EXPECT_GT(dark, 10);
}

TEST_F(GodRayGLTest, LightsAddAndALightThatIsOffDrawsNothing) {
    Beam left;
    left.position = Vec3f(-2.0f, 6.0f, 0.0f);
    Beam right;
    right.position = Vec3f(2.0f, 6.0f, 0.0f);
    BeamScene both({left, right}, true);
    const std::vector<float> a = both.render();
    BeamScene bothPlain({left, right}, false);
    const std::vector<float> base = bothPlain.render();
    BeamScene one({left, right}, true);
    one.lights[1]->turnOff();
    const std::vector<float> b = one.render();
    BeamScene onePlain({left, right}, false);
    onePlain.lights[1]->turnOff();
    const std::vector<float> oneBase = onePlain.render();
    BeamScene other({left, right}, true);
    other.lights[0]->turnOff();
    const std::vector<float> c = other.render();
    BeamScene otherPlain({left, right}, false);
    otherPlain.lights[0]->turnOff();
    const std::vector<float> otherBase = otherPlain.render();
    double total = 0.0;
    for (int y = 0; y < H; ++y) {
        for (int x = 0; x < W; ++x) {
            const float sum =
                (red(b, x, y) - red(oneBase, x, y)) + (red(c, x, y) - red(otherBase, x, y));
            const float together = red(a, x, y) - red(base, x, y);
            EXPECT_NEAR(together, sum, 0.01f + 0.01f * sum) << x << "," << y;
            total += together;
        }
    }
    EXPECT_GT(total, 10.0);
    // Both off: no scattering at all.
    both.lights[0]->turnOff();
    both.lights[1]->turnOff();
    bothPlain.lights[0]->turnOff();
    bothPlain.lights[1]->turnOff();
    const std::vector<float> off = both.render();
    const std::vector<float> offBase = bothPlain.render();
    for (size_t i = 0; i < off.size(); ++i) {
        ASSERT_NEAR(off[i], offBase[i], 1e-6f) << i;
    }
    GLint patchVertices = 0;
    glGetIntegerv(GL_PATCH_VERTICES, &patchVertices);
    EXPECT_EQ(patchVertices, 4); // until the next frame starts
}

TEST_F(GodRayGLTest, OnlyBeamsThatAViewRayMeetsAreDrawn) {
    // Beside the beam in front of the camera: one behind it pointing away and
    // a black one in front (neither drawn); one starting just behind the eye
    // and pointing back, met only by the rays' first hundredths of a unit,
    // before the near plane (drawn); one crossing the view high over the
    // floor, outside the bounds of what is drawn (drawn, and seen).
    Beam behind;
    behind.position = Vec3f(0.0f, 2.5f, 14.0f);
    behind.direction = Vec3f(0.0f, 0.0f, 1.0f);
    Beam atEye;
    atEye.position = Vec3f(0.0f, 2.5f, 8.96f);
    atEye.direction = Vec3f(0.0f, 0.0f, 1.0f);
    Beam above;
    above.position = Vec3f(-12.0f, 7.0f, -2.0f);
    above.direction = Vec3f(1.0f, 0.0f, 0.0f);
    above.angle = 0.1f;
    auto drawn = [](BeamScene& beams) {
        return Engine::Render::Internal::IlluminationAccess::BeamsDrawn(
            *ScreenCameraAccess::IlluminationPass(*beams.scene.camera));
    };
    Beam black;
    black.intensity = Vec3f(0.0f, 0.0f, 0.0f);
    BeamScene front({Beam(), behind, black}, true);
    front.render();
    EXPECT_EQ(drawn(front), 1);
    BeamScene eye({atEye}, true);
    eye.render();
    EXPECT_EQ(drawn(eye), 1);
    BeamScene sky({above}, true);
    const std::vector<float> lit = sky.render();
    EXPECT_EQ(drawn(sky), 1);
    BeamScene plain({above}, false);
    const std::vector<float> base = plain.render();
    double added = 0.0;
    for (int y = H / 2; y < H; ++y) {
        for (int x = 0; x < W; ++x) {
            added += red(lit, x, y) - red(base, x, y);
        }
    }
    EXPECT_GT(added, 5.0);
}

TEST_F(GodRayGLTest, TheGridIsRefinedOnlyAsFarAsTheExposureShows) {
    // A beam with a plate's shadow in it, framed with the adapted luminance
    // set by hand (the pass reads the one the last frame left). Against a
    // luminance far above the scattering, no detail shows: every edge takes
    // the least level. Without a known exposure (0 or not a number), or
    // against one far below, the scattering's own detail decides, as before.
    BeamScene beams({Beam()}, true, {translate(Vec3f(0.0f, 4.0f, 0.0f))});
    beams.render();
    Engine::Render::HDRFrameBuffer* hdr = ScreenCameraAccess::HDRTarget(*beams.scene.camera);
    auto primitivesAt = [&](float adapted) {
        const float texel[4] = {adapted, adapted, adapted, 1.0f};
        for (int i = 0; i < 2; ++i) {
            glBindTexture(GL_TEXTURE_2D, hdr->AdaptiveLumBuffer(i)->getColorTexID());
            glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, 1, 1, GL_RGBA, GL_FLOAT, texel);
        }
        GLuint query = 0;
        glGenQueries(1, &query);
        glBeginQuery(GL_PRIMITIVES_GENERATED, query);
        beams.scene.frame();
        glEndQuery(GL_PRIMITIVES_GENERATED);
        GLuint primitives = 0;
        glGetQueryObjectuiv(query, GL_QUERY_RESULT, &primitives);
        glDeleteQueries(1, &query);
        return primitives;
    };
    const GLuint unknown = primitivesAt(0.0f);
    EXPECT_EQ(primitivesAt(std::nanf("")), unknown);
    EXPECT_EQ(primitivesAt(1.0e-9f), unknown);
    const GLuint bright = primitivesAt(1.0e6f);
    EXPECT_LT(bright * 4, unknown);
    EXPECT_GT(bright, 0u);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(GodRayGLTest, QuadPatchGridAndLookupTextures) {
    QuadPatch grid(16, 16);
    EXPECT_EQ(grid.IndexCount(), 900);
    GLint bytes = 0;
    glBindVertexArray(grid.VertexArray());
    GLint vertexBuffer = 0;
    glGetVertexAttribiv(0, GL_VERTEX_ATTRIB_ARRAY_BUFFER_BINDING, &vertexBuffer);
    glBindBuffer(GL_ARRAY_BUFFER, static_cast<GLuint>(vertexBuffer));
    glGetBufferParameteriv(GL_ARRAY_BUFFER, GL_BUFFER_SIZE, &bytes);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glBindVertexArray(0);
    EXPECT_EQ(bytes, 256 * 2 * 4);
    QuadPatch single;
    unsigned short indices[4] = {9, 9, 9, 9};
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, single.IndexBuffer());
    glGetBufferSubData(GL_ELEMENT_ARRAY_BUFFER, 0, sizeof indices, indices);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
    EXPECT_EQ(single.IndexCount(), 4);
    EXPECT_EQ(indices[0], 0);
    EXPECT_EQ(indices[1], 1);
    EXPECT_EQ(indices[2], 3);
    EXPECT_EQ(indices[3], 2);

    LightLookupTable* table = makeLookupTable(Beta);
    for (unsigned int texture : {table->TableA(), table->TableB()}) {
        glBindTexture(GL_TEXTURE_2D, texture);
        GLint format = 0;
        GLint minFilter = 0;
        GLint magFilter = 0;
        GLint wrapS = 0;
        GLint wrapT = 0;
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_INTERNAL_FORMAT, &format);
        glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &minFilter);
        glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, &magFilter);
        glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, &wrapS);
        glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, &wrapT);
        EXPECT_EQ(format, GL_DEPTH_COMPONENT32);
        EXPECT_EQ(minFilter, GL_LINEAR);
        EXPECT_EQ(magFilter, GL_LINEAR);
        EXPECT_EQ(wrapS, GL_CLAMP);
        EXPECT_EQ(wrapT, GL_CLAMP);
    }
    glBindTexture(GL_TEXTURE_2D, 0);
    delete table;
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(GodRayGLTest, ThePhaseTableCombinesBothTablesOverS) {
    // Table A linear in eta and table B constant make a phase table whose
    // row at sigma is known in closed form:
    // eta(sigma) = pi / 4 + atan(sigma / (1 - |sigma|)) / 2.
    const int width = 3;
    const int height = 9;
    const double halfPi = 1.5707963267948966;
    std::vector<float> a(width * height);
    std::vector<float> b(width * height, 0.5f);
    for (int row = 0; row < height; ++row) {
        for (int column = 0; column < width; ++column) {
            a[static_cast<size_t>(row * width + column)] = static_cast<float>(row) / (height - 1);
        }
    }
    const float maxA = 3.0f;
    const float maxB = 2.0f;
    LightLookupTable table(a.data(), b.data(), maxA, maxB, 0.0f, 4.0f, 0.0f,
                           static_cast<float>(halfPi), Beta, width, height);
    EXPECT_FLOAT_EQ(table.getMinSigma(), -1.0f);
    EXPECT_FLOAT_EQ(table.getMaxSigma(), 1.0f);
    glBindTexture(GL_TEXTURE_2D, table.PhaseTable());
    GLint rows = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &rows);
    ASSERT_EQ(rows, 2 * height);
    std::vector<float> phase(static_cast<size_t>(width * rows));
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RED, GL_FLOAT, phase.data());
    glBindTexture(GL_TEXTURE_2D, 0);
    const double g = LightLookupTable::PhaseG;
    for (int row = 0; row < rows; ++row) {
        const double sigma = -1.0 + 2.0 * row / (rows - 1);
        const double eta =
            std::fabs(sigma) >= 1.0
                ? (sigma > 0.0 ? halfPi : 0.0)
                : 0.25 * 3.14159265358979 + 0.5 * std::atan(sigma / (1.0 - std::fabs(sigma)));
        const double expected = (1.0 - g) * maxA * eta / halfPi + g * maxB * 0.5;
        for (int column = 0; column < width; ++column) {
            EXPECT_NEAR(phase[static_cast<size_t>(row * width + column)], expected, 1e-5)
                << "row " << row << ", column " << column;
        }
    }
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

namespace {

// A god-ray light above a lattice of bars, shining through it onto a floor,
// seen from the side: shafts cut by the bars.
struct LatticeScene {
    LatticeScene(unsigned width, unsigned height) : scene(width, height, makeLookupTable(Beta)) {
        scene.cameraPosition->Matrix(lookAt(Vec3f(0.0f, 2.0f, 9.0f), Vec3f(0.0f, 2.2f, 0.0f)));
        scene.addMesh(makeFloor(30.0f, 4, 10.0f), scene.textureMaterial(), Mat4f());
        for (int i = -3; i <= 3; ++i) {
            const float at = static_cast<float>(i) * 0.7f;
            scene.addMesh(makeBox(Vec3f(0.12f, 0.08f, 2.6f)),
                          scene.colorMaterial(Vec3f(0.6f, 0.55f, 0.5f)),
                          translate(Vec3f(at, 4.6f, 0.0f)));
            scene.addMesh(makeBox(Vec3f(2.6f, 0.08f, 0.12f)),
                          scene.colorMaterial(Vec3f(0.6f, 0.55f, 0.5f)),
                          translate(Vec3f(0.0f, 4.6f, at)));
        }
        scene.addLight(new Scene::DirectionalLight(Vec3f(0.03f, 0.035f, 0.05f), false,
                                                   Vec3f(0.2f, -1.0f, -0.3f)));
        scene.addLight(new GodRaySpotLight(Vec3f(40.0f, 36.0f, 28.0f), false,
                                           Vec4f(0.3f, 7.5f, -0.5f, 1.0f),
                                           Vec3f::Normalize(Vec3f(-0.1f, -1.0f, 0.1f)), 0.42f, 2.0f,
                                           Vec3f(1.0f, 0.0f, 0.02f), scene.world));
        scene.commitLights();
    }
    Image render() {
        for (int i = 0; i < 12; ++i) {
            scene.frame();
        }
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
        return readFramebuffer(static_cast<int>(scene.camera->Width()),
                               static_cast<int>(scene.camera->Height()));
    }
    TestScene scene;
};

} // namespace

TEST_F(GodRayGLTest, ReferenceShaftsThroughALattice) {
    LatticeScene lattice(160, 120);
    expectMatchesReference(lattice.render(), "godrays-lattice");
}

TEST_F(GodRayGLTest, ReferenceShaftsThroughALatticeInWireframe) {
    EffectSettings::Instance()->DrawWireFrame(true);
    LatticeScene lattice(160, 120);
    expectMatchesReference(lattice.render(), "godrays-lattice-wireframe");
}
