// Culling and world update over a world of 10,000 mesh objects, half of them
// outside the camera's view.
#include <Engine/Render/LightTiles.h>
#include <Engine/Render/Shader/Shader.h>
#include <Engine/Scene/CameraComponent.h>
#include <Engine/Scene/Collision/AxisAlignedBox.h>
#include <Engine/Scene/Collision/OrientedBox.h>
#include <Engine/Scene/CollisionComponent.h>
#include <Engine/Scene/Materials/Material.h>
#include <Engine/Scene/Mesh.h>
#include <Engine/Scene/MeshDrawComponent.h>
#include <Engine/Scene/PositionComponent.h>
#include <Engine/Scene/SceneObject.h>
#include <Engine/Scene/ScreenCamera.h>
#include <Engine/Scene/World.h>
#include <Engine/Util/Timer.h>
#include <benchmark/benchmark.h>
#include <cmath>
#include <memory>
#include <vector>

using namespace Engine::Scene;
using Engine::Math::Mat4f;
using Engine::Math::Vec3f;
using Engine::Math::Vec4f;

namespace {

constexpr int MeshCount = 10000;
constexpr int ShaderCount = 8;

// A shader object without a GL program: enough to sort meshes by id.
class IdShader : public Engine::Render::Shader::Shader {
public:
    explicit IdShader(unsigned short id) : Shader(PRIMITIVE_TRIANGLES) { Id(id); }
};

class NoRenderCamera : public ScreenCamera {
public:
    using ScreenCamera::ScreenCamera;
    void RenderFrame(Engine::Util::Timer const&) override {}
};

// The world: one camera at the origin looking down -Z (60 degrees, near 0.1,
// far 100), and unit-box meshes on a grid, every other one behind the camera.
struct Scene {
    explicit Scene(bool withCamera) {
        for (int i = 0; i < ShaderCount; ++i) {
            shaders.push_back(std::make_unique<IdShader>(static_cast<unsigned short>(i)));
        }
        if (withCamera) {
            camera = new NoRenderCamera(&world, nullptr, 1280, 720, 1.0471976f, 0.1f, 100.0f);
            auto* object = new SceneObject();
            object->Components()[COMPONENT_POSITION] = new PositionComponent(object);
            object->Components()[COMPONENT_CAMERA] = new CameraComponent(camera, object);
            world.AddSceneObject(object);
        }
        for (int i = 0; i < MeshCount; ++i) {
            const float x = static_cast<float>(i % 20) - 10.0f;
            const float y = static_cast<float>((i / 20) % 10) - 5.0f;
            const float depth = 20.0f + static_cast<float>(i / 200);
            const float z = i % 2 == 0 ? -depth : depth;
            auto* mesh = new Mesh();
            mesh->CurrentMaterial(new Materials::Material(shaders[i % ShaderCount].get(), 0));
            mesh->Boundings(new Collision::AxisAlignedBox(
                new Collision::OrientedBox(Vec4f(-0.5f, -0.5f, -0.5f, 1.0f), Vec3f(1, 0, 0),
                                           Vec3f(0, 1, 0), Vec3f(0, 0, 1), mesh)));
            auto* object = new SceneObject();
            auto* position = new PositionComponent(object);
            position->Matrix(Mat4f::Translate(Vec3f(x, y, z)));
            object->Components()[COMPONENT_POSITION] = position;
            object->Components()[COMPONENT_MESH_DRAW] = new MeshDrawComponent(mesh, object);
            object->Components()[COMPONENT_COLLISION] = new CollisionComponent(object);
            world.AddSceneObject(object);
        }
        world.Update(0.0f);
        world.Update(0.01f);
    }

    std::vector<std::unique_ptr<IdShader>> shaders;
    NoRenderCamera* camera = nullptr;
    World world;
};

void BM_ScreenCameraUpdate(benchmark::State& state) {
    Scene scene(true);
    const Mat4f pose;
    std::size_t listed = 0;
    for (auto _ : state) {
        scene.camera->Update(pose, true);
        benchmark::ClobberMemory();
    }
    for (auto const& entry : scene.camera->CurrentRenderList()) {
        listed += entry.second.size();
    }
    state.counters["listed"] = static_cast<double>(listed);
    state.counters["per_mesh"] = benchmark::Counter(
        MeshCount, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_ScreenCameraUpdate)->Unit(benchmark::kMicrosecond);

// Argument 0: meshes only; 1: with the camera object, which also culls.
void BM_WorldUpdate(benchmark::State& state) {
    Scene scene(state.range(0) != 0);
    float time = 1.0f;
    for (auto _ : state) {
        scene.world.Update(time);
        time += 0.01f;
    }
    state.counters["per_object"] = benchmark::Counter(
        MeshCount, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_WorldUpdate)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

} // namespace

namespace {

// The light tiles of a 1024 x 768 frame of the frame benchmark's scene: its
// 8 point lights and 4 spot lights over a floor, seen from above.
void BM_LightTiles(benchmark::State& state) {
    using Engine::Render::LightTiles;
    const Vec3f eye(0.0f, 5.0f, 10.0f);
    const Vec3f back = Vec3f::Normalize(eye - Vec3f(0.0f, 0.5f, 0.0f));
    const Vec3f right = Vec3f::Normalize(Vec3f::CrossProd(Vec3f(0, 1, 0), back));
    const Vec3f up = Vec3f::CrossProd(back, right);
    const Mat4f world(right.X(), up.X(), back.X(), eye.X(), right.Y(), up.Y(), back.Y(), eye.Y(),
                      right.Z(), up.Z(), back.Z(), eye.Z(), 0, 0, 0, 1);
    const float aspect = 1024.0f / 768.0f;
    const Mat4f toClip = Mat4f::Persp(1.0471976f, aspect, 0.1f, 100.0f) * Mat4f::Invert(world);
    const Mat4f toWorld = world * Mat4f::InversePersp(1.0471976f, aspect, 0.1f, 100.0f);
    LightTiles tiles;
    for (auto _ : state) {
        tiles.Begin(1024, 768, toClip, toWorld, Vec3f(-8.25f, -0.25f, -8.25f),
                    Vec3f(8.25f, 2.25f, 8.25f));
        for (int i = 0; i < 8; ++i) {
            const float a = 6.2831853f * static_cast<float>(i) / 8.0f;
            tiles.AddSphere(1u << i, Vec3f(5.0f * std::cos(a), 1.2f, 5.0f * std::sin(a)), 21.5f);
        }
        for (int i = 0; i < 4; ++i) {
            const Vec3f target(static_cast<float>(i) - 1.5f, 0.0f, 1.0f - static_cast<float>(i));
            tiles.AddCone(1u << (10 + i), target + Vec3f(0.5f, 5.0f, 0.5f),
                          Vec3f(-0.5f, -5.0f, -0.5f), 0.35f, 121.0f);
        }
        benchmark::DoNotOptimize(tiles.Masks().data());
    }
}
BENCHMARK(BM_LightTiles)->Unit(benchmark::kMicrosecond);

} // namespace
