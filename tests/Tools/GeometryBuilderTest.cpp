#include <cmath>
#include <gtest/gtest.h>
#include <vlpc/GeometryBuilder.h>

using namespace vlpc;

namespace {

void expectNear(Vec3 const& actual, Vec3 const& expected) {
    for (int i = 0; i < 3; ++i) {
        EXPECT_NEAR(actual[i], expected[i], 1e-5f) << "component " << i;
    }
}

// Two triangles of a unit square in the xy plane, with the given texture
// coordinates at its corners (0,0), (1,0), (1,1), (0,1).
MeshArrays square(std::array<Vec2, 4> const& uv) {
    MeshArrays mesh;
    mesh.positions = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}};
    mesh.normals.assign(4, Vec3{0, 0, 1});
    mesh.uvs[0].assign(uv.begin(), uv.end());
    mesh.indices = {0, 1, 2, 0, 2, 3};
    return mesh;
}

} // namespace

TEST(GeometryBuilder, FormatIsTheChannelCount) {
    MeshArrays mesh = square({{{0, 0}, {1, 0}, {1, 1}, {0, 1}}});
    mesh.uvs[1] = mesh.uvs[0];
    EXPECT_EQ(buildGeometry(mesh, 0).format, 0);
    EXPECT_EQ(buildGeometry(mesh, 1).format, 1);
    GeometryRecord const two = buildGeometry(mesh, 2);
    EXPECT_EQ(two.format, 2);
    EXPECT_EQ(two.indices, mesh.indices);
    ASSERT_EQ(two.vertices.size(), 4u);
    EXPECT_EQ(two.vertices[2].position, (Vec4{1, 1, 0, 1}));
    EXPECT_EQ(two.vertices[2].uv[1], (Vec2{1, 1}));
}

TEST(GeometryBuilder, TangentFollowsTheTextureUAxis) {
    GeometryRecord const g = buildGeometry(square({{{0, 0}, {1, 0}, {1, 1}, {0, 1}}}), 1);
    for (Vertex const& v : g.vertices) {
        expectNear({v.tangent[0][0], v.tangent[0][1], v.tangent[0][2]}, {1, 0, 0});
        EXPECT_EQ(v.tangent[0][3], 1.0f);
    }
}

TEST(GeometryBuilder, MirroredTextureGivesNegativeHandedness) {
    // u runs along +x, v along -y: the texture frame is mirrored.
    GeometryRecord const g = buildGeometry(square({{{0, 1}, {1, 1}, {1, 0}, {0, 0}}}), 1);
    for (Vertex const& v : g.vertices) {
        expectNear({v.tangent[0][0], v.tangent[0][1], v.tangent[0][2]}, {1, 0, 0});
        EXPECT_EQ(v.tangent[0][3], -1.0f);
    }
}

TEST(GeometryBuilder, TangentsPerChannel) {
    MeshArrays mesh = square({{{0, 0}, {1, 0}, {1, 1}, {0, 1}}});
    // Channel 1 is rotated a quarter turn: u runs along +y.
    mesh.uvs[1] = {{0, 1}, {0, 0}, {1, 0}, {1, 1}};
    GeometryRecord const g = buildGeometry(mesh, 2);
    for (Vertex const& v : g.vertices) {
        expectNear({v.tangent[0][0], v.tangent[0][1], v.tangent[0][2]}, {1, 0, 0});
        expectNear({v.tangent[1][0], v.tangent[1][1], v.tangent[1][2]}, {0, 1, 0});
        EXPECT_EQ(v.tangent[1][3], 1.0f);
    }
}

TEST(GeometryBuilder, TangentIsPerpendicularToTheNormal) {
    MeshArrays mesh = square({{{0, 0}, {1, 0}, {1, 1}, {0, 1}}});
    Vec3 const tilted{0, std::sqrt(0.5f), std::sqrt(0.5f)};
    mesh.normals.assign(4, tilted);
    mesh.normals[0] = {std::sqrt(0.5f), 0, std::sqrt(0.5f)};
    GeometryRecord const g = buildGeometry(mesh, 1);
    for (Vertex const& v : g.vertices) {
        float const d = v.normal[0] * v.tangent[0][0] + v.normal[1] * v.tangent[0][1] +
                        v.normal[2] * v.tangent[0][2];
        EXPECT_NEAR(d, 0.0f, 1e-6f);
        float const length =
            std::sqrt(v.tangent[0][0] * v.tangent[0][0] + v.tangent[0][1] * v.tangent[0][1] +
                      v.tangent[0][2] * v.tangent[0][2]);
        EXPECT_NEAR(length, 1.0f, 1e-6f);
    }
}

TEST(GeometryBuilder, DegenerateTextureCoordinatesStillGiveAUnitTangent) {
    GeometryRecord const g = buildGeometry(square({{{0, 0}, {0, 0}, {0, 0}, {0, 0}}}), 1);
    for (Vertex const& v : g.vertices) {
        Vec3 const t{v.tangent[0][0], v.tangent[0][1], v.tangent[0][2]};
        EXPECT_NEAR(t[0] * t[0] + t[1] * t[1] + t[2] * t[2], 1.0f, 1e-6f);
        EXPECT_NEAR(t[2], 0.0f, 1e-6f); // perpendicular to the normal (0, 0, 1)
    }
}

TEST(GeometryBuilder, MissingNormalsBecomeFlatFaceNormals) {
    MeshArrays mesh;
    // A tent: two triangles sharing the ridge edge, at right angles.
    mesh.positions = {{0, 0, 0}, {1, 0, 0}, {0, 1, 1}, {1, 1, 1}, {0, 2, 0}, {1, 2, 0}};
    mesh.indices = {0, 1, 3, 0, 3, 2, 2, 3, 5, 2, 5, 4};
    GeometryRecord const g = buildGeometry(mesh, 0);
    ASSERT_EQ(g.vertices.size(), 12u); // every triangle has its own vertices
    float const h = std::sqrt(0.5f);
    expectNear(g.vertices[0].normal, {0, -h, h});
    expectNear(g.vertices[8].normal, {0, h, h});
    // The ridge vertices are shared by both slopes: their smooth normal is the mean.
    expectNear(g.vertices[2].smoothNormal, {0, 0, 1});
    expectNear(g.vertices[0].smoothNormal, {0, -h, h});
}

TEST(GeometryBuilder, SmoothNormalAveragesDistinctNormalsAtAPosition) {
    // A cube corner: three faces meet, one of them split into two triangles
    // whose vertices differ only in texture coordinates.
    MeshArrays mesh;
    mesh.positions = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, // face z
                      {0, 0, 0}, {0, 0, 1}, {1, 0, 0}, // face y
                      {0, 0, 0}, {0, 1, 0}, {0, 0, 1}, // face x
                      {0, 0, 0}};                      // face z again, other uv
    mesh.normals = {{0, 0, -1}, {0, 0, -1}, {0, 0, -1}, {0, -1, 0}, {0, -1, 0},
                    {0, -1, 0}, {-1, 0, 0}, {-1, 0, 0}, {-1, 0, 0}, {0, 0, -1}};
    mesh.uvs[0].assign(10, Vec2{0, 0});
    mesh.uvs[0][9] = {0.5f, 0.5f};
    mesh.indices = {0, 2, 1, 3, 5, 4, 6, 8, 7, 9, 2, 1};
    GeometryRecord const g = buildGeometry(mesh, 1);
    float const third = 1.0f / std::sqrt(3.0f);
    for (std::size_t i : {0u, 3u, 6u, 9u}) {
        expectNear(g.vertices[i].smoothNormal, {-third, -third, -third});
    }
    // The normals themselves stay as given.
    expectNear(g.vertices[3].normal, {0, -1, 0});
}

TEST(GeometryBuilder, NegativeZeroCountsAsTheSamePosition) {
    MeshArrays mesh;
    mesh.positions = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {-0.0f, 0, 0}, {0, 0, 1}, {1, 0, 0}};
    mesh.normals = {{0, 0, 1}, {0, 0, 1}, {0, 0, 1}, {0, 1, 0}, {0, 1, 0}, {0, 1, 0}};
    mesh.indices = {0, 1, 2, 3, 4, 5};
    GeometryRecord const g = buildGeometry(mesh, 0);
    float const h = std::sqrt(0.5f);
    expectNear(g.vertices[0].smoothNormal, {0, h, h});
    expectNear(g.vertices[3].smoothNormal, {0, h, h});
}

TEST(GeometryBuilder, BoundsOfThePositions) {
    MeshArrays mesh = square({{{0, 0}, {1, 0}, {1, 1}, {0, 1}}});
    mesh.positions[2] = {3, -2, 5};
    Bounds const b = computeBounds(buildGeometry(mesh, 0));
    EXPECT_EQ(b.min, (Vec3{0, -2, 0}));
    EXPECT_EQ(b.max, (Vec3{3, 1, 5}));
    Bounds const empty = computeBounds(GeometryRecord{});
    EXPECT_EQ(empty.min, (Vec3{0, 0, 0}));
    EXPECT_EQ(empty.max, (Vec3{0, 0, 0}));
}

TEST(GeometryBuilder, AppendOffsetsIndices) {
    MeshArrays whole = square({{{0, 0}, {1, 0}, {1, 1}, {0, 1}}});
    appendMesh(whole, square({{{0, 0}, {1, 0}, {1, 1}, {0, 1}}}));
    EXPECT_EQ(whole.positions.size(), 8u);
    EXPECT_EQ(whole.uvs[0].size(), 8u);
    EXPECT_EQ(whole.indices, (std::vector<std::uint32_t>{0, 1, 2, 0, 2, 3, 4, 5, 6, 4, 6, 7}));
}
