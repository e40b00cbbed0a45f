#include <Engine/Util/CurvePoint.h>
#include <Game/DemoPaths.h>

namespace Game::DemoPaths {

using Engine::Math::Vec3f;

namespace {

// A first-world path: its first key at 0.1 (t + 0.1 when t is below 0.1),
// the others at t plus their offsets.
Path opening(float t, Vec3f const& first, std::vector<Key> const& rest) {
    Path path;
    path.push_back({t < 0.1f ? t + 0.1f : 0.1f, first});
    for (Key const& k : rest) {
        path.push_back({t + k.time, k.point});
    }
    return path;
}

// A path whose keys are offsets from a start time.
Path from(float start, std::vector<Key> const& keys) {
    Path path;
    for (Key const& k : keys) {
        path.push_back({start + k.time, k.point});
    }
    return path;
}

// A god-ray light's sweep: four targets in turn once per second for 15 s,
// then two closing targets.
Path sweep(float g, Vec3f const (&targets)[4], Vec3f const& at16, Vec3f const& at18) {
    Path path;
    for (int i = 0; i <= 14; ++i) {
        path.push_back({g + static_cast<float>(i), targets[i % 4]});
    }
    path.push_back({g + 16.0f, at16});
    path.push_back({g + 18.0f, at18});
    return path;
}

} // namespace

Path CameraA(float t) {
    return opening(t, Vec3f(0, 0, 20), {{0, Vec3f(0, 0, 9)},
                                        {4.5f, Vec3f(0, 0, 6.5f)},
                                        {7.5f, Vec3f(0, 1, 3)},
                                        {13.5f, Vec3f(0, 2.5f, 3)},
                                        {17.5f, Vec3f(0, 8, 4.5f)},
                                        {19.5f, Vec3f(-0.5f, 12, 3)},
                                        {23.5f, Vec3f(-3, -3, 0.5f)},
                                        {26.5f, Vec3f(8, -1, 0.5f)},
                                        {30, Vec3f(10, 4, 2)},
                                        {32.75f, Vec3f(0, 6, 5)},
                                        {35.5f, Vec3f(-10, 5, 1)},
                                        {38.5f, Vec3f(0, 6, -6)},
                                        {40.5f, Vec3f(7, 5, 0)},
                                        {41.5f, Vec3f(1, 4, 5)},
                                        {42.5f, Vec3f(1, 4, -5)},
                                        {44.5f, Vec3f(0.5f, -16, -4)},
                                        {46.5f, Vec3f(0, -1, 8)},
                                        {49.5f, Vec3f(0, 15, -5)},
                                        {52.5f, Vec3f(9, 0, -5)},
                                        {54, Vec3f(9, 0, 0)},
                                        {57, Vec3f(0, 0, 4)},
                                        {60, Vec3f(-9, 0, 0)},
                                        {61, Vec3f(-9, -0.5f, -1)},
                                        {68, Vec3f(0, -18, -5)},
                                        {73, Vec3f(9, 0, -2)},
                                        {81, Vec3f(0, 18, 6.7f)},
                                        {86.5f, Vec3f(-10.4f, 1.5f, 0)},
                                        {90.5f, Vec3f(20, 0.5f, 0)}});
}

Path CameraALookAt(float t) {
    return opening(t, Vec3f(0, 0, -1),
                   {{0, Vec3f(0.5f, 0, -1)},
                    {2, Vec3f(3, 0.5f, 0)},
                    {4.5f, Vec3f(-3, -0.5f, 0)},
                    {7.5f, Vec3f(0.5f, 0, 1)},
                    {9.5f, Vec3f(3, 0, 0)},
                    {11.5f, Vec3f(0, 0, -3)},
                    {13.5f, Vec3f(-3, 0, 0)},
                    {15.5f, Vec3f(0, 0, 1)},
                    {19.5f, Vec3f(0, 0, 0)},
                    {24.5f, Vec3f(8, 0, 1)},
                    {26, Vec3f(1, 0, 0.5f)},
                    {38.5f, Vec3f(0, 0, 0)},
                    {41.5f, Vec3f(-1, 0.5f, -0.5f)},
                    {42.5f, Vec3f(1, -3, -3)},
                    {44.5f, Vec3f(0, -11, 0)},
                    {46.5f, Vec3f(0, 10, 5)},
                    {49, Vec3f(0, 20, -13)},
                    {49.5f, Vec3f(2, 5, -2.5f)},
                    {52.5f, Vec3f(6, 0, -2)},
                    {54, Vec3f(5, 0, 0)},
                    {57, Vec3f(0, 0, 2.5f)},
                    {60, Vec3f(-5, 0, 0)},
                    {67, Vec3f(0, 0, 0)},
                    {72, Vec3f(5, 0, 0)},
                    {80, Vec3f(0, 0, 0)},
                    {85.5f, Vec3f(-5, 0, 0)},
                    {89.5f, Vec3f(25, 0, 0)}});
}

Path SearchLight(float t) {
    return opening(t, Vec3f(0, 0, 20),
                   {{0, Vec3f(0, 0, 9)},
                    {4.5f, Vec3f(0, 0, 6.5f)},
                    {7.5f, Vec3f(0, 2.5f, 3)},
                    {13.5f, Vec3f(0, 3.5f, 3)},
                    {17.5f, Vec3f(0, 5, 4.5f)}});
}

Path SearchLightLookAt(float t) {
    return opening(t, Vec3f(0, 0, -1),
                   {{0, Vec3f(0.5f, 0, -1)},
                    {2, Vec3f(7.5f, 0.2f, 0)},
                    {4.5f, Vec3f(-8, -0.2f, 1)},
                    {7.5f, Vec3f(0.5f, 0, 2)},
                    {9.5f, Vec3f(6.5f, 0, 0)},
                    {11.5f, Vec3f(0, 0, -3)},
                    {13.5f, Vec3f(-7.5f, 0, -0.2f)},
                    {15, Vec3f(-1.5f, 0, 0.1f)},
                    {17, Vec3f(5, 0, -0.3f)}});
}

Path GodRay1(float g) {
    return from(
        g,
        {{0, Vec3f(9, 2, 0)}, {10, Vec3f(0, 8, 2)}, {18, Vec3f(-9, 0, 0)}, {20, Vec3f(0, -8, -2)}});
}

Path GodRay1LookAt(float g) {
    Vec3f const targets[4] = {Vec3f(8, 0, 0), Vec3f(0, 0, 0.5f), Vec3f(-8, 0, 0),
                              Vec3f(0, 0, -0.5f)};
    return sweep(g, targets, Vec3f(0, 0, -0.5f), Vec3f(3, 0, 0));
}

Path GodRay2(float g) {
    return from(
        g,
        {{0, Vec3f(-9, 2, 0)}, {10, Vec3f(0, 8, -2)}, {18, Vec3f(9, 0, 0)}, {20, Vec3f(0, -8, 2)}});
}

Path GodRay2LookAt(float g) {
    Vec3f const targets[4] = {Vec3f(-8, 0, 0), Vec3f(0, 0, 0.5f), Vec3f(8, 0, 0),
                              Vec3f(0, 0, 0.5f)};
    return sweep(g, targets, Vec3f(0, 0, 0.5f), Vec3f(-3, 0, 0));
}

Path CameraB(float w) {
    return from(w, {{0, Vec3f(0, 0.2f, 11.5f)},
                    {4.5f, Vec3f(0, 0.7f, 9)},
                    {9, Vec3f(1, 0.7f, 9)},
                    {13.5f, Vec3f(1, 1.5f, 8)},
                    {18, Vec3f(-0.5f, 2, 8)},
                    {22.5f, Vec3f(-0.5f, 1.2f, 9)},
                    {27, Vec3f(0, 0.7f, 9)},
                    {31.5f, Vec3f(0, 1.2f, 7)},
                    {36, Vec3f(0, 1.2f, 2)},
                    {40.5f, Vec3f(2, 1.3f, -4)},
                    {45, Vec3f(-1, 1.3f, -6)},
                    {49.5f, Vec3f(-5, 1.3f, -6)},
                    {54, Vec3f(-3.5f, 1.3f, -2.5f)},
                    {58.5f, Vec3f(-3.5f, 2, 0)},
                    {63, Vec3f(-6.5f, 4, 0)},
                    {67.5f, Vec3f(-6.5f, 4, -2)},
                    {72, Vec3f(-3.5f, 2, -2.5f)},
                    {76.5f, Vec3f(-1, 5, -3)},
                    {85.5f, Vec3f(1.6f, 5, -3)},
                    {90, Vec3f(2.95f, 3, -4)},
                    {105, Vec3f(2.95f, 1.5f, 0)},
                    {106.5f, Vec3f(1.95f, 1.2f, 0)},
                    {111, Vec3f(1.95f, 1.2f, -4)},
                    {115, Vec3f(0, 1.2f, -12)},
                    {124.5f, Vec3f(6, 3, -12)},
                    {129, Vec3f(5, 1.8f, -12)},
                    {137.5f, Vec3f(-2.6f, 3.4f, -9.66f)}});
}

Path CameraBLookAt(float w) {
    return from(w, {{0, Vec3f(0, 0.7f, 9.5f)},
                    {4.5f, Vec3f(0, 0.6f, 8.5f)},
                    {16, Vec3f(0, 1, 7.5f)},
                    {36, Vec3f(-2, 1.1f, 2)},
                    {51, Vec3f(-4, 1.1f, 0)},
                    {55.5f, Vec3f(-5, 1.1f, -1)},
                    {67.5f, Vec3f(-5, 0.7f, -1)},
                    {69.5f, Vec3f(-4, 4, -3)},
                    {72, Vec3f(-0.92f, 5.44f, -3.3f)},
                    {76.5f, Vec3f(-2, 0, -1.8f)},
                    {81, Vec3f(2.95f, 0, -2.15f)},
                    {85.5f, Vec3f(6, 2, -3.15f)},
                    {94.5f, Vec3f(6, 2, -1.15f)},
                    {103.5f, Vec3f(4.5f, 3, 2.15f)},
                    {110.5f, Vec3f(5, 2, -10)},
                    {128.5f, Vec3f(5, 4, -10)},
                    {133.5f, Vec3f(5, 1, -15)},
                    {135.8f, Vec3f(-1, 1.3f, -8)},
                    {137.5f, Vec3f(-3.5f, 1.2f, -9)}});
}

Path RisingLight(float w) {
    return from(w, {{0, Vec3f(0, -2, 2.5f)},
                    {30, Vec3f(0, -1, 2.5f)},
                    {30.1f, Vec3f(0, 0, 2.5f)},
                    {30.6f, Vec3f(-0.2f, 1.5f, 2.5f)},
                    {31.1f, Vec3f(-0.5f, 1.5f, 2.5f)},
                    {35.1f, Vec3f(-1, 1.5f, 2.5f)},
                    {37.1f, Vec3f(-3, 1.5f, 2.5f)},
                    {43.1f, Vec3f(-5, 2, 1)},
                    {47.1f, Vec3f(-7, 3, -1)},
                    {50.1f, Vec3f(-7, 3, -3)},
                    {53.1f, Vec3f(-5, 3, -6)},
                    {58.1f, Vec3f(4, 3, -9)}});
}

Path RisingLightLookAt(float w) {
    return from(w, {{0, Vec3f(1, -6, 2.5f)},
                    {32, Vec3f(1, 0, 2.5f)},
                    {34.5f, Vec3f(0, 1.2f, 2.5f)},
                    {37, Vec3f(0, 1.2f, 0.5f)},
                    {39.5f, Vec3f(-1, 1.2f, -3.5f)},
                    {49.5f, Vec3f(-2, 1.2f, -3.5f)},
                    {99.5f, Vec3f(0, 2, -5)},
                    {109.5f, Vec3f(4, 2, -5)},
                    {113.5f, Vec3f(2, 2, -9)},
                    {115.5f, Vec3f(4, 2, -11)},
                    {117.5f, Vec3f(6, 2, -9)},
                    {119.5f, Vec3f(4, 6, -9)},
                    {125.5f, Vec3f(4, 4, -11)},
                    {131.5f, Vec3f(5, 2, -11)}});
}

EventTimes Times(float t) {
    EventTimes e{};
    Path const camera = CameraA(t);
    e.music = t + 4.5f;
    e.swap = camera[5].time - 0.275f;
    e.godRay3 = camera[9].time - 1.0f;
    e.godRays12 = camera[24].time;
    e.worldSwitch = camera.back().time + 1.0f;
    const float w = e.worldSwitch;
    Path const cameraB = CameraB(w);
    Path const lightLook = RisingLightLookAt(w);
    e.lampOn = cameraB[3].time - 5.5f;
    e.lampOff = cameraB[4].time - 2.5f;
    e.ramp = lightLook[1].time;
    e.rampOff = lightLook[5].time + 10.0f;
    e.lightYOn = lightLook[6].time + 5.0f;
    e.end = cameraB.back().time;
    return e;
}

Engine::Util::CurvePoint** ToCurvePoints(Path const& path) {
    auto** points = new Engine::Util::CurvePoint*[path.size()];
    for (size_t i = 0; i < path.size(); ++i) {
        points[i] = new Engine::Util::CurvePoint(path[i].point, path[i].time);
    }
    return points;
}

} // namespace Game::DemoPaths
