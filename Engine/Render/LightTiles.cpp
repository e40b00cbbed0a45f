#include <Engine/Render/LightTiles.h>
#include <algorithm>
#include <cmath>
#include <initializer_list>

namespace Engine::Render {

using Math::Mat4f;
using Math::Vec3f;
using Math::Vec4f;
using Polygon = LightTiles::Polygon;
using Solid = LightTiles::Solid;

namespace {

// Points this far outside a plane (world units) still count as inside: the
// clipping errs towards larger reaches.
constexpr float Tolerance = 1.0e-4f;
// Bounds beyond this are no bounds.
constexpr float Unbounded = 1.0e30f;
// Sides of the pyramid around a cone, and the widest half-angle it is used
// for (wider cones are taken as spheres).
constexpr int ConeSides = 8;
constexpr float WidestPyramid = 1.2f;
constexpr float Pi = 3.14159265f;

float distance(Vec4f const& plane, Vec3f const& p) {
    return plane.X() * p.X() + plane.Y() * p.Y() + plane.Z() * p.Z() + plane.W();
}

// The part of the convex polygon *in inside a plane; *in then points to it
// (in *in or in spare, the other one left to scratch).
void clip(Polygon*& in, Polygon*& spare, Vec4f const& plane) {
    Polygon const& polygon = *in;
    float d[Polygon::MaxCorners];
    bool allInside = true;
    for (int i = 0; i < polygon.count; ++i) {
        d[i] = distance(plane, polygon.corners[i]);
        allInside = allInside && d[i] >= -Tolerance;
    }
    if (allInside) {
        return;
    }
    Polygon& result = *spare;
    result.count = 0;
    for (int i = 0; i < polygon.count; ++i) {
        const int j = i + 1 == polygon.count ? 0 : i + 1;
        const bool inside = d[i] >= -Tolerance;
        if (inside) {
            result.corners[result.count++] = polygon.corners[i];
        }
        if (inside != (d[j] >= -Tolerance) && result.count < Polygon::MaxCorners) {
            Vec3f const& a = polygon.corners[i];
            result.corners[result.count++] = a + (polygon.corners[j] - a) * (d[i] / (d[i] - d[j]));
        }
    }
    std::swap(in, spare);
}

// The face clipped by the solid's planes, into one of the two scratch
// polygons; returns that one.
Polygon const& clipped(Polygon const& face, Solid const& solid, Polygon& a, Polygon& b) {
    a.count = face.count;
    std::copy(face.corners, face.corners + face.count, a.corners);
    Polygon* in = &a;
    Polygon* spare = &b;
    for (int p = 0; p < solid.count && in->count > 0; ++p) {
        clip(in, spare, solid.planes[p]);
    }
    return *in;
}

// Adds a face, with its plane facing the inside point.
void addFace(Solid& solid, std::initializer_list<Vec3f> corners, Vec3f const& inside) {
    Polygon& face = solid.faces[solid.count];
    face.count = 0;
    for (Vec3f const& corner : corners) {
        face.corners[face.count++] = corner;
    }
    Vec3f n =
        Vec3f::CrossProd(face.corners[1] - face.corners[0], face.corners[2] - face.corners[0]);
    const float length = n.Length();
    n = length > 0.0f ? n / length : Vec3f(0.0f, 0.0f, 1.0f);
    float d = -Vec3f::DotProd(n, face.corners[0]);
    if (Vec3f::DotProd(n, inside) + d < 0.0f) {
        n = n * -1.0f;
        d = -d;
    }
    solid.planes[solid.count++] = Vec4f(n, d);
}

// A hexahedron from its corners, corner index bit 0 = x, bit 1 = y, bit 2 = z
// (0: the low side).
Solid hexahedron(Vec3f const (&c)[8]) {
    Vec3f centre(0.0f, 0.0f, 0.0f);
    for (Vec3f const& corner : c) {
        centre += corner * 0.125f;
    }
    Solid solid;
    addFace(solid, {c[0], c[2], c[6], c[4]}, centre);
    addFace(solid, {c[1], c[3], c[7], c[5]}, centre);
    addFace(solid, {c[0], c[1], c[5], c[4]}, centre);
    addFace(solid, {c[2], c[3], c[7], c[6]}, centre);
    addFace(solid, {c[0], c[1], c[3], c[2]}, centre);
    addFace(solid, {c[4], c[5], c[7], c[6]}, centre);
    return solid;
}

Solid box(Vec3f const& min, Vec3f const& max) {
    Vec3f corners[8];
    for (int i = 0; i < 8; ++i) {
        corners[i] = Vec3f((i & 1) ? max.X() : min.X(), (i & 2) ? max.Y() : min.Y(),
                           (i & 4) ? max.Z() : min.Z());
    }
    return hexahedron(corners);
}

// True when every corner of a lies inside every plane of b.
bool inside(Solid const& a, Solid const& b) {
    for (int f = 0; f < a.count; ++f) {
        Polygon const& face = a.faces[f];
        for (int i = 0; i < face.count; ++i) {
            for (int p = 0; p < b.count; ++p) {
                if (distance(b.planes[p], face.corners[i]) < -Tolerance) {
                    return false;
                }
            }
        }
    }
    return true;
}

bool bounded(Vec3f const& v) {
    return std::fabs(v.X()) < Unbounded && std::fabs(v.Y()) < Unbounded &&
           std::fabs(v.Z()) < Unbounded;
}

} // namespace

void LightTiles::Begin(int w, int h, Mat4f const& toClip, Mat4f const& toWorld,
                       Vec3f const& boundsMin, Vec3f const& boundsMax) {
    width = std::max(w, 1);
    height = std::max(h, 1);
    columns = (width + TileSize - 1) / TileSize;
    rows = (height + TileSize - 1) / TileSize;
    masks.assign(static_cast<size_t>(columns * rows), 0u);
    worldToClip = toClip;
    region = Solid();
    if (boundsMin.X() > boundsMax.X() || boundsMin.Y() > boundsMax.Y() ||
        boundsMin.Z() > boundsMax.Z()) {
        return; // nothing drawn, nothing lit
    }

    // The frustum: the corners of the clip-space cube taken to the world.
    Vec3f corners[8];
    for (int i = 0; i < 8; ++i) {
        const Vec4f p = toWorld * Vec4f((i & 1) ? 1.0f : -1.0f, (i & 2) ? 1.0f : -1.0f,
                                        (i & 4) ? 1.0f : -1.0f, 1.0f);
        corners[i] = p.GetVec3f() / p.W();
    }
    const Solid frustum = hexahedron(corners);
    if (!bounded(boundsMin) || !bounded(boundsMax)) {
        region = frustum;
        return;
    }
    // The region: each solid's faces clipped by the other's planes.
    const Solid bounds = box(boundsMin, boundsMax);
    Polygon a;
    Polygon b;
    for (Solid const* solid : {&frustum, &bounds}) {
        Solid const& other = solid == &frustum ? bounds : frustum;
        for (int f = 0; f < solid->count; ++f) {
            region.planes[region.count] = solid->planes[f];
            region.faces[region.count++] = clipped(solid->faces[f], other, a, b);
        }
    }
}

bool LightTiles::AddEverywhere(std::uint32_t bits) {
    for (std::uint32_t& mask : masks) {
        mask |= bits;
    }
    return !masks.empty();
}

float LightTiles::farthestFrom(Vec3f const& p) const {
    float farthest = 0.0f;
    for (int f = 0; f < region.count; ++f) {
        Polygon const& face = region.faces[f];
        for (int i = 0; i < face.count; ++i) {
            const Vec3f d = face.corners[i] - p;
            farthest = std::max(farthest, Vec3f::DotProd(d, d));
        }
    }
    return std::sqrt(farthest);
}

bool LightTiles::AddSphere(std::uint32_t bits, Vec3f const& centre, float radius) {
    // A reach that is not a number bounds nothing.
    const float farthest = farthestFrom(centre);
    const float r = std::isnan(radius) ? farthest : std::min(radius, farthest);
    if (!(r > 0.0f)) {
        return false;
    }
    const Vec3f extent(r, r, r);
    return addSolid(bits, box(centre - extent, centre + extent));
}

bool LightTiles::AddCone(std::uint32_t bits, Vec3f const& apex, Vec3f const& direction,
                         float halfAngle, float range) {
    const float farthest = farthestFrom(apex);
    const float length = std::isnan(range) ? farthest : std::min(range, farthest);
    const float directionLength = direction.Length();
    if (halfAngle > WidestPyramid || !(directionLength > 0.0f)) {
        return AddSphere(bits, apex, length);
    }
    if (!(length > 0.0f)) {
        return false;
    }
    const Vec3f axis = direction / directionLength;
    const Vec3f helper = std::fabs(axis.X()) < 0.9f ? Vec3f(1, 0, 0) : Vec3f(0, 1, 0);
    const Vec3f u = Vec3f::Normalize(Vec3f::CrossProd(axis, helper));
    const Vec3f v = Vec3f::CrossProd(axis, u);
    // The base polygon circumscribes the cone's end circle.
    const float radius = length * std::tan(halfAngle) / std::cos(Pi / ConeSides);
    const Vec3f end = apex + axis * length;
    Vec3f base[ConeSides];
    for (int i = 0; i < ConeSides; ++i) {
        const float a = 2.0f * Pi * static_cast<float>(i) / ConeSides;
        base[i] = end + (u * std::cos(a) + v * std::sin(a)) * radius;
    }
    const Vec3f inside = apex + axis * (0.5f * length);
    Solid pyramid;
    for (int i = 0; i < ConeSides; ++i) {
        addFace(pyramid, {apex, base[i], base[(i + 1) % ConeSides]}, inside);
    }
    addFace(pyramid, {base[0], base[1], base[2]}, inside);
    Polygon& bottom = pyramid.faces[pyramid.count - 1];
    bottom.count = 0;
    for (Vec3f const& corner : base) {
        bottom.corners[bottom.count++] = corner;
    }
    return addSolid(bits, pyramid);
}

bool LightTiles::addSolid(std::uint32_t bits, Solid const& reach) {
    // The corners of reach ∩ region: where one holds the other, the inner
    // one's corners; otherwise the faces of each clipped by the other's
    // planes.
    points.clear();
    Solid const* const solids[2] = {&region, &reach};
    bool nested = false;
    for (int s = 0; s < 2 && !nested; ++s) {
        if (inside(*solids[s], *solids[1 - s])) {
            nested = true;
            for (int f = 0; f < solids[s]->count; ++f) {
                Polygon const& face = solids[s]->faces[f];
                points.insert(points.end(), face.corners, face.corners + face.count);
            }
        }
    }
    Polygon a;
    Polygon b;
    for (int s = 0; s < 2 && !nested; ++s) {
        for (int f = 0; f < solids[s]->count; ++f) {
            Polygon const& polygon = clipped(solids[s]->faces[f], *solids[1 - s], a, b);
            points.insert(points.end(), polygon.corners, polygon.corners + polygon.count);
        }
    }
    if (points.empty() || masks.empty()) {
        return false;
    }
    // Their pixel rectangle, one pixel wider on every side.
    float minX = static_cast<float>(width);
    float minY = static_cast<float>(height);
    float maxX = 0.0f;
    float maxY = 0.0f;
    for (Vec3f const& p : points) {
        const Vec4f c = worldToClip * Vec4f(p, 1.0f);
        const float x = (c.X() / c.W() * 0.5f + 0.5f) * static_cast<float>(width);
        const float y = (c.Y() / c.W() * 0.5f + 0.5f) * static_cast<float>(height);
        if (!(c.W() > 1.0e-6f) || !std::isfinite(x) || !std::isfinite(y)) {
            minX = minY = 0.0f;
            maxX = static_cast<float>(width);
            maxY = static_cast<float>(height);
            break;
        }
        minX = std::min(minX, x);
        maxX = std::max(maxX, x);
        minY = std::min(minY, y);
        maxY = std::max(maxY, y);
    }
    const auto tile = [](float pixel, int last) {
        const float t = std::floor(pixel / static_cast<float>(TileSize));
        return static_cast<int>(std::clamp(t, 0.0f, static_cast<float>(last)));
    };
    const int c0 = tile(minX - 1.0f, columns - 1);
    const int c1 = tile(maxX + 1.0f, columns - 1);
    const int r0 = tile(minY - 1.0f, rows - 1);
    const int r1 = tile(maxY + 1.0f, rows - 1);
    for (int r = r0; r <= r1; ++r) {
        std::uint32_t* row = masks.data() + r * columns;
        for (int c = c0; c <= c1; ++c) {
            row[c] |= bits;
        }
    }
    return true;
}

} // namespace Engine::Render
