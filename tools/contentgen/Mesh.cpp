#include "Mesh.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <stdexcept>

namespace contentgen {

Vec3 operator+(Vec3 a, Vec3 b) {
    return {a.x + b.x, a.y + b.y, a.z + b.z};
}
Vec3 operator-(Vec3 a, Vec3 b) {
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}
Vec3 operator*(Vec3 a, double s) {
    return {a.x * s, a.y * s, a.z * s};
}
double dot(Vec3 a, Vec3 b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}
Vec3 cross(Vec3 a, Vec3 b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
Vec3 normalize(Vec3 a) {
    double const l = std::sqrt(dot(a, a));
    return l > 0 ? a * (1.0 / l) : a;
}

namespace {
double const PI = 3.14159265358979323846;

Vec3 rotate(Vec3 v, int axis, double degrees) {
    double const c = std::cos(degrees * PI / 180.0);
    double const s = std::sin(degrees * PI / 180.0);
    if (axis == 0)
        return {v.x, c * v.y - s * v.z, s * v.y + c * v.z};
    if (axis == 1)
        return {c * v.x + s * v.z, v.y, -s * v.x + c * v.z};
    return {c * v.x - s * v.y, s * v.x + c * v.y, v.z};
}
} // namespace

Frame Frame::Euler(Vec3 degrees, Vec3 origin) {
    Frame f;
    for (Vec3* axis : {&f.x, &f.y, &f.z}) {
        *axis = rotate(rotate(rotate(*axis, 0, degrees.x), 1, degrees.y), 2, degrees.z);
    }
    f.origin = origin;
    return f;
}

int Mesh::vertex(Vec3 p, Vec3 n, double u, double v) {
    positions.push_back(p);
    normals.push_back(n);
    uvs.push_back({u, v});
    return static_cast<int>(positions.size()) - 1;
}

void Mesh::Quad(Vec3 a, Vec3 b, Vec3 c, Vec3 d, double u, double v) {
    Vec3 const n = normalize(cross(b - a, d - a));
    int const i0 = vertex(a, n, 0, 0);
    int const i1 = vertex(b, n, u, 0);
    int const i2 = vertex(c, n, u, v);
    int const i3 = vertex(d, n, 0, v);
    triangles.push_back({i0, i1, i2});
    triangles.push_back({i0, i2, i3});
}

void Mesh::Box(Frame const& f, Vec3 h) {
    auto P = [&](double sx, double sy, double sz) {
        return f.Point({sx * h.x, sy * h.y, sz * h.z});
    };
    double const X = 2 * h.x / tile, Y = 2 * h.y / tile, Z = 2 * h.z / tile;
    Quad(P(1, -1, 1), P(1, -1, -1), P(1, 1, -1), P(1, 1, 1), Z, Y);     // +x
    Quad(P(-1, -1, -1), P(-1, -1, 1), P(-1, 1, 1), P(-1, 1, -1), Z, Y); // -x
    Quad(P(-1, 1, 1), P(1, 1, 1), P(1, 1, -1), P(-1, 1, -1), X, Z);     // +y
    Quad(P(-1, -1, -1), P(1, -1, -1), P(1, -1, 1), P(-1, -1, 1), X, Z); // -y
    Quad(P(-1, -1, 1), P(1, -1, 1), P(1, 1, 1), P(-1, 1, 1), X, Y);     // +z
    Quad(P(1, -1, -1), P(-1, -1, -1), P(-1, 1, -1), P(1, 1, -1), X, Y); // -z
}

void Mesh::Block(Vec3 lo, Vec3 hi) {
    Frame f;
    f.origin = (lo + hi) * 0.5;
    Box(f, (hi - lo) * 0.5);
}

void Mesh::Arc(Frame const& f, double R, double r, double a0, double a1, int segments, int sides) {
    int const base = static_cast<int>(positions.size());
    double const length = R * std::abs(a1 - a0);
    for (int i = 0; i <= segments; ++i) {
        double const a = a0 + (a1 - a0) * i / segments;
        Vec3 const radial{std::cos(a), 0, std::sin(a)};
        for (int j = 0; j <= sides; ++j) {
            double const b = 2 * PI * j / sides;
            Vec3 const n = radial * std::cos(b) + Vec3{0, std::sin(b), 0};
            vertex(f.Point(radial * R + n * r), f.Direction(n), length * i / segments / tile,
                   static_cast<double>(j) / sides);
        }
    }
    int const row = sides + 1;
    for (int i = 0; i < segments; ++i) {
        for (int j = 0; j < sides; ++j) {
            int const a = base + i * row + j, b = a + row, c = b + 1, d = a + 1;
            // Orientation: outward when the arc runs counter-clockwise about -y.
            if (a1 > a0) {
                triangles.push_back({a, d, c});
                triangles.push_back({a, c, b});
            } else {
                triangles.push_back({a, b, c});
                triangles.push_back({a, c, d});
            }
        }
    }
    // Caps close the tube where the arc ends.
    for (double a : {a0, a1}) {
        Vec3 const radial{std::cos(a), 0, std::sin(a)};
        Vec3 tangent = Vec3{-std::sin(a), 0, std::cos(a)} * (a == a0 ? -1.0 : 1.0);
        if (a1 < a0)
            tangent = tangent * -1.0;
        Vec3 const n = f.Direction(tangent);
        int const centre = vertex(f.Point(radial * R), n, 0.5, 0.5);
        int const first = static_cast<int>(positions.size());
        for (int j = 0; j < sides; ++j) {
            double const b = 2 * PI * j / sides;
            Vec3 const d = radial * std::cos(b) + Vec3{0, std::sin(b), 0};
            vertex(f.Point(radial * R + d * r), n, 0.5 + 0.5 * std::cos(b),
                   0.5 + 0.5 * std::sin(b));
        }
        for (int j = 0; j < sides; ++j) {
            int const p = first + j, q = first + (j + 1) % sides;
            Vec3 const g =
                cross(positions[p] - positions[centre], positions[q] - positions[centre]);
            if (dot(g, n) > 0) {
                triangles.push_back({centre, p, q});
            } else {
                triangles.push_back({centre, q, p});
            }
        }
    }
}

void Mesh::Column(Frame const& f, double r, double y0, double y1, int sides) {
    int const base = static_cast<int>(positions.size());
    double const around = 2 * PI * r / tile;
    for (int i = 0; i <= sides; ++i) {
        double const a = 2 * PI * i / sides;
        Vec3 const n{std::cos(a), 0, -std::sin(a)};
        vertex(f.Point(n * r + Vec3{0, y0, 0}), f.Direction(n), around * i / sides, 0);
        vertex(f.Point(n * r + Vec3{0, y1, 0}), f.Direction(n), around * i / sides,
               (y1 - y0) / tile);
    }
    for (int i = 0; i < sides; ++i) {
        int const a = base + 2 * i, b = a + 1, c = a + 3, d = a + 2;
        triangles.push_back({a, d, c});
        triangles.push_back({a, c, b});
    }
    for (double y : {y0, y1}) {
        Vec3 const n = f.Direction({0, y == y1 ? 1.0 : -1.0, 0});
        int const centre = vertex(f.Point({0, y, 0}), n, 0.5, 0.5);
        int const first = static_cast<int>(positions.size());
        for (int i = 0; i < sides; ++i) {
            double const a = 2 * PI * i / sides;
            vertex(f.Point({r * std::cos(a), y, -r * std::sin(a)}), n, 0.5 + 0.5 * std::cos(a),
                   0.5 + 0.5 * std::sin(a));
        }
        for (int i = 0; i < sides; ++i) {
            int const p = first + i, q = first + (i + 1) % sides;
            if (y == y1) {
                triangles.push_back({centre, p, q});
            } else {
                triangles.push_back({centre, q, p});
            }
        }
    }
}

void Mesh::Sphere(Vec3 c, double r, int rings, int sides) {
    int const base = static_cast<int>(positions.size());
    for (int i = 0; i <= rings; ++i) {
        double const t = PI * i / rings;
        for (int j = 0; j <= sides; ++j) {
            double const p = 2 * PI * j / sides;
            Vec3 const n{std::sin(t) * std::cos(p), std::cos(t), -std::sin(t) * std::sin(p)};
            vertex(c + n * r, n, static_cast<double>(j) / sides, static_cast<double>(i) / rings);
        }
    }
    int const row = sides + 1;
    for (int i = 0; i < rings; ++i) {
        for (int j = 0; j < sides; ++j) {
            int const a = base + i * row + j, b = a + row, cc = b + 1, d = a + 1;
            if (i != 0)
                triangles.push_back({a, b, d});
            if (i != rings - 1)
                triangles.push_back({d, b, cc});
        }
    }
}

void Mesh::Append(Mesh const& other) {
    int const base = static_cast<int>(positions.size());
    positions.insert(positions.end(), other.positions.begin(), other.positions.end());
    normals.insert(normals.end(), other.normals.begin(), other.normals.end());
    uvs.insert(uvs.end(), other.uvs.begin(), other.uvs.end());
    for (auto const& t : other.triangles) {
        triangles.push_back({t[0] + base, t[1] + base, t[2] + base});
    }
}

double PointTriangleDistance(Vec3 p, Vec3 a, Vec3 b, Vec3 c) {
    // Closest point by regions (Ericson, Real-Time Collision Detection 5.1.5).
    Vec3 const ab = b - a, ac = c - a, ap = p - a;
    double const d1 = dot(ab, ap), d2 = dot(ac, ap);
    auto dist = [&](Vec3 q) { return std::sqrt(dot(p - q, p - q)); };
    if (d1 <= 0 && d2 <= 0)
        return dist(a);
    Vec3 const bp = p - b;
    double const d3 = dot(ab, bp), d4 = dot(ac, bp);
    if (d3 >= 0 && d4 <= d3)
        return dist(b);
    double const vc = d1 * d4 - d3 * d2;
    if (vc <= 0 && d1 >= 0 && d3 <= 0)
        return dist(a + ab * (d1 / (d1 - d3)));
    Vec3 const cp = p - c;
    double const d5 = dot(ab, cp), d6 = dot(ac, cp);
    if (d6 >= 0 && d5 <= d6)
        return dist(c);
    double const vb = d5 * d2 - d1 * d6;
    if (vb <= 0 && d2 >= 0 && d6 <= 0)
        return dist(a + ac * (d2 / (d2 - d6)));
    double const va = d3 * d6 - d5 * d4;
    if (va <= 0 && (d4 - d3) >= 0 && (d5 - d6) >= 0) {
        return dist(b + (c - b) * ((d4 - d3) / ((d4 - d3) + (d5 - d6))));
    }
    double const denom = 1.0 / (va + vb + vc);
    return dist(a + ab * (vb * denom) + ac * (vc * denom));
}

double Mesh::Distance(Vec3 p) const {
    double best = 1e30;
    for (auto const& t : triangles) {
        Vec3 const& a = positions[t[0]];
        Vec3 const& b = positions[t[1]];
        Vec3 const& c = positions[t[2]];
        // Cheap reject by the triangle's box.
        double const lo[3] = {std::min({a.x, b.x, c.x}), std::min({a.y, b.y, c.y}),
                              std::min({a.z, b.z, c.z})};
        double const hi[3] = {std::max({a.x, b.x, c.x}), std::max({a.y, b.y, c.y}),
                              std::max({a.z, b.z, c.z})};
        double const q[3] = {p.x, p.y, p.z};
        double box = 0;
        for (int i = 0; i < 3; ++i) {
            double const d = std::max({lo[i] - q[i], 0.0, q[i] - hi[i]});
            box += d * d;
        }
        if (box >= best * best)
            continue;
        best = std::min(best, PointTriangleDistance(p, a, b, c));
    }
    return best;
}

void Mesh::WriteObj(std::string const& path) const {
    std::FILE* file = std::fopen(path.c_str(), "w");
    if (file == nullptr) {
        throw std::runtime_error(path + ": cannot write");
    }
    for (Vec3 const& p : positions)
        std::fprintf(file, "v %.5f %.5f %.5f\n", p.x, p.y, p.z);
    for (Vec3 const& n : normals)
        std::fprintf(file, "vn %.5f %.5f %.5f\n", n.x, n.y, n.z);
    for (auto const& t : uvs)
        std::fprintf(file, "vt %.5f %.5f\n", t[0], t[1]);
    for (auto const& t : triangles) {
        std::fprintf(file, "f %d/%d/%d %d/%d/%d %d/%d/%d\n", t[0] + 1, t[0] + 1, t[0] + 1, t[1] + 1,
                     t[1] + 1, t[1] + 1, t[2] + 1, t[2] + 1, t[2] + 1);
    }
    bool const ok = std::fclose(file) == 0;
    if (!ok)
        throw std::runtime_error(path + ": cannot write");
}

} // namespace contentgen
