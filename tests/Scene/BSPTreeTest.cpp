#include <Engine/Scene/BSPNode.h>
#include <Engine/Scene/BSPTreeBuilder.h>
#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <map>
#include <memory>
#include <random>
#include <vector>

using namespace Engine::Scene;
using Engine::Math::Vec3f;
using Engine::Math::Vec4f;
using Engine::Util::BaseVertex;

namespace {

using Tree = std::unique_ptr<BSPNode>;
using Triple = std::vector<unsigned int>;

BaseVertex vertexAt(float x, float y, float z) {
    return BaseVertex(Vec4f(x, y, z, 1.0f), Vec3f(0, 0, 1), Vec3f(0, 1, 0));
}

Triple trianglesOf(BSPNode const* root, Vec3f const& eye) {
    Triple out;
    if (root) {
        root->CreateIndexBuffer(eye, out);
    }
    return out;
}

Triple triple(BSPNode const* node) {
    return {node->Triangle()[0], node->Triangle()[1], node->Triangle()[2]};
}

Vec3f positionOf(std::vector<BaseVertex> const& vertices, unsigned int index) {
    return Vec3f(vertices[index].position);
}

double area(std::vector<BaseVertex> const& vertices, unsigned int a, unsigned int b,
            unsigned int c) {
    const Vec3f pa = positionOf(vertices, a);
    const Vec3f u = positionOf(vertices, b) - pa;
    const Vec3f v = positionOf(vertices, c) - pa;
    const double x = double(u.Y()) * v.Z() - double(u.Z()) * v.Y();
    const double y = double(u.Z()) * v.X() - double(u.X()) * v.Z();
    const double z = double(u.X()) * v.Y() - double(u.Y()) * v.X();
    return 0.5 * std::sqrt(x * x + y * y + z * z);
}

double totalArea(std::vector<BaseVertex> const& vertices, Triple const& indices) {
    double sum = 0.0;
    for (std::size_t i = 0; i + 2 < indices.size(); i += 3) {
        sum += area(vertices, indices[i], indices[i + 1], indices[i + 2]);
    }
    return sum;
}

void collect(BSPNode const* node, std::vector<BSPNode const*>& out) {
    if (node == nullptr) {
        return;
    }
    out.push_back(node);
    collect(node->Front(), out);
    collect(node->Back(), out);
}

// Every vertex of every triangle below `node` lies on the given side of the
// plane, up to the plane epsilon and rounding.
void expectOnSide(BSPNode const* subtree, BSPNode const* splitter, bool front,
                  std::vector<BaseVertex> const& vertices) {
    std::vector<BSPNode const*> nodes;
    collect(subtree, nodes);
    const float slack = BSPTreeBuilder::PlaneEpsilon + 1e-4f;
    for (BSPNode const* node : nodes) {
        for (int k = 0; k < 3; ++k) {
            const float d =
                Vec3f::DotProd(splitter->Normal(), positionOf(vertices, node->Triangle()[k])) -
                splitter->Distance();
            if (front) {
                ASSERT_GT(d, -slack) << "a vertex of the front subtree lies behind the plane";
            } else {
                ASSERT_LT(d, slack) << "a vertex of the back subtree lies in front of the plane";
            }
        }
    }
}

// Checks the tree's geometry and, for the eye, the painter's order at every
// node: far subtree, then the node, then the near subtree.
void checkTree(BSPNode const* root, std::vector<BaseVertex> const& vertices, Vec3f const& eye) {
    std::vector<BSPNode const*> nodes;
    collect(root, nodes);
    const Triple order = trianglesOf(root, eye);
    ASSERT_EQ(order.size(), nodes.size() * 3) << "every triangle is drawn exactly once";
    std::map<Triple, std::size_t> position;
    for (std::size_t i = 0; i < order.size(); i += 3) {
        position[{order[i], order[i + 1], order[i + 2]}] = i / 3;
    }
    ASSERT_EQ(position.size(), nodes.size());

    for (BSPNode const* node : nodes) {
        if (node->Front() == nullptr && node->Back() == nullptr) {
            continue;
        }
        const bool finitePlane = std::isfinite(node->Normal().X()) &&
                                 std::isfinite(node->Normal().Y()) &&
                                 std::isfinite(node->Normal().Z());
        if (finitePlane) {
            expectOnSide(node->Front(), node, true, vertices);
            expectOnSide(node->Back(), node, false, vertices);
        }
        const bool eyeInFront = Vec3f::DotProd(node->Normal(), eye) - node->Distance() > 0.0f;
        BSPNode const* far = eyeInFront ? node->Back() : node->Front();
        BSPNode const* near = eyeInFront ? node->Front() : node->Back();
        const std::size_t own = position.at(triple(node));
        std::vector<BSPNode const*> farNodes;
        std::vector<BSPNode const*> nearNodes;
        collect(far, farNodes);
        collect(near, nearNodes);
        for (BSPNode const* other : farNodes) {
            ASSERT_LT(position.at(triple(other)), own) << "far side drawn after the node";
        }
        for (BSPNode const* other : nearNodes) {
            ASSERT_GT(position.at(triple(other)), own) << "near side drawn before the node";
        }
    }
}

std::vector<BaseVertex> soup(std::mt19937& random, unsigned int triangles, float size,
                             Triple& indices) {
    std::uniform_real_distribution<float> place(-5.0f, 5.0f);
    std::uniform_real_distribution<float> offset(-size, size);
    std::vector<BaseVertex> vertices;
    for (unsigned int t = 0; t < triangles; ++t) {
        const float cx = place(random);
        const float cy = place(random);
        const float cz = place(random);
        for (int k = 0; k < 3; ++k) {
            indices.push_back(static_cast<unsigned int>(vertices.size()));
            vertices.push_back(
                vertexAt(cx + offset(random), cy + offset(random), cz + offset(random)));
        }
    }
    return vertices;
}

// A closed sphere: an octahedron with each face cut into 4^level triangles,
// vertices pushed onto the unit sphere.
std::vector<BaseVertex> sphere(int level, Triple& indices) {
    std::vector<Vec3f> corners{Vec3f(1, 0, 0),  Vec3f(-1, 0, 0), Vec3f(0, 1, 0),
                               Vec3f(0, -1, 0), Vec3f(0, 0, 1),  Vec3f(0, 0, -1)};
    std::vector<Triple> faces{{0, 2, 4}, {2, 1, 4}, {1, 3, 4}, {3, 0, 4},
                              {2, 0, 5}, {1, 2, 5}, {3, 1, 5}, {0, 3, 5}};
    for (int l = 0; l < level; ++l) {
        std::map<std::pair<unsigned int, unsigned int>, unsigned int> middles;
        auto middle = [&](unsigned int a, unsigned int b) {
            const auto key = std::make_pair(std::min(a, b), std::max(a, b));
            auto found = middles.find(key);
            if (found != middles.end()) {
                return found->second;
            }
            corners.push_back(Vec3f::Normalize((corners[a] + corners[b]) * 0.5f));
            const auto index = static_cast<unsigned int>(corners.size() - 1);
            middles[key] = index;
            return index;
        };
        std::vector<Triple> next;
        for (Triple const& f : faces) {
            const unsigned int ab = middle(f[0], f[1]);
            const unsigned int bc = middle(f[1], f[2]);
            const unsigned int ca = middle(f[2], f[0]);
            next.push_back({f[0], ab, ca});
            next.push_back({ab, f[1], bc});
            next.push_back({ca, bc, f[2]});
            next.push_back({ab, bc, ca});
        }
        faces = next;
    }
    std::vector<BaseVertex> vertices;
    for (Vec3f const& c : corners) {
        vertices.push_back(vertexAt(c.X(), c.Y(), c.Z()));
    }
    for (Triple const& f : faces) {
        indices.insert(indices.end(), f.begin(), f.end());
    }
    return vertices;
}

// A plain rendering of the tree construction, rating every plane against
// every triangle at every level, to check the builder's choices against.
class ReferenceBuilder {
public:
    explicit ReferenceBuilder(std::vector<BaseVertex>& vertices) : vertices(vertices) {}

    BSPNode* build(Triple const& indices) {
        if (indices.size() < 4) {
            return indices.size() == 3 ? new BSPNode(0.0f, Vec3f(0, 0, 0), indices.data())
                                       : nullptr;
        }
        float bestQuality = 0.0f;
        unsigned int bestSplits = 100000;
        std::size_t best = 0;
        for (std::size_t i = 0; i < indices.size(); i += 3) {
            Vec3f n;
            float d;
            plane(&indices[i], n, d);
            int counts[3] = {0, 0, 0};
            for (std::size_t j = 0; j < indices.size(); j += 3) {
                ++counts[test(&indices[j], n, d)];
            }
            const int front = counts[0];
            const int back = counts[1] - 1;
            const float quality = static_cast<float>(std::min(front, back)) /
                                  static_cast<float>(std::max(front, back));
            if (quality > bestQuality ||
                (quality == bestQuality && static_cast<unsigned int>(counts[2]) < bestSplits)) {
                bestQuality = quality;
                bestSplits = static_cast<unsigned int>(counts[2]);
                best = i;
            }
        }
        Vec3f n;
        float d;
        plane(&indices[best], n, d);
        Triple front;
        Triple back;
        for (std::size_t j = 0; j < indices.size(); j += 3) {
            if (j == best) {
                continue;
            }
            unsigned int const* t = &indices[j];
            switch (test(t, n, d)) {
            case 0:
                front.insert(front.end(), t, t + 3);
                break;
            case 1:
                back.insert(back.end(), t, t + 3);
                break;
            default:
                split(t[0], t[1], t[2], n, d, back, front);
            }
        }
        auto* node = new BSPNode(d, n, &indices[best]);
        node->Front(build(front));
        node->Back(build(back));
        return node;
    }

private:
    Vec3f at(unsigned int i) const { return Vec3f(vertices[i].position); }

    void plane(unsigned int const* t, Vec3f& n, float& d) const {
        n = Vec3f::Normalize(Vec3f::CrossProd(at(t[1]) - at(t[0]), at(t[2]) - at(t[0])));
        d = Vec3f::DotProd(n, at(t[0]));
    }

    int test(unsigned int const* t, Vec3f const& n, float d) const {
        const float a = Vec3f::DotProd(n, at(t[0])) - d;
        const float b = Vec3f::DotProd(n, at(t[1])) - d;
        const float c = Vec3f::DotProd(n, at(t[2])) - d;
        if (a < 0.01f && b < 0.01f && c < 0.01f) {
            return 1;
        }
        if (a > -0.01f && b > -0.01f && c > -0.01f) {
            return 0;
        }
        return 2;
    }

    unsigned int gen(unsigned int i, unsigned int j, float s, float t) {
        const BaseVertex a = vertices[i];
        const BaseVertex b = vertices[j];
        vertices.push_back(
            BaseVertex(Vec4f(Vec3f::Interpolate(Vec3f(a.position), Vec3f(b.position), s, t), 1.0f),
                       Vec3f::Interpolate(a.normal, b.normal, s, t),
                       Vec3f::Interpolate(a.smoothNormal, b.smoothNormal, s, t)));
        return static_cast<unsigned int>(vertices.size() - 1);
    }

    void split(unsigned int a, unsigned int b, unsigned int c, Vec3f const& n, float d,
               Triple& back, Triple& front) {
        const float dA = Vec3f::DotProd(n, at(a)) - d;
        const float dB = Vec3f::DotProd(n, at(b)) - d;
        const float dC = Vec3f::DotProd(n, at(c)) - d;
        const bool sA = dA >= 0;
        const bool sB = dB >= 0;
        const bool sC = dC >= 0;
        Triple& aSide = sA ? front : back;
        Triple& other = sA ? back : front;
        if (sA != sB && sB != sC) {
            const unsigned int v1 = gen(a, b, std::fabs(dA), std::fabs(dB));
            const unsigned int v2 = gen(b, c, std::fabs(dB), std::fabs(dC));
            aSide.insert(aSide.end(), {a, v1, v2, a, v2, c});
            other.insert(other.end(), {v1, b, v2});
        } else if (sA != sC && sB != sC) {
            const unsigned int v1 = gen(a, c, std::fabs(dA), std::fabs(dC));
            const unsigned int v2 = gen(b, c, std::fabs(dB), std::fabs(dC));
            aSide.insert(aSide.end(), {a, v2, v1, a, b, v2});
            other.insert(other.end(), {c, v1, v2});
        } else {
            const unsigned int v1 = gen(a, b, std::fabs(dA), std::fabs(dB));
            const unsigned int v2 = gen(a, c, std::fabs(dA), std::fabs(dC));
            aSide.insert(aSide.end(), {a, v1, v2});
            other.insert(other.end(), {b, v2, v1, b, c, v2});
        }
    }

    std::vector<BaseVertex>& vertices;
};

void expectSameTree(BSPNode const* actual, BSPNode const* expected) {
    ASSERT_EQ(actual == nullptr, expected == nullptr);
    if (actual == nullptr) {
        return;
    }
    ASSERT_EQ(triple(actual), triple(expected));
    expectSameTree(actual->Front(), expected->Front());
    expectSameTree(actual->Back(), expected->Back());
}

} // namespace

TEST(BSPTreeTest, NoTrianglesGiveNoTree) {
    std::vector<BaseVertex> vertices{vertexAt(0, 0, 0)};
    EXPECT_EQ(BSPTreeBuilder::Build(vertices, {}), nullptr);
}

TEST(BSPTreeTest, OneTriangleIsALeafForEveryEye) {
    std::vector<BaseVertex> vertices{vertexAt(0, 0, 0), vertexAt(1, 0, 0), vertexAt(0, 1, 0)};
    Tree root(BSPTreeBuilder::Build(vertices, {0, 1, 2}));
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(root->Front(), nullptr);
    EXPECT_EQ(root->Back(), nullptr);
    EXPECT_EQ(root->Normal(), Vec3f(0, 0, 0));
    EXPECT_EQ(trianglesOf(root.get(), Vec3f(0, 0, 5)), (Triple{0, 1, 2}));
    EXPECT_EQ(trianglesOf(root.get(), Vec3f(0, 0, -5)), (Triple{0, 1, 2}));
}

TEST(BSPTreeTest, TwoParallelTrianglesAreDrawnFarOneFirst) {
    std::vector<BaseVertex> vertices{vertexAt(0, 0, 0), vertexAt(1, 0, 0), vertexAt(0, 1, 0),
                                     vertexAt(0, 0, 1), vertexAt(1, 0, 1), vertexAt(0, 1, 1)};
    Tree root(BSPTreeBuilder::Build(vertices, {0, 1, 2, 3, 4, 5}));
    ASSERT_NE(root, nullptr);
    // Both planes rate 0 without splits: the earlier triangle wins.
    EXPECT_EQ(triple(root.get()), (Triple{0, 1, 2}));
    EXPECT_EQ(root->Normal(), Vec3f(0, 0, 1));
    ASSERT_NE(root->Front(), nullptr);
    EXPECT_EQ(triple(root->Front()), (Triple{3, 4, 5}));
    EXPECT_EQ(root->Back(), nullptr);
    EXPECT_EQ(trianglesOf(root.get(), Vec3f(0.2f, 0.2f, 2)), (Triple{0, 1, 2, 3, 4, 5}));
    EXPECT_EQ(trianglesOf(root.get(), Vec3f(0.2f, 0.2f, -1)), (Triple{3, 4, 5, 0, 1, 2}));
    EXPECT_EQ(vertices.size(), 6u);
}

TEST(BSPTreeTest, PrefersTheBestBalancedPlane) {
    std::vector<BaseVertex> vertices;
    Triple indices;
    for (int z = 0; z < 3; ++z) {
        for (Vec3f const& p : {Vec3f(0, 0, 0), Vec3f(1, 0, 0), Vec3f(0, 1, 0)}) {
            indices.push_back(static_cast<unsigned int>(vertices.size()));
            vertices.push_back(vertexAt(p.X(), p.Y(), p.Z() + static_cast<float>(z)));
        }
    }
    Tree root(BSPTreeBuilder::Build(vertices, indices));
    // The middle plane has one triangle on each side.
    EXPECT_EQ(triple(root.get()), (Triple{3, 4, 5}));
    ASSERT_NE(root->Front(), nullptr);
    ASSERT_NE(root->Back(), nullptr);
    EXPECT_EQ(triple(root->Front()), (Triple{6, 7, 8}));
    EXPECT_EQ(triple(root->Back()), (Triple{0, 1, 2}));
}

TEST(BSPTreeTest, TriangleWithinEpsilonOfThePlaneCountsAsBehind) {
    std::vector<BaseVertex> vertices{vertexAt(0, 0, 0),       vertexAt(1, 0, 0),
                                     vertexAt(0, 1, 0),       vertexAt(5, 5, 0.005f),
                                     vertexAt(6, 5, -0.005f), vertexAt(5, 6, 0.009f)};
    Tree root(BSPTreeBuilder::Build(vertices, {0, 1, 2, 3, 4, 5}));
    EXPECT_EQ(triple(root.get()), (Triple{0, 1, 2}));
    EXPECT_EQ(root->Front(), nullptr);
    ASSERT_NE(root->Back(), nullptr);
    EXPECT_EQ(triple(root->Back()), (Triple{3, 4, 5}));
    EXPECT_EQ(vertices.size(), 6u) << "nothing was split";
}

TEST(BSPTreeTest, SpanningTriangleSplitsIntoThreeWithTwoNewVertices) {
    // T1 crosses T0's plane z = 0 with its vertex B alone in front, and T0
    // crosses T1's plane x = 0: no rating is defined, so T0 (the first) wins.
    std::vector<BaseVertex> vertices{vertexAt(-1, -1, 0), vertexAt(1, -1, 0),
                                     vertexAt(0, 1, 0),   vertexAt(0, -0.5f, -1),
                                     vertexAt(0, 0, 1),   vertexAt(0, 0.5f, -1)};
    Tree root(BSPTreeBuilder::Build(vertices, {0, 1, 2, 3, 4, 5}));
    EXPECT_EQ(triple(root.get()), (Triple{0, 1, 2}));
    ASSERT_EQ(vertices.size(), 8u);
    // The new vertices lie where T1's edges AB and BC cross the plane.
    EXPECT_EQ(vertices[6].position, Vec4f(0, -0.25f, 0, 1));
    EXPECT_EQ(vertices[7].position, Vec4f(0, 0.25f, 0, 1));
    ASSERT_NE(root->Front(), nullptr);
    EXPECT_EQ(triple(root->Front()), (Triple{6, 4, 7}));
    ASSERT_NE(root->Back(), nullptr);
    // The two triangles on A's side, in order: (a, V1, V2), (a, V2, c).
    EXPECT_EQ(trianglesOf(root->Back(), Vec3f(0, 0, -5)).size(), 6u);
    std::vector<BSPNode const*> back;
    collect(root->Back(), back);
    ASSERT_EQ(back.size(), 2u);
    EXPECT_EQ(triple(back[0]) == (Triple{3, 6, 7}) || triple(back[1]) == (Triple{3, 6, 7}), true);
    EXPECT_EQ(triple(back[0]) == (Triple{3, 7, 5}) || triple(back[1]) == (Triple{3, 7, 5}), true);
    // Interpolated normals go with the new vertices.
    EXPECT_EQ(vertices[6].normal, Vec3f(0, 0, 1));
}

TEST(BSPTreeTest, SplitPiecesGoToTheSideTheirVerticesLieOn) {
    // A lies just in front of T0's plane (within the epsilon) and C clearly in
    // front, B alone behind: the piece with C belongs in front of the plane.
    std::vector<BaseVertex> vertices{vertexAt(-1, -1, 0), vertexAt(1, -1, 0),
                                     vertexAt(0, 1, 0),   vertexAt(0, -0.5f, 0.005f),
                                     vertexAt(0, 0, -1),  vertexAt(0, 0.5f, 1)};
    Tree root(BSPTreeBuilder::Build(vertices, {0, 1, 2, 3, 4, 5}));
    EXPECT_EQ(triple(root.get()), (Triple{0, 1, 2}));
    EXPECT_EQ(vertices.size(), 8u);
    expectOnSide(root->Front(), root.get(), true, vertices);
    expectOnSide(root->Back(), root.get(), false, vertices);
    std::vector<BSPNode const*> front;
    collect(root->Front(), front);
    EXPECT_EQ(front.size(), 2u);
}

TEST(BSPTreeTest, ClosedSphereKeepsEveryTriangleInPainterOrder) {
    Triple indices;
    std::vector<BaseVertex> vertices = sphere(2, indices);
    const double before = totalArea(vertices, indices);
    Tree root(BSPTreeBuilder::Build(vertices, indices));
    ASSERT_NE(root, nullptr);
    for (Vec3f const& eye : {Vec3f(0, 0, 5), Vec3f(0.1f, 0.2f, 0.3f), Vec3f(-3, 2, 1)}) {
        SCOPED_TRACE(::testing::Message() << "eye " << eye);
        checkTree(root.get(), vertices, eye);
        EXPECT_NEAR(totalArea(vertices, trianglesOf(root.get(), eye)), before, before * 1e-6);
    }
}

TEST(BSPTreeTest, RandomSoupsKeepPainterOrderAndArea) {
    std::mt19937 random(1234);
    std::uniform_real_distribution<float> eyeCoordinate(-8.0f, 8.0f);
    for (int round = 0; round < 25; ++round) {
        SCOPED_TRACE(::testing::Message() << "round " << round);
        Triple indices;
        const float size = round % 2 == 0 ? 1.0f : 4.0f;
        std::vector<BaseVertex> vertices = soup(random, 20 + round * 3, size, indices);
        const std::size_t originalVertices = vertices.size();
        const double before = totalArea(vertices, indices);
        Tree root(BSPTreeBuilder::Build(vertices, indices));
        ASSERT_NE(root, nullptr);
        EXPECT_EQ((vertices.size() - originalVertices) % 2, 0u) << "splits add vertex pairs";
        for (int e = 0; e < 5; ++e) {
            const Vec3f eye(eyeCoordinate(random), eyeCoordinate(random), eyeCoordinate(random));
            SCOPED_TRACE(::testing::Message() << "eye " << eye);
            checkTree(root.get(), vertices, eye);
            const double after = totalArea(vertices, trianglesOf(root.get(), eye));
            EXPECT_NEAR(after, before, before * 1e-4);
            if (::testing::Test::HasFailure()) {
                return;
            }
        }
    }
}

TEST(BSPTreeTest, TrianglesWithUnknownVerticesAreDropped) {
    std::vector<BaseVertex> vertices{vertexAt(0, 0, 0), vertexAt(1, 0, 0), vertexAt(0, 1, 0)};
    Tree root(BSPTreeBuilder::Build(vertices, {0, 1, 2, 0, 1, 7, 2}));
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(trianglesOf(root.get(), Vec3f(0, 0, 1)), (Triple{0, 1, 2}));
}

TEST(BSPTreeTest, BuilderMakesTheSameChoicesAsAPlainLevelByLevelRating) {
    std::mt19937 random(99);
    for (int round = 0; round < 12; ++round) {
        SCOPED_TRACE(::testing::Message() << "round " << round);
        Triple indices;
        std::vector<BaseVertex> vertices =
            round < 10 ? soup(random, 30 + round * 5, 2.0f, indices) : sphere(round - 8, indices);
        std::vector<BaseVertex> referenceVertices = vertices;
        Tree actual(BSPTreeBuilder::Build(vertices, indices));
        Tree expected(ReferenceBuilder(referenceVertices).build(indices));
        expectSameTree(actual.get(), expected.get());
        ASSERT_EQ(vertices.size(), referenceVertices.size());
        for (std::size_t i = 0; i < vertices.size(); ++i) {
            ASSERT_EQ(vertices[i], referenceVertices[i]) << "vertex " << i;
        }
    }
}
