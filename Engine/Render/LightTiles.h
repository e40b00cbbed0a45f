#pragma once

#include <Engine/Export.h>
#include <Engine/Math/Mat4f.h>
#include <Engine/Math/Vec3f.h>
#include <Engine/Math/Vec4f.h>
#include <cstdint>
#include <vector>

namespace Engine::Render {

// The screen tiles of the lighting pass and the lights that may reach them.
// Every tile of TileSize x TileSize pixels holds a mask with one bit per
// light slot; a light's bits are set in every tile onto which the part of its
// reach inside the view frustum and inside the bounds of the frame's geometry
// projects. The lighting shader evaluates in each tile only the lights whose
// bits it holds, so a light lights the pixels near it, not the whole screen.
//
// The test is conservative: a surface point inside the geometry bounds and
// inside a light's reach always projects into a tile with the light's bits.
// Reaches are convex: a sphere is bounded by its cube, a cone by a pyramid
// around it, and either is clipped against the frustum and the bounds before
// it is projected. Free of OpenGL.
class ENGINE_API LightTiles {
public:
    // Small enough that a light's tiles hug its reach; a GPU's groups of
    // pixels (8 x 4) still share one tile's list.
    static constexpr int TileSize = 8;

    // Starts a frame of width x height pixels seen through worldToClip
    // (clipToWorld is its inverse), whose geometry lies inside the box from
    // boundsMin to boundsMax (a box with min > max: nothing drawn; the largest
    // floats: no bounds). Clears every mask.
    void Begin(int width, int height, Math::Mat4f const& worldToClip,
               Math::Mat4f const& clipToWorld, Math::Vec3f const& boundsMin,
               Math::Vec3f const& boundsMax);
    // Each Add returns whether the reach meets a tile: a light that meets
    // none lights nothing in the frame (bits may be 0 to ask only that).
    // Sets bits in every tile (lights without a bounded reach).
    bool AddEverywhere(std::uint32_t bits);
    // Sets bits where the sphere may be seen on the frame's geometry.
    bool AddSphere(std::uint32_t bits, Math::Vec3f const& centre, float radius);
    // The same for a cone from apex along direction, with the half-angle
    // (radians) and the length range; a half-angle too wide for a pyramid is
    // taken as the sphere of the range.
    bool AddCone(std::uint32_t bits, Math::Vec3f const& apex, Math::Vec3f const& direction,
                 float halfAngle, float range);

    int Columns() const { return columns; }
    int Rows() const { return rows; }
    // Row after row from the bottom of the screen (window coordinates).
    std::vector<std::uint32_t> const& Masks() const { return masks; }

    // A convex polygon; a face of at most 8 corners clipped by at most 21
    // planes gains at most one corner a plane.
    struct Polygon {
        static constexpr int MaxCorners = 32;
        Math::Vec3f corners[MaxCorners];
        int count = 0;
    };
    // A convex solid: its planes (a point p is inside when n . p + d >= 0 for
    // every plane (n, d)) and its faces, face i lying on plane i.
    struct Solid {
        static constexpr int MaxFaces = 12;
        Math::Vec4f planes[MaxFaces];
        Polygon faces[MaxFaces];
        int count = 0;
    };

private:
    // Sets bits in the tiles under the part of the solid inside the region.
    bool addSolid(std::uint32_t bits, Solid const& reach);
    // The farthest distance from p to a point of the region.
    float farthestFrom(Math::Vec3f const& p) const;

    int width = 0;
    int height = 0;
    int columns = 0;
    int rows = 0;
    Math::Mat4f worldToClip;
    // The frustum clipped by the bounds: what a light can be seen on.
    Solid region;
    std::vector<std::uint32_t> masks;
    // The corners of the part of a reach inside the region.
    std::vector<Math::Vec3f> points;
};

} // namespace Engine::Render
