#include "Scenes.h"

#include <Engine/Util/CSplineInterpolator.h>
#include <Game/DemoPaths.h>
#include <algorithm>
#include <cmath>
#include <set>

namespace contentgen::Scenes {

namespace {

double const PI = 3.14159265358979323846;
float const T = 5.0f;  // script time offset
float const W = 96.5f; // switch time with T
float const G = 73.0f; // god rays 1 and 2 with T
float const STEP = 0.05f;

std::vector<Vec3> sample(Game::DemoPaths::Path const& path) {
    Engine::Util::CSplineInterpolator spline(Game::DemoPaths::ToCurvePoints(path),
                                             static_cast<unsigned short>(path.size()));
    std::vector<Vec3> points;
    for (float t = path.front().time; t <= spline.CurveLength() + 1e-4f; t += STEP) {
        Engine::Math::Vec3f const p = spline.Interpolate(t);
        points.push_back({p.X(), p.Y(), p.Z()});
    }
    return points;
}

// Collects pieces and leaves out those too close to the keep-out points.
class Builder {
public:
    Builder(Scene& scene, bool firstWorld)
        : scene(scene), cameras(CameraSamples(firstWorld)), lights(LightSamples(firstWorld)) {}

    // A piece the flights may remove.
    void Add(std::string const& material, Mesh const& piece) {
        double const extra = Displaced(material) ? DISPLACEMENT : 0.0;
        if (near(piece, cameras, CAMERA_MARGIN + extra) ||
            near(piece, lights, LIGHT_MARGIN + extra)) {
            ++scene.carved;
            return;
        }
        Keep(material, piece);
    }
    // A piece that stays whatever passes (walls, floor).
    void Keep(std::string const& material, Mesh const& piece) {
        auto it = scene.meshes.find(material);
        if (it == scene.meshes.end()) {
            it = scene.meshes.emplace(material, Mesh()).first;
        }
        it->second.Append(piece);
    }
    void AddLight(Light const& light) {
        lights.push_back(light.location);
        scene.lights.push_back(light);
    }

private:
    static bool near(Mesh const& piece, std::vector<Vec3> const& points, double margin) {
        Vec3 lo{1e30, 1e30, 1e30}, hi{-1e30, -1e30, -1e30};
        for (Vec3 const& p : piece.Positions()) {
            lo = {std::min(lo.x, p.x), std::min(lo.y, p.y), std::min(lo.z, p.z)};
            hi = {std::max(hi.x, p.x), std::max(hi.y, p.y), std::max(hi.z, p.z)};
        }
        for (Vec3 const& p : points) {
            if (p.x < lo.x - margin || p.x > hi.x + margin || p.y < lo.y - margin ||
                p.y > hi.y + margin || p.z < lo.z - margin || p.z > hi.z + margin) {
                continue;
            }
            if (piece.Distance(p) < margin)
                return true;
        }
        return false;
    }

    Scene& scene;
    std::vector<Vec3> cameras;
    std::vector<Vec3> lights;
};

// A frame whose y axis runs from a to b.
Frame along(Vec3 a, Vec3 b) {
    Frame f;
    f.y = normalize(b - a);
    Vec3 const helper = std::abs(f.y.y) < 0.9 ? Vec3{0, 1, 0} : Vec3{1, 0, 0};
    f.x = normalize(cross(f.y, helper));
    f.z = cross(f.x, f.y);
    f.origin = a;
    return f;
}

Mesh strut(Vec3 a, Vec3 b, double r, int sides) {
    Mesh m;
    m.Column(along(a, b), r, 0, std::sqrt(dot(b - a, b - a)), sides);
    return m;
}

Mesh block(Vec3 lo, Vec3 hi, double tile = 2.0) {
    Mesh m(tile);
    m.Block(lo, hi);
    return m;
}

Mesh box(Frame const& f, Vec3 half, double tile = 2.0) {
    Mesh m(tile);
    m.Box(f, half);
    return m;
}

Mesh sphere(Vec3 c, double r) {
    Mesh m;
    m.Sphere(c, r, 8, 12);
    return m;
}

// A full ring in the frame's xz plane, as arcs so that the flights can break it.
void ring(Builder& b, std::string const& material, Frame const& f, double R, double r, int pieces,
          int segmentsPerPiece, int sides) {
    for (int i = 0; i < pieces; ++i) {
        Mesh m(1.0);
        m.Arc(f, R, r, 2 * PI * i / pieces, 2 * PI * (i + 1) / pieces, segmentsPerPiece, sides);
        b.Add(material, m);
    }
}

// The vertices and edges of an icosahedron split once, on a sphere of radius r.
void geodesic(double r, std::vector<Vec3>& vertices, std::vector<std::pair<int, int>>& edges) {
    double const g = (1 + std::sqrt(5.0)) / 2;
    std::vector<Vec3> v = {{-1, g, 0}, {1, g, 0}, {-1, -g, 0}, {1, -g, 0},
                           {0, -1, g}, {0, 1, g}, {0, -1, -g}, {0, 1, -g},
                           {g, 0, -1}, {g, 0, 1}, {-g, 0, -1}, {-g, 0, 1}};
    int const faces[20][3] = {{0, 11, 5}, {0, 5, 1},  {0, 1, 7},   {0, 7, 10}, {0, 10, 11},
                              {1, 5, 9},  {5, 11, 4}, {11, 10, 2}, {10, 7, 6}, {7, 1, 8},
                              {3, 9, 4},  {3, 4, 2},  {3, 2, 6},   {3, 6, 8},  {3, 8, 9},
                              {4, 9, 5},  {2, 4, 11}, {6, 2, 10},  {8, 6, 7},  {9, 8, 1}};
    std::map<std::pair<int, int>, int> middle;
    auto mid = [&](int a, int b) {
        std::pair<int, int> const key{std::min(a, b), std::max(a, b)};
        auto it = middle.find(key);
        if (it != middle.end())
            return it->second;
        v.push_back((v[a] + v[b]) * 0.5);
        middle[key] = static_cast<int>(v.size()) - 1;
        return static_cast<int>(v.size()) - 1;
    };
    std::set<std::pair<int, int>> edgeSet;
    auto edge = [&](int a, int b) { edgeSet.insert({std::min(a, b), std::max(a, b)}); };
    for (auto const& f : faces) {
        int const ab = mid(f[0], f[1]), bc = mid(f[1], f[2]), ca = mid(f[2], f[0]);
        int const tri[4][3] = {{f[0], ab, ca}, {f[1], bc, ab}, {f[2], ca, bc}, {ab, bc, ca}};
        for (auto const& t : tri) {
            edge(t[0], t[1]);
            edge(t[1], t[2]);
            edge(t[2], t[0]);
        }
    }
    for (Vec3& p : v)
        p = normalize(p) * r;
    vertices = v;
    edges.assign(edgeSet.begin(), edgeSet.end());
}

} // namespace

bool Displaced(std::string const& material) {
    return material == "relief";
}

std::vector<Vec3> CameraSamples(bool firstWorld) {
    return firstWorld ? sample(Game::DemoPaths::CameraA(T)) : sample(Game::DemoPaths::CameraB(W));
}

std::vector<Vec3> LightSamples(bool firstWorld) {
    std::vector<Vec3> points;
    auto add = [&](std::vector<Vec3> const& more) {
        points.insert(points.end(), more.begin(), more.end());
    };
    if (firstWorld) {
        add(sample(Game::DemoPaths::SearchLight(T)));
        add(sample(Game::DemoPaths::GodRay1(G)));
        add(sample(Game::DemoPaths::GodRay2(G)));
        points.push_back({0, -11, 0});
    } else {
        add(sample(Game::DemoPaths::RisingLight(W)));
        points.push_back({1.597, 5.44, -3.285});
        points.push_back({-0.9298, 5.44, -3.285});
        points.push_back({-3.76, 6.471, -8.611});
        points.push_back({0, 3.2, 8});
    }
    return points;
}

Scene FirstWorld() {
    Scene scene;
    scene.name = "armillary";
    Builder b(scene, true);
    // Lights of the model record, for the object on its own: a warm glow in
    // the hollow core and a shadow-casting key light from above.
    b.AddLight({false, {0, 0, 0}, {}});
    b.AddLight({true, {7, 12, 7}, normalize({-7, -12, -7})});

    // The armillary: great rings of metal, tilted against each other.
    Vec3 const tilts[5] = {{0, 0, 0}, {90, 30, 0}, {90, -60, 0}, {23, 0, 12}, {-40, 45, 0}};
    double const radii[5] = {6.3, 6.0, 5.7, 5.4, 6.6};
    for (int i = 0; i < 5; ++i) {
        ring(b, "steel", Frame::Euler(tilts[i], {}), radii[i], 0.13, 16, 8, 12);
    }
    // A geodesic lattice cage outside the rings, with small lamps at its nodes.
    std::vector<Vec3> nodes;
    std::vector<std::pair<int, int>> edges;
    geodesic(8.5, nodes, edges);
    for (auto const& e : edges) {
        b.Add("brass", strut(nodes[e.first], nodes[e.second], 0.05, 6));
    }
    for (Vec3 const& n : nodes) {
        b.Add("lamp", sphere(n, 0.14));
    }
    // Floating ruins beneath: two broken rings of stone blocks and a grate
    // of bars that cut the upward beam into shafts.
    for (int i = 0; i < 14; ++i) {
        double const a = 2 * PI * (i + 0.25) / 14;
        Frame const f =
            Frame::Euler({4.0 * std::sin(i * 1.7), -a * 180 / PI, 6.0 * std::cos(i * 2.3)},
                         {3.8 * std::cos(a), -5.0 + 0.3 * std::sin(i * 1.3), 3.8 * std::sin(a)});
        b.Add(i % 4 == 0 ? "relief" : "masonry", box(f, {0.45, 0.35, 0.7}));
    }
    for (int i = 0; i < 7; ++i) {
        double const a = 2 * PI * i / 7;
        Frame const f =
            Frame::Euler({0, -a * 180 / PI + 20, 8}, {1.9 * std::cos(a), -4.2, 1.9 * std::sin(a)});
        b.Add("masonry", box(f, {0.3, 0.25, 0.45}));
    }
    for (int i = -5; i <= 5; ++i) {
        double const z = 0.8 * i;
        double const half = std::sqrt(std::max(0.0, 4.6 * 4.6 - z * z));
        b.Add("steel", block({-half, -6.6, z - 0.09}, {half, -6.4, z + 0.09}, 1.0));
    }
    b.Add("steel", [] {
        Mesh m(1.0);
        m.Arc(Frame::Euler({0, 0, 0}, {0, -6.5, 0}), 4.7, 0.16, 0, 2 * PI, 96, 10);
        return m;
    }());
    // Broken columns drifting around the equator.
    for (int i = 0; i < 8; ++i) {
        double const a = 2 * PI * (i + 0.5) / 8;
        Vec3 const c{8.0 * std::cos(a), 2.5 * std::sin(i * 2.1), 8.0 * std::sin(a)};
        Frame f = Frame::Euler({12.0 * std::sin(i * 1.1), 30.0 * i, 15.0 * std::cos(i * 0.7)}, c);
        Mesh m;
        m.Column(f, 0.32, -1.1, 1.1 - 0.3 * (i % 3), 14);
        b.Add("masonry", m);
        b.Add("masonry",
              box(Frame::Euler({12.0 * std::sin(i * 1.1), 30.0 * i, 15.0 * std::cos(i * 0.7)},
                               f.Point({0, -1.25, 0})),
                  {0.45, 0.15, 0.45}));
    }
    // A few large carved blocks above, displaced by the relief map.
    for (int i = 0; i < 4; ++i) {
        double const a = 2 * PI * i / 4 + 0.4;
        b.Add("relief", box(Frame::Euler({10, 45.0 + 90.0 * i, -8},
                                         {4.0 * std::cos(a), 4.6, 4.0 * std::sin(a)}),
                            {0.7, 0.3, 0.5}));
    }
    return scene;
}

Scene SecondWorld() {
    Scene scene;
    scene.name = "hall";
    Builder b(scene, false);
    double const floorY = -0.2, ceilY = 7.0, X = 7.5, zFar = -14.5, zNear = 12.5, t = 0.4;

    // Floor with an opening at (0, 2.5) over a deep shaft.
    b.Keep("masonry", block({-X - t, floorY - 0.3, zFar - t}, {X + t, floorY, 1.8}));
    b.Keep("masonry", block({-X - t, floorY - 0.3, 3.2}, {X + t, floorY, zNear + 2.5}));
    b.Keep("masonry", block({-X - t, floorY - 0.3, 1.8}, {-0.7, floorY, 3.2}));
    b.Keep("masonry", block({0.7, floorY - 0.3, 1.8}, {X + t, floorY, 3.2}));
    b.Keep("masonry", block({-0.9, -9.0, 1.6}, {-0.7, floorY - 0.3, 3.4}));
    b.Keep("masonry", block({0.7, -9.0, 1.6}, {0.9, floorY - 0.3, 3.4}));
    b.Keep("masonry", block({-0.7, -9.0, 1.6}, {0.7, floorY - 0.3, 1.8}));
    b.Keep("masonry", block({-0.7, -9.0, 3.2}, {0.7, floorY - 0.3, 3.4}));
    // Ceiling.
    b.Keep("plaster", block({-X - t, ceilY, zFar - t}, {X + t, ceilY + 0.3, zNear + t}, 4.0));

    // Long walls with windows: openings are {z0, z1, y0, y1}.
    struct Opening {
        double z0, z1, y0, y1;
    };
    auto wall = [&](double x0, double x1, std::vector<Opening> openings, double windowX) {
        double z = zFar - t;
        for (Opening const& o : openings) {
            b.Keep("plaster", block({x0, floorY, z}, {x1, ceilY, o.z0}, 4.0));
            if (o.y0 > floorY)
                b.Keep("plaster", block({x0, floorY, o.z0}, {x1, o.y0, o.z1}, 4.0));
            b.Keep("plaster", block({x0, o.y1, o.z0}, {x1, ceilY, o.z1}, 4.0));
            z = o.z1;
            if (windowX != 0 && o.y1 - o.y0 < 3.1) {
                Mesh pane;
                // The pane faces into the hall.
                double const w = windowX;
                Vec3 const a{w, o.y0, windowX > 0 ? o.z0 : o.z1};
                Vec3 const bb{w, o.y0, windowX > 0 ? o.z1 : o.z0};
                pane.Quad(a, bb, {bb.x, o.y1, bb.z}, {a.x, o.y1, a.z}, 1, 2);
                b.Keep("window", pane);
                b.Keep("masonry", block({std::min(x0, x1) - 0.1, o.y0 - 0.12, o.z0 - 0.1},
                                        {std::max(x0, x1) + 0.1, o.y0, o.z1 + 0.1}));
            }
        }
        b.Keep("plaster", block({x0, floorY, z}, {x1, ceilY, zNear + t}, 4.0));
    };
    wall(X, X + t, {{-10.8, -9.2, 2, 5}, {-5.8, -4.2, 2, 5}, {-0.8, 0.8, 2, 5}, {4.2, 5.8, 2, 5}},
         X + 0.3);
    wall(-X - t, -X,
         {{-10.8, -9.2, 2, 5}, {-7.3, -5.7, 2, 5}, {-3.5, 1.5, floorY, 6.5}, {4.2, 5.8, 2, 5}},
         -X - 0.3);
    // The gallery: a balcony in a recess of the left wall, with a balustrade.
    b.Keep("wood", block({-10.4, 3.35, -3.5}, {-7.7, 3.65, 1.5}, 2.0));
    b.Keep("plaster", block({-10.8, 3.0, -3.9}, {-10.4, 6.8, 1.9}, 4.0));
    b.Keep("plaster", block({-10.4, 3.0, -3.9}, {-X - t, 6.8, -3.5}, 4.0));
    b.Keep("plaster", block({-10.4, 3.0, 1.5}, {-X - t, 6.8, 1.9}, 4.0));
    b.Keep("plaster", block({-10.4, 6.5, -3.5}, {-X - t, 6.8, 1.5}, 4.0));
    b.Keep("plaster", block({-10.4, -0.2, -3.5}, {-X - t, 3.35, 1.5}, 4.0));
    for (int i = 0; i <= 10; ++i) {
        b.Add("steel",
              strut({-7.85, 3.65, -3.4 + 0.48 * i}, {-7.85, 4.5, -3.4 + 0.48 * i}, 0.035, 6));
    }
    b.Add("wood", block({-7.92, 4.5, -3.5}, {-7.78, 4.6, 1.5}, 1.0));
    b.Add("wood", block({-10.2, 3.65, -2.6}, {-9.7, 4.1, 0.6}, 1.0));
    b.Add("lamp", sphere({-9.6, 5.7, -1.0}, 0.1));
    b.AddLight({false, {-9.2, 5.0, -1.0}, {}});

    // Far wall with a round window above a carved relief; entrance wall with
    // a doorway onto daylight.
    b.Keep("plaster", block({-X - t, floorY, zFar - t}, {X + t, ceilY, zFar}, 4.0));
    {
        Mesh rose;
        rose.Quad({-1.2, 3.3, zFar + 0.02}, {1.2, 3.3, zFar + 0.02}, {1.2, 5.7, zFar + 0.02},
                  {-1.2, 5.7, zFar + 0.02}, 1, 1);
        b.Keep("window", rose);
        Mesh frame(1.0);
        frame.Arc(Frame::Euler({90, 0, 0}, {0, 4.5, zFar + 0.06}), 1.25, 0.08, 0, 2 * PI, 64, 8);
        b.Keep("steel", frame);
    }
    b.Keep("relief", block({-2.5, 0.4, zFar}, {2.5, 3.0, zFar + 0.3}, 2.5));
    b.Keep("masonry", block({-4.0, floorY, zFar}, {4.0, 0.1, -12.6}));
    b.Keep("masonry", block({-3.0, 0.1, zFar}, {3.0, 0.4, -13.3}));
    for (double x : {-3.2, 3.2}) {
        b.Add("steel", strut({x, 0.1, -13.0}, {x, 1.6, -13.0}, 0.1, 12));
        Mesh bowl(1.0);
        bowl.Arc(Frame::Euler({0, 0, 0}, {x, 1.62, -13.0}), 0.26, 0.06, 0, 2 * PI, 24, 8);
        b.Add("steel", bowl);
        b.Add("lamp", sphere({x, 1.72, -13.0}, 0.16));
        b.AddLight({false, {x, 2.25, -13.0}, {}});
    }
    b.AddLight({true, {0, 6.2, -10.0}, normalize({0, -0.5, -1.0})});
    b.Keep("plaster", block({-X - t, floorY, zNear}, {-1.6, ceilY, zNear + t}, 4.0));
    b.Keep("plaster", block({1.6, floorY, zNear}, {X + t, ceilY, zNear + t}, 4.0));
    b.Keep("plaster", block({-1.6, 4.0, zNear}, {1.6, ceilY, zNear + t}, 4.0));
    {
        Mesh day;
        day.Quad({1.8, floorY, 14.5}, {-1.8, floorY, 14.5}, {-1.8, 4.4, 14.5}, {1.8, 4.4, 14.5}, 1,
                 1);
        b.Keep("daylight", day);
    }

    // Columns along both sides, beams across the ceiling, pews.
    for (double x : {-5.0, 5.0}) {
        for (double z : {-11.0, -7.0, -3.0, 5.0, 9.0}) {
            Frame f;
            f.origin = {x, 0, z};
            Mesh column;
            column.Column(f, 0.35, floorY, ceilY - 0.3, 16);
            b.Add("masonry", column);
            b.Add("masonry", block({x - 0.45, floorY, z - 0.45}, {x + 0.45, 0.2, z + 0.45}));
            b.Add("masonry", block({x - 0.45, ceilY - 0.3, z - 0.45}, {x + 0.45, ceilY, z + 0.45}));
        }
    }
    for (double z : {-12.0, -8.0, -4.0, 0.0, 4.0, 8.0, 11.0}) {
        b.Add("wood", block({-X, 6.6, z - 0.15}, {X, ceilY, z + 0.15}, 2.0));
    }
    for (double side : {-1.0, 1.0}) {
        for (double z : {-10.0, -8.5, -7.0}) {
            double const x0 = side < 0 ? -4.0 : 1.3, x1 = side < 0 ? -1.3 : 4.0;
            b.Add("wood", block({x0, 0.2, z - 0.22}, {x1, 0.28, z + 0.22}, 1.0));
            b.Add("wood", block({x0, 0.28, z + 0.2}, {x1, 0.85, z + 0.25}, 1.0));
            b.Add("wood", block({x0, floorY, z - 0.2}, {x0 + 0.06, 0.2, z + 0.2}, 1.0));
            b.Add("wood", block({x1 - 0.06, floorY, z - 0.2}, {x1, 0.2, z + 0.2}, 1.0));
        }
    }
    // Wall sconces.
    for (auto const& s : {Vec3{7.0, 3.6, 2.5}, Vec3{-7.0, 3.6, 8.5}}) {
        double const wx = s.x > 0 ? X : -X;
        double const out = s.x > 0 ? -1.0 : 1.0;
        b.Add("steel", block({std::min(wx, wx + out * 0.25), 3.9, s.z - 0.05},
                             {std::max(wx, wx + out * 0.25), 3.98, s.z + 0.05}, 1.0));
        b.Add("lamp", sphere({wx + out * 0.2, 4.1, s.z}, 0.07));
        b.AddLight({false, s, {}});
    }

    // The focal object: a small armillary on a carved pedestal under the lamp.
    b.Add("relief", block({-0.4, floorY, 7.6}, {0.4, 0.8, 8.4}, 1.0));
    b.Add("steel", strut({0, 0.8, 8}, {0, 0.92, 8}, 0.04, 8));
    for (Vec3 tilt : {Vec3{0, 0, 0}, Vec3{90, 0, 0}, Vec3{90, 60, 0}, Vec3{60, 0, 30}}) {
        Mesh m(0.5);
        m.Arc(Frame::Euler(tilt, {0, 1.25, 8}), 0.33, 0.022, 0, 2 * PI, 48, 8);
        b.Add("brass", m);
    }
    b.Add("lamp", sphere({0, 1.25, 8}, 0.07));
    b.Add("steel", strut({0, 3.75, 8}, {0, ceilY, 8}, 0.02, 6));
    {
        Frame f;
        f.origin = {0, 0, 8};
        Mesh shade;
        shade.Column(f, 0.22, 3.55, 3.75, 16);
        b.Add("steel", shade);
    }
    // Hanging lamps above the two ceiling lights, and the spot's fitting.
    for (Vec3 const& l : {Vec3{1.597, 5.44, -3.285}, Vec3{-0.9298, 5.44, -3.285}}) {
        b.Add("steel", strut({l.x, 6.0, l.z}, {l.x, ceilY, l.z}, 0.025, 6));
        Mesh m(1.0);
        m.Arc(Frame::Euler({0, 0, 0}, {l.x, 5.92, l.z}), 0.45, 0.035, 0, 2 * PI, 32, 8);
        b.Add("steel", m);
        b.Add("lamp", sphere({l.x, 5.96, l.z}, 0.09));
    }
    {
        Frame f;
        f.origin = {-3.76, 0, -8.611};
        Mesh fitting;
        fitting.Column(f, 0.3, 6.85, ceilY, 16);
        b.Add("steel", fitting);
    }
    return scene;
}

} // namespace contentgen::Scenes
