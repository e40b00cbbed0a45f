#include <Engine/Util/CSplineInterpolator.h>
#include <Game/DemoPaths.h>
#include <Mesh.h>
#include <Scenes.h>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <sstream>

// The demo's cameras never come closer than 0.3 to the triangles of the scene
// they fly through, and no light of the demo sits in or against geometry.
// The triangles are read from the generated mesh files.
namespace {

using namespace contentgen;

struct Triangles {
    std::vector<Vec3> corners; // three per triangle
    std::vector<double> lift;  // how far displacement may move each one out
};

Triangles load(std::string const& scene) {
    Triangles t;
    for (auto const& entry : std::filesystem::directory_iterator(GENERATED_DIR "/Meshes")) {
        std::string const file = entry.path().filename().string();
        if (file.rfind(scene + "_", 0) != 0)
            continue;
        std::string const material = file.substr(scene.size() + 1, file.size() - scene.size() - 5);
        std::ifstream in(entry.path());
        std::vector<Vec3> v;
        std::string line;
        while (std::getline(in, line)) {
            std::istringstream s(line);
            std::string tag;
            s >> tag;
            if (tag == "v") {
                Vec3 p;
                s >> p.x >> p.y >> p.z;
                v.push_back(p);
            } else if (tag == "f") {
                for (int i = 0; i < 3; ++i) {
                    std::string corner;
                    s >> corner;
                    t.corners.push_back(v.at(std::stoul(corner) - 1));
                }
                t.lift.push_back(Scenes::Displaced(material) ? Scenes::DISPLACEMENT : 0.0);
            }
        }
    }
    return t;
}

std::vector<Vec3> sample(Game::DemoPaths::Path const& path) {
    Engine::Util::CSplineInterpolator spline(Game::DemoPaths::ToCurvePoints(path),
                                             static_cast<unsigned short>(path.size()));
    std::vector<Vec3> points;
    for (float t = path.front().time; t <= spline.CurveLength(); t += 0.05f) {
        Engine::Math::Vec3f const p = spline.Interpolate(t);
        points.push_back({p.X(), p.Y(), p.Z()});
    }
    return points;
}

// The smallest clearance from p to any triangle, less its displacement.
double clearance(Triangles const& t, Vec3 p) {
    double best = 1e30;
    for (std::size_t i = 0; i < t.lift.size(); ++i) {
        Vec3 const& a = t.corners[3 * i];
        if (std::abs(a.x - p.x) > best + 17 || std::abs(a.z - p.z) > best + 17)
            continue;
        best =
            std::min(best, PointTriangleDistance(p, a, t.corners[3 * i + 1], t.corners[3 * i + 2]) -
                               t.lift[i]);
    }
    return best;
}

// Whether a ray from p first meets the back of a triangle, that is p lies
// inside a solid.
bool insideAlong(Triangles const& t, Vec3 p, Vec3 d) {
    double nearest = 1e30;
    bool back = false;
    for (std::size_t i = 0; i < t.lift.size(); ++i) {
        Vec3 const a = t.corners[3 * i], e1 = t.corners[3 * i + 1] - a,
                   e2 = t.corners[3 * i + 2] - a;
        Vec3 const h = cross(d, e2);
        double const det = dot(e1, h);
        if (std::abs(det) < 1e-12)
            continue;
        Vec3 const s = p - a;
        double const u = dot(s, h) / det;
        Vec3 const q = cross(s, e1);
        double const v = dot(d, q) / det;
        double const dist = dot(e2, q) / det;
        if (u < 0 || v < 0 || u + v > 1 || dist <= 0 || dist >= nearest)
            continue;
        nearest = dist;
        back = dot(cross(e1, e2), d) > 0;
    }
    return back;
}

void expectClear(Triangles const& t, std::vector<Vec3> const& points, double margin,
                 char const* what) {
    ASSERT_FALSE(points.empty());
    for (Vec3 const& p : points) {
        double const c = clearance(t, p);
        EXPECT_GE(c, margin) << what << " at (" << p.x << ", " << p.y << ", " << p.z << ")";
        for (Vec3 d : {Vec3{1, 0, 0}, Vec3{-1, 0, 0}, Vec3{0, 1, 0}, Vec3{0, -1, 0}, Vec3{0, 0, 1},
                       Vec3{0, 0, -1}}) {
            EXPECT_FALSE(insideAlong(t, p, d))
                << what << " inside geometry at (" << p.x << ", " << p.y << ", " << p.z << ")";
        }
        if (c < margin)
            return; // one report per path is enough
    }
}

// The lights of a model record of the generated manifest.
std::vector<Vec3> recordLights(int id) {
    std::ifstream in(GENERATED_DIR "/demo.json");
    std::stringstream text;
    text << in.rdbuf();
    nlohmann::json const manifest = nlohmann::json::parse(text.str(), nullptr, true, true);
    std::vector<Vec3> points;
    for (auto const& model : manifest["models"]) {
        if (!model.contains("id") || model["id"] != id)
            continue;
        for (auto const& c : model["components"]) {
            if (c["type"] != "light")
                continue;
            for (auto const& l : c["lights"]) {
                points.push_back({l["location"][0], l["location"][1], l["location"][2]});
            }
        }
    }
    return points;
}

} // namespace

TEST(Clearance, TheFirstWorldsFlightsAndLightsKeepClear) {
    Triangles const t = load("armillary");
    ASSERT_FALSE(t.lift.empty());
    expectClear(t, sample(Game::DemoPaths::CameraA(5)), 0.3, "camera A");
    expectClear(t, sample(Game::DemoPaths::SearchLight(5)), 0.3, "searchlight");
    expectClear(t, sample(Game::DemoPaths::GodRay1(73)), 0.3, "god-ray light 1");
    expectClear(t, sample(Game::DemoPaths::GodRay2(73)), 0.3, "god-ray light 2");
    expectClear(t, {{0, -11, 0}}, 0.3, "god-ray light 3");
    std::vector<Vec3> const own = recordLights(10);
    EXPECT_EQ(own.size(), 2u);
    expectClear(t, own, 0.3, "object 10's light");
}

TEST(Clearance, TheSecondWorldsFlightsAndLightsKeepClear) {
    Triangles const t = load("hall");
    ASSERT_FALSE(t.lift.empty());
    expectClear(t, sample(Game::DemoPaths::CameraB(96.5f)), 0.3, "camera B");
    expectClear(t, sample(Game::DemoPaths::RisingLight(96.5f)), 0.3, "rising light");
    expectClear(
        t, {{1.597, 5.44, -3.285}, {-0.9298, 5.44, -3.285}, {-3.76, 6.471, -8.611}, {0, 3.2, 8}},
        0.3, "hall light");
    std::vector<Vec3> const own = recordLights(9);
    EXPECT_GE(own.size(), 1u);
    EXPECT_LE(own.size(), 10u);
    expectClear(t, own, 0.3, "object 9's light");
}
