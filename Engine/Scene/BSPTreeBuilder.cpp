#include <Engine/Scene/BSPNode.h>
#include <Engine/Scene/BSPTreeBuilder.h>
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>

namespace Engine::Scene {

using Math::Vec3f;
using Math::Vec4f;
using Util::BaseVertex;

namespace {

// Where a triangle lies relative to a plane.
enum SplitTestResult : std::uint32_t {
    SPLIT_FRONT = 0,
    SPLIT_BACK = 1, // behind or in the plane
    SPLIT_SPANNING = 2,
};

constexpr float Epsilon = BSPTreeBuilder::PlaneEpsilon;
// Split count that any candidate plane beats.
constexpr unsigned int NoSplitsYet = 100000;

// n . p = d.
struct Plane {
    Vec3f n;
    float d;
};

Plane calcPlaneFromTriangle(Vec3f const& a, Vec3f const& b, Vec3f const& c) {
    const Vec3f n = Vec3f::Normalize(Vec3f::CrossProd(b - a, c - a));
    return Plane{n, Vec3f::DotProd(n, a)};
}

float planePointDistance(Plane const& plane, Vec3f const& p) {
    return Vec3f::DotProd(plane.n, p) - plane.d;
}

// A triangle within the epsilon of the plane counts as behind it.
SplitTestResult testVertex(float dA, float dB, float dC) {
    if (dA < Epsilon && dB < Epsilon && dC < Epsilon) {
        return SPLIT_BACK;
    }
    if (dA > -Epsilon && dB > -Epsilon && dC > -Epsilon) {
        return SPLIT_FRONT;
    }
    return SPLIT_SPANNING;
}

// A triangle of the list being partitioned, with its corner positions and
// plane at hand, and how the list's triangles lie relative to its plane
// (counts over the whole list, the triangle itself included).
struct Triangle {
    unsigned int index[3];
    Vec3f corner[3];
    Plane plane;
    unsigned int count[3];
    // The counts are unknown (a piece made by splitting).
    bool fresh;
};

SplitTestResult classify(Triangle const& t, Plane const& plane) {
    return testVertex(planePointDistance(plane, t.corner[0]),
                      planePointDistance(plane, t.corner[1]),
                      planePointDistance(plane, t.corner[2]));
}

// Builds the tree. Choosing a plane rates every triangle's plane against every
// triangle of the list. The ratings only depend on the triangles' positions,
// so a child list derives them from its parent's by taking out the triangles
// it lost and adding the pieces it gained, whenever that is cheaper than
// counting again: a convex mesh, whose tree is a chain, then builds in
// quadratic rather than cubic time, with the very same choices. The
// triangles live in one store; lists hold their positions in it.
class TreeBuilder {
public:
    using List = std::vector<std::uint32_t>;

    explicit TreeBuilder(std::vector<BaseVertex>& vertices) : vertices(vertices) {}

    // Stores the triangle and returns its position in the store.
    std::uint32_t makeTriangle(unsigned int a, unsigned int b, unsigned int c) {
        Triangle t{};
        t.index[0] = a;
        t.index[1] = b;
        t.index[2] = c;
        t.corner[0] = Vec3f(vertices[a].position);
        t.corner[1] = Vec3f(vertices[b].position);
        t.corner[2] = Vec3f(vertices[c].position);
        t.plane = calcPlaneFromTriangle(t.corner[0], t.corner[1], t.corner[2]);
        t.fresh = true;
        triangles.push_back(t);
        return static_cast<std::uint32_t>(triangles.size() - 1);
    }

    void countAll(List const& list) {
        for (std::uint32_t candidate : list) {
            countFresh(candidate, list);
        }
    }

    BSPNode* construct(List list) {
        if (list.empty()) {
            return nullptr;
        }
        if (list.size() == 1) {
            return new BSPNode(0.0f, Vec3f(0.0f, 0.0f, 0.0f), triangles[list.front()].index);
        }
        const std::size_t best = bestSplitPlane(list);
        const Plane plane = triangles[list[best]].plane;
        unsigned int const* chosen = triangles[list[best]].index;
        auto* node = new BSPNode(plane.d, plane.n, chosen);

        List front;
        List back;
        // Triangles of this list that each child list does not hold.
        List notInFront{list[best]};
        List notInBack{list[best]};
        for (std::size_t i = 0; i < list.size(); ++i) {
            if (i == best) {
                continue;
            }
            const std::uint32_t t = list[i];
            switch (classify(triangles[t], plane)) {
            case SPLIT_FRONT:
                front.push_back(t);
                notInBack.push_back(t);
                break;
            case SPLIT_BACK:
                back.push_back(t);
                notInFront.push_back(t);
                break;
            case SPLIT_SPANNING:
                splitTriangle(t, plane, back, front);
                notInFront.push_back(t);
                notInBack.push_back(t);
                break;
            }
        }
        list = List();
        updateCounts(front, notInFront);
        updateCounts(back, notInBack);
        notInFront = List();
        notInBack = List();

        node->Front(construct(std::move(front)));
        node->Back(construct(std::move(back)));
        return node;
    }

private:
    void countFresh(std::uint32_t candidate, List const& list) {
        Triangle& c = triangles[candidate];
        c.count[0] = c.count[1] = c.count[2] = 0;
        for (std::uint32_t t : list) {
            ++c.count[classify(triangles[t], c.plane)];
        }
        c.fresh = false;
    }

    // The balance of front and back triangles rates a plane (1 balanced, 0 all
    // on one side); splits break ties; among equals the earlier triangle wins.
    // When no rating is defined (every other triangle spans every plane), the
    // first triangle is taken.
    std::size_t bestSplitPlane(List const& list) const {
        float bestQuality = 0.0f;
        unsigned int bestSplits = NoSplitsYet;
        std::size_t best = 0;
        for (std::size_t i = 0; i < list.size(); ++i) {
            Triangle const& t = triangles[list[i]];
            const int front = static_cast<int>(t.count[SPLIT_FRONT]);
            // The candidate itself always tests as lying in its plane.
            const int back = static_cast<int>(t.count[SPLIT_BACK]) - 1;
            const float quality = static_cast<float>(std::min(front, back)) /
                                  static_cast<float>(std::max(front, back));
            const unsigned int splits = t.count[SPLIT_SPANNING];
            if (quality > bestQuality || (quality == bestQuality && splits < bestSplits)) {
                bestQuality = quality;
                bestSplits = splits;
                best = i;
            }
        }
        return best;
    }

    // Brings the counts of a child list up to date: the triangles it kept from
    // its parent lose what the parent had and the child has not, and gain its
    // new pieces; the pieces are counted from scratch.
    void updateCounts(List const& list, List const& gone) {
        List pieces;
        for (std::uint32_t t : list) {
            if (triangles[t].fresh) {
                pieces.push_back(t);
            }
        }
        const std::size_t kept = list.size() - pieces.size();
        if (kept == 0 || gone.size() + pieces.size() >= list.size()) {
            countAll(list);
            return;
        }
        for (std::uint32_t candidate : list) {
            Triangle& c = triangles[candidate];
            if (c.fresh) {
                continue;
            }
            for (std::uint32_t t : gone) {
                --c.count[classify(triangles[t], c.plane)];
            }
            for (std::uint32_t t : pieces) {
                ++c.count[classify(triangles[t], c.plane)];
            }
        }
        // The pieces are counted last, so that the loop above still knew them.
        for (std::uint32_t t : pieces) {
            countFresh(t, list);
        }
    }

    // The vertex at the fraction s / (s + t) of the way from the first to the
    // second vertex; normals are interpolated, not renormalised.
    unsigned int genNewVertex(unsigned int first, unsigned int second, float s, float t) {
        BaseVertex const& a = vertices[first];
        BaseVertex const& b = vertices[second];
        const BaseVertex v(
            Vec4f(Vec3f::Interpolate(Vec3f(a.position), Vec3f(b.position), s, t), 1.0f),
            Vec3f::Interpolate(a.normal, b.normal, s, t),
            Vec3f::Interpolate(a.smoothNormal, b.smoothNormal, s, t));
        vertices.push_back(v);
        return static_cast<unsigned int>(vertices.size() - 1);
    }

    // Cuts a spanning triangle at the plane into one triangle on the side of
    // its lone vertex and two on the other side, keeping its winding.
    void splitTriangle(std::uint32_t triangle, Plane const& plane, List& back, List& front) {
        // Copied: storing the pieces may move the store.
        const Triangle t = triangles[triangle];
        const unsigned int a = t.index[0];
        const unsigned int b = t.index[1];
        const unsigned int c = t.index[2];
        const float dA = planePointDistance(plane, t.corner[0]);
        const float dB = planePointDistance(plane, t.corner[1]);
        const float dC = planePointDistance(plane, t.corner[2]);
        const bool sA = dA >= 0.0f;
        const bool sB = dB >= 0.0f;
        const bool sC = dC >= 0.0f;
        // A's side is the side of A's sign. (A vertex of A's side may lie
        // within the epsilon of the plane, but the side's other vertices are
        // clearly on A's side of it.)
        List& aSide = sA ? front : back;
        List& otherSide = sA ? back : front;
        if (sA != sB && sB != sC) {
            const unsigned int v1 = genNewVertex(a, b, std::fabs(dA), std::fabs(dB));
            const unsigned int v2 = genNewVertex(b, c, std::fabs(dB), std::fabs(dC));
            aSide.push_back(makeTriangle(a, v1, v2));
            aSide.push_back(makeTriangle(a, v2, c));
            otherSide.push_back(makeTriangle(v1, b, v2));
        } else if (sA != sC && sB != sC) {
            const unsigned int v1 = genNewVertex(a, c, std::fabs(dA), std::fabs(dC));
            const unsigned int v2 = genNewVertex(b, c, std::fabs(dB), std::fabs(dC));
            aSide.push_back(makeTriangle(a, v2, v1));
            aSide.push_back(makeTriangle(a, b, v2));
            otherSide.push_back(makeTriangle(c, v1, v2));
        } else if (sA != sB && sA != sC) {
            const unsigned int v1 = genNewVertex(a, b, std::fabs(dA), std::fabs(dB));
            const unsigned int v2 = genNewVertex(a, c, std::fabs(dA), std::fabs(dC));
            aSide.push_back(makeTriangle(a, v1, v2));
            otherSide.push_back(makeTriangle(b, v2, v1));
            otherSide.push_back(makeTriangle(b, c, v2));
        } else {
            // No lone vertex (only possible with non-finite distances): keep
            // the triangle whole rather than lose it.
            back.push_back(makeTriangle(a, b, c));
        }
    }

    std::vector<BaseVertex>& vertices;
    std::vector<Triangle> triangles;
};

} // namespace

BSPNode* BSPTreeBuilder::Build(std::vector<BaseVertex>& vertices,
                               std::vector<unsigned int> const& indices) {
    TreeBuilder builder(vertices);
    TreeBuilder::List triangles;
    triangles.reserve(indices.size() / 3);
    for (std::size_t i = 0; i + 2 < indices.size(); i += 3) {
        const unsigned int a = indices[i];
        const unsigned int b = indices[i + 1];
        const unsigned int c = indices[i + 2];
        // A triangle that names a vertex the mesh does not have is dropped.
        if (a >= vertices.size() || b >= vertices.size() || c >= vertices.size()) {
            continue;
        }
        triangles.push_back(builder.makeTriangle(a, b, c));
    }
    builder.countAll(triangles);
    return builder.construct(std::move(triangles));
}

} // namespace Engine::Scene
