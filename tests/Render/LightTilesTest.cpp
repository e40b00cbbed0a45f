#include <Engine/Render/LightTiles.h>
#include <cmath>
#include <cstdint>
#include <gtest/gtest.h>
#include <random>

using Engine::Math::Mat4f;
using Engine::Math::Vec3f;
using Engine::Math::Vec4f;
using Engine::Render::LightTiles;

namespace {

// A camera of width x height pixels at eye looking at target.
struct View {
    View(Vec3f const& eye, Vec3f const& target, int w = 320, int h = 240) : width(w), height(h) {
        const Vec3f back = Vec3f::Normalize(eye - target);
        const Vec3f right = Vec3f::Normalize(Vec3f::CrossProd(Vec3f(0, 1, 0), back));
        const Vec3f up = Vec3f::CrossProd(back, right);
        const Mat4f world(right.X(), up.X(), back.X(), eye.X(), right.Y(), up.Y(), back.Y(),
                          eye.Y(), right.Z(), up.Z(), back.Z(), eye.Z(), 0, 0, 0, 1);
        const float fov = 1.0471976f;
        const float aspect = static_cast<float>(width) / static_cast<float>(height);
        worldToClip = Mat4f::Persp(fov, aspect, 0.1f, 100.0f) * Mat4f::Invert(world);
        clipToWorld = world * Mat4f::InversePersp(fov, aspect, 0.1f, 100.0f);
    }
    // The tile a visible point projects into, or -1.
    int tileOf(Vec3f const& p) const {
        const Vec4f c = worldToClip * Vec4f(p, 1.0f);
        if (c.W() <= 0.0f || std::fabs(c.X()) > c.W() || std::fabs(c.Y()) > c.W() ||
            std::fabs(c.Z()) > c.W()) {
            return -1;
        }
        const int x = static_cast<int>((c.X() / c.W() * 0.5f + 0.5f) * static_cast<float>(width));
        const int y = static_cast<int>((c.Y() / c.W() * 0.5f + 0.5f) * static_cast<float>(height));
        const int columns = (width + LightTiles::TileSize - 1) / LightTiles::TileSize;
        return std::min(y, height - 1) / LightTiles::TileSize * columns +
               std::min(x, width - 1) / LightTiles::TileSize;
    }
    int width;
    int height;
    Mat4f worldToClip;
    Mat4f clipToWorld;
};

int tilesWith(LightTiles const& tiles, std::uint32_t bit) {
    int count = 0;
    for (std::uint32_t mask : tiles.Masks()) {
        count += (mask & bit) != 0u ? 1 : 0;
    }
    return count;
}

} // namespace

// Every surface point a light can reach lies in a tile with the light's bit:
// random spheres and cones, some reaching behind the camera or beyond the
// bounds, checked at random points of the bounds. The screen is large, so
// that a tile is small beside a reach and a reach drawn too small shows.
TEST(LightTiles, EveryPointInALightsReachLiesInATileWithItsBit) {
    std::mt19937 random(7);
    std::uniform_real_distribution<float> unit(0.0f, 1.0f);
    auto in = [&](float a, float b) { return a + (b - a) * unit(random); };
    const Vec3f low(-8, -1, -8);
    const Vec3f high(8, 3, 8);
    const View view(Vec3f(1, 4, 9), Vec3f(0, 0.5f, 0), 4096, 3072);
    LightTiles tiles;
    int checked = 0;
    for (int light = 0; light < 120; ++light) {
        tiles.Begin(view.width, view.height, view.worldToClip, view.clipToWorld, low, high);
        const Vec3f at(in(-12, 12), in(-2, 8), in(-12, 14));
        const float reach = in(0.5f, 12.0f);
        const bool cone = light % 2 == 1;
        const Vec3f axis = Vec3f::Normalize(Vec3f(in(-1, 1), in(-1, 0.3f), in(-1, 1)));
        const float halfAngle = in(0.05f, 1.4f);
        if (cone) {
            tiles.AddCone(1u, at, axis * 3.0f, halfAngle, reach);
        } else {
            tiles.AddSphere(1u, at, reach);
        }
        for (int sample = 0; sample < 4000; ++sample) {
            const Vec3f p(in(low.X(), high.X()), in(low.Y(), high.Y()), in(low.Z(), high.Z()));
            const Vec3f toP = p - at;
            const float d = toP.Length();
            if (d > reach || (cone && Vec3f::DotProd(toP, axis) < d * std::cos(halfAngle))) {
                continue;
            }
            const int tile = view.tileOf(p);
            if (tile < 0) {
                continue;
            }
            ++checked;
            ASSERT_NE(tiles.Masks()[static_cast<size_t>(tile)] & 1u, 0u)
                << "light " << light << " misses the point (" << p.X() << ", " << p.Y() << ", "
                << p.Z() << ")";
        }
    }
    EXPECT_GT(checked, 20000);
}

TEST(LightTiles, ReachesAreClippedToTheBoundsAndTheView) {
    const View view(Vec3f(0, 5, 10), Vec3f(0, 0.5f, 0));
    const int Width = view.width;
    const int Height = view.height;
    LightTiles tiles;
    // A floor slab: a narrow spot light from above covers a small part of
    // the screen, though its cone would reach far below the floor.
    tiles.Begin(Width, Height, view.worldToClip, view.clipToWorld, Vec3f(-8, -0.25f, -8),
                Vec3f(8, 0.25f, 8));
    EXPECT_TRUE(tiles.AddCone(1u, Vec3f(0, 5, 0), Vec3f(0, -1, 0), 0.35f, 120.0f));
    // A lamp beside the view, and one behind the camera: each says it
    // reaches nothing.
    EXPECT_FALSE(tiles.AddSphere(2u, Vec3f(30, 0, 0), 5.0f));
    EXPECT_FALSE(tiles.AddSphere(4u, Vec3f(0, 5, 25), 5.0f));
    EXPECT_TRUE(tiles.AddEverywhere(8u));
    // A reach that is not a number bounds nothing.
    EXPECT_TRUE(tiles.AddSphere(16u, Vec3f(0, 0, 0), std::nanf("")));
    // A cone pointing up, away from the floor, and a question without bits.
    EXPECT_FALSE(tiles.AddCone(32u, Vec3f(0, 1, 0), Vec3f(0, 1, 0), 0.35f, 120.0f));
    EXPECT_TRUE(tiles.AddCone(0u, Vec3f(0, 5, 0), Vec3f(0, -1, 0), 0.35f, 120.0f));
    const int all = tiles.Columns() * tiles.Rows();
    EXPECT_EQ(all, (320 / LightTiles::TileSize) * (240 / LightTiles::TileSize));
    EXPECT_GT(tilesWith(tiles, 1u), 0);
    EXPECT_LT(tilesWith(tiles, 1u), all / 10);
    EXPECT_EQ(tilesWith(tiles, 2u), 0);
    EXPECT_EQ(tilesWith(tiles, 4u), 0);
    EXPECT_EQ(tilesWith(tiles, 8u), all);
    EXPECT_GT(tilesWith(tiles, 16u), all / 2);
    EXPECT_EQ(tilesWith(tiles, 32u), 0);

    // Without bounds the cone is clipped by the view only; with nothing
    // drawn no light reaches a tile.
    const float huge = 1.0e38f;
    tiles.Begin(Width, Height, view.worldToClip, view.clipToWorld, Vec3f(-huge, -huge, -huge),
                Vec3f(huge, huge, huge));
    tiles.AddCone(1u, Vec3f(0, 5, 0), Vec3f(0, -1, 0), 0.35f, 120.0f);
    EXPECT_GT(tilesWith(tiles, 1u), all / 10);
    tiles.Begin(Width, Height, view.worldToClip, view.clipToWorld, Vec3f(1, 1, 1),
                Vec3f(-1, -1, -1));
    EXPECT_FALSE(tiles.AddSphere(1u, Vec3f(0, 0, 0), 50.0f));
    EXPECT_EQ(tilesWith(tiles, 1u), 0);
}
