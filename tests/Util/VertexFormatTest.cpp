#include <Engine/Util/BaseVertex.h>
#include <Engine/Util/MaxVertex.h>
#include <Engine/Util/UVVertex.h>
#include <cstddef>
#include <gtest/gtest.h>

using Engine::Math::Vec2f;
using Engine::Math::Vec3f;
using Engine::Math::Vec4f;
using Engine::Util::BaseVertex;
using Engine::Util::MaxVertex;
using Engine::Util::UVVertex;

TEST(VertexFormat, LayoutsMatchTheFileFormat) {
    EXPECT_EQ(offsetof(BaseVertex, position), 0u);
    EXPECT_EQ(offsetof(BaseVertex, normal), 16u);
    EXPECT_EQ(offsetof(BaseVertex, smoothNormal), 28u);
    EXPECT_EQ(offsetof(UVVertex, normal), 16u);
    EXPECT_EQ(offsetof(UVVertex, smoothNormal), 28u);
    EXPECT_EQ(offsetof(UVVertex, texCoord0), 40u);
    EXPECT_EQ(offsetof(UVVertex, tangent0), 48u);
    EXPECT_EQ(offsetof(UVVertex, texCoord1), 64u);
    EXPECT_EQ(offsetof(UVVertex, tangent1), 72u);
    EXPECT_EQ(offsetof(MaxVertex, texCoords), 40u);
    EXPECT_EQ(sizeof(BaseVertex), 40u);
    EXPECT_EQ(sizeof(UVVertex), 88u);
    EXPECT_EQ(sizeof(MaxVertex), 120u);
}

TEST(VertexFormat, DefaultsPlaceTheVertexAtTheOrigin) {
    BaseVertex const b;
    EXPECT_EQ(b.position, Vec4f(0, 0, 0, 1));
    EXPECT_EQ(b.normal, Vec3f(0, 0, 0));
    EXPECT_EQ(b.smoothNormal, Vec3f(0, 0, 0));
    UVVertex const u;
    EXPECT_EQ(u.position, Vec4f(0, 0, 0, 1));
    EXPECT_EQ(u.texCoord0, Vec2f(0, 0));
    EXPECT_EQ(u.texCoord1, Vec2f(0, 0));
    EXPECT_EQ(u.tangent0, Vec4f(0, 0, 0, 1));
    EXPECT_EQ(u.tangent1, Vec4f(0, 0, 0, 1));
    MaxVertex const m;
    EXPECT_EQ(m.position, Vec4f(0, 0, 0, 1));
    for (Vec2f const& t : m.texCoords) {
        EXPECT_EQ(t, Vec2f());
    }
}

TEST(VertexFormat, ConstructorsStoreTheirArguments) {
    Vec4f const p(1, 2, 3, 1);
    Vec3f const n(0, 1, 0);
    Vec3f const s(0, 0, 1);
    BaseVertex const b(p, n, s);
    EXPECT_EQ(b.position, p);
    EXPECT_EQ(b.normal, n);
    EXPECT_EQ(b.smoothNormal, s);
    UVVertex const u(p, n, s, Vec2f(0.5f, 0.25f), Vec4f(1, 0, 0, -1), Vec2f(2, 3),
                     Vec4f(0, 1, 0, 1));
    EXPECT_EQ(u.smoothNormal, s);
    EXPECT_EQ(u.texCoord0, Vec2f(0.5f, 0.25f));
    EXPECT_EQ(u.tangent0, Vec4f(1, 0, 0, -1));
    EXPECT_EQ(u.texCoord1, Vec2f(2, 3));
    EXPECT_EQ(u.tangent1, Vec4f(0, 1, 0, 1));
    UVVertex const plain(p, n, s);
    EXPECT_EQ(plain.tangent1, Vec4f(0, 0, 0, 1));
    MaxVertex const m(p, n, s);
    EXPECT_EQ(m.normal, n);
}

TEST(VertexFormat, BaseVertexEqualityComparesEveryFloat) {
    BaseVertex const a(Vec4f(1, 2, 3, 1), Vec3f(0, 1, 0), Vec3f(0, 0, 1));
    BaseVertex b = a;
    EXPECT_TRUE(a == b);
    EXPECT_FALSE(a != b);
    b.smoothNormal = Vec3f(0, 1, 0);
    EXPECT_FALSE(a == b);
    EXPECT_TRUE(a != b);
    b = a;
    b.position.W(0.5f);
    EXPECT_TRUE(a != b);
}

TEST(VertexFormat, UVVertexEqualityIgnoresTheSmoothNormal) {
    UVVertex const a(Vec4f(1, 2, 3, 1), Vec3f(0, 1, 0), Vec3f(0, 0, 1), Vec2f(1, 1),
                     Vec4f(1, 0, 0, 1), Vec2f(2, 2), Vec4f(0, 1, 0, 1));
    UVVertex b = a;
    b.smoothNormal = Vec3f(5, 5, 5);
    EXPECT_TRUE(a == b);
    for (int field = 0; field < 5; ++field) {
        UVVertex c = a;
        switch (field) {
        case 0:
            c.texCoord0.X(9);
            break;
        case 1:
            c.texCoord1.Y(9);
            break;
        case 2:
            c.normal.Z(9);
            break;
        case 3:
            c.tangent0.W(-1);
            break;
        default:
            c.tangent1.X(9);
            break;
        }
        EXPECT_TRUE(a != c) << "field " << field;
    }
}

TEST(VertexFormat, MaxVertexEqualityComparesAllTexCoordsButNotTheSmoothNormal) {
    MaxVertex const a(Vec4f(1, 2, 3, 1), Vec3f(0, 1, 0), Vec3f(0, 0, 1));
    MaxVertex b = a;
    b.smoothNormal = Vec3f(1, 1, 1);
    EXPECT_TRUE(a == b);
    b.texCoords[9] = Vec2f(0, 1);
    EXPECT_TRUE(a != b);
}
