#include <Image.h>
#include <Scenes.h>
#include <Textures.h>
#include <cmath>
#include <gtest/gtest.h>

using namespace contentgen;

TEST(ContentGen, TexturesAreSquarePowersOfTwoAndRepeatByteForByte) {
    for (Textures::Texture const& t : Textures::List()) {
        EXPECT_TRUE(t.size == 512 || t.size == 1024) << t.name;
        if (t.size > 512)
            continue; // the large ones take long; same code
        Image const a = Textures::Make(t.name, t.size);
        Image const b = Textures::Make(t.name, t.size);
        EXPECT_EQ(a.Size(), t.size);
        EXPECT_EQ(a.Bytes(), b.Bytes()) << t.name;
    }
}

TEST(ContentGen, NormalMapsHoldUnitNormalsFacingOut) {
    for (char const* name : {"metal_n", "wood_n"}) {
        Image const image = Textures::Make(name, 512);
        double worst = 0;
        bool tilted = false;
        for (int y = 0; y < image.Size(); y += 3) {
            for (int x = 0; x < image.Size(); x += 3) {
                std::uint8_t const* p = image.Pixel(x, y);
                double const n[3] = {p[0] / 127.5 - 1, p[1] / 127.5 - 1, p[2] / 127.5 - 1};
                double const length = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
                worst = std::max(worst, std::abs(length - 1));
                EXPECT_GT(n[2], 0) << name;
                tilted = tilted || std::abs(n[0]) > 0.2 || std::abs(n[1]) > 0.2;
            }
        }
        EXPECT_LT(worst, 0.03) << name;
        EXPECT_TRUE(tilted) << name << ": flat";
    }
}

TEST(ContentGen, ScenesRepeatAndKeepTheTriangleBudget) {
    for (bool first : {true, false}) {
        Scenes::Scene const a = first ? Scenes::FirstWorld() : Scenes::SecondWorld();
        Scenes::Scene const b = first ? Scenes::FirstWorld() : Scenes::SecondWorld();
        std::size_t triangles = 0;
        ASSERT_EQ(a.meshes.size(), b.meshes.size());
        for (auto const& [material, mesh] : a.meshes) {
            triangles += mesh.TriangleCount();
            ASSERT_EQ(mesh.Positions().size(), b.meshes.at(material).Positions().size());
            for (std::size_t i = 0; i < mesh.Positions().size(); ++i) {
                ASSERT_EQ(mesh.Positions()[i].x, b.meshes.at(material).Positions()[i].x);
            }
        }
        EXPECT_GT(triangles, 2000u) << a.name;
        EXPECT_LE(triangles, 100000u) << a.name;
    }
}
