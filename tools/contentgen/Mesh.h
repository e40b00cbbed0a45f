#pragma once

#include <array>
#include <string>
#include <vector>

namespace contentgen {

struct Vec3 {
    double x = 0, y = 0, z = 0;
};
Vec3 operator+(Vec3 a, Vec3 b);
Vec3 operator-(Vec3 a, Vec3 b);
Vec3 operator*(Vec3 a, double s);
double dot(Vec3 a, Vec3 b);
Vec3 cross(Vec3 a, Vec3 b);
Vec3 normalize(Vec3 a);

// A rotation (columns are the rotated axes) and a translation.
struct Frame {
    Vec3 x{1, 0, 0}, y{0, 1, 0}, z{0, 0, 1};
    Vec3 origin;
    Vec3 Point(Vec3 p) const { return origin + x * p.x + y * p.y + z * p.z; }
    Vec3 Direction(Vec3 d) const { return x * d.x + y * d.y + z * d.z; }
    // Rotated by angles in degrees about x, then y, then z, placed at origin.
    static Frame Euler(Vec3 degrees, Vec3 origin);
};

// A triangle mesh with a normal and a texture coordinate per vertex, built
// from simple solids in world coordinates and written as Wavefront OBJ.
// Triangles wind counter-clockwise seen from outside, so that the geometric
// normal points out of the solid.
class Mesh {
public:
    // Texture coordinates of boxes and walls: world units per texture repeat.
    explicit Mesh(double tile = 2.0) : tile(tile) {}

    // A box of half extents half, in frame.
    void Box(Frame const& frame, Vec3 half);
    // An axis-aligned box between two corners.
    void Block(Vec3 lo, Vec3 hi);
    // A tube of radius r around an arc of radius R in the frame's xz plane,
    // from angle a0 to a1 (radians), with the given segment and side counts.
    void Arc(Frame const& frame, double R, double r, double a0, double a1, int segments, int sides);
    // A round column along the frame's y axis from y0 to y1.
    void Column(Frame const& frame, double r, double y0, double y1, int sides);
    // A sphere at c.
    void Sphere(Vec3 c, double r, int rings, int sides);
    // A single quad with corners a, b, c, d counter-clockwise seen from the
    // side it faces; its texture covers [0, u] x [0, v].
    void Quad(Vec3 a, Vec3 b, Vec3 c, Vec3 d, double u, double v);
    void Append(Mesh const& other);

    std::size_t TriangleCount() const { return triangles.size(); }
    std::vector<Vec3> const& Positions() const { return positions; }
    std::vector<std::array<int, 3>> const& Triangles() const { return triangles; }
    // The smallest distance from p to any triangle.
    double Distance(Vec3 p) const;
    void WriteObj(std::string const& path) const;

private:
    int vertex(Vec3 p, Vec3 n, double u, double v);

    double tile;
    std::vector<Vec3> positions;
    std::vector<Vec3> normals;
    std::vector<std::array<double, 2>> uvs;
    std::vector<std::array<int, 3>> triangles;
};

// The distance from p to the triangle (a, b, c).
double PointTriangleDistance(Vec3 p, Vec3 a, Vec3 b, Vec3 c);

} // namespace contentgen
