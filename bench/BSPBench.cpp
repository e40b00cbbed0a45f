// BSP tree construction over closed spheres and random triangle soups, and
// the per-draw traversal for one eye.
#include <Engine/Scene/BSPNode.h>
#include <Engine/Scene/BSPTreeBuilder.h>
#include <benchmark/benchmark.h>
#include <cmath>
#include <memory>
#include <random>
#include <vector>

using namespace Engine::Scene;
using Engine::Math::Vec3f;
using Engine::Math::Vec4f;
using Engine::Util::BaseVertex;

namespace {

struct Geometry {
    std::vector<BaseVertex> vertices;
    std::vector<unsigned int> indices;
};

BaseVertex vertexAt(Vec3f const& p) {
    return BaseVertex(Vec4f(p, 1.0f), Vec3f::Normalize(p), Vec3f::Normalize(p));
}

// A closed latitude-longitude sphere of 2 * slices * (stacks - 1) triangles.
Geometry sphere(int triangles) {
    const int slices = triangles <= 1000 ? 25 : 50;
    const int stacks = triangles / (2 * slices) + 1;
    Geometry g;
    const float pi = 3.14159265f;
    g.vertices.push_back(vertexAt(Vec3f(0, 1, 0)));
    for (int i = 1; i < stacks; ++i) {
        const float phi = pi * static_cast<float>(i) / static_cast<float>(stacks);
        for (int j = 0; j < slices; ++j) {
            const float theta = 2 * pi * static_cast<float>(j) / static_cast<float>(slices);
            g.vertices.push_back(vertexAt(Vec3f(std::sin(phi) * std::cos(theta), std::cos(phi),
                                                std::sin(phi) * std::sin(theta))));
        }
    }
    g.vertices.push_back(vertexAt(Vec3f(0, -1, 0)));
    const auto ring = [slices](int i, int j) {
        return static_cast<unsigned int>(1 + (i - 1) * slices + (j % slices));
    };
    const auto bottom = static_cast<unsigned int>(g.vertices.size() - 1);
    for (int j = 0; j < slices; ++j) {
        g.indices.insert(g.indices.end(), {0u, ring(1, j + 1), ring(1, j)});
        g.indices.insert(g.indices.end(), {bottom, ring(stacks - 1, j), ring(stacks - 1, j + 1)});
    }
    for (int i = 1; i + 1 < stacks; ++i) {
        for (int j = 0; j < slices; ++j) {
            g.indices.insert(g.indices.end(), {ring(i, j), ring(i, j + 1), ring(i + 1, j)});
            g.indices.insert(g.indices.end(), {ring(i, j + 1), ring(i + 1, j + 1), ring(i + 1, j)});
        }
    }
    return g;
}

// Random triangles of up to 0.5 units in a 10-unit cube.
Geometry soup(int triangles) {
    std::mt19937 random(42);
    std::uniform_real_distribution<float> place(-5.0f, 5.0f);
    std::uniform_real_distribution<float> offset(-0.5f, 0.5f);
    Geometry g;
    for (int t = 0; t < triangles; ++t) {
        const Vec3f centre(place(random), place(random), place(random));
        for (int k = 0; k < 3; ++k) {
            g.indices.push_back(static_cast<unsigned int>(g.vertices.size()));
            g.vertices.push_back(
                vertexAt(centre + Vec3f(offset(random), offset(random), offset(random))));
        }
    }
    return g;
}

void build(benchmark::State& state, Geometry const& geometry) {
    std::size_t splitVertices = 0;
    for (auto _ : state) {
        std::vector<BaseVertex> vertices = geometry.vertices;
        std::unique_ptr<BSPNode> root(BSPTreeBuilder::Build(vertices, geometry.indices));
        benchmark::DoNotOptimize(root.get());
        splitVertices = vertices.size() - geometry.vertices.size();
    }
    state.counters["triangles"] = static_cast<double>(geometry.indices.size() / 3);
    state.counters["split_vertices"] = static_cast<double>(splitVertices);
}

void BM_BSPBuildSphere(benchmark::State& state) {
    build(state, sphere(static_cast<int>(state.range(0))));
}
BENCHMARK(BM_BSPBuildSphere)->Arg(500)->Arg(1000)->Arg(2000)->Unit(benchmark::kMillisecond);

void BM_BSPBuildSoup(benchmark::State& state) {
    build(state, soup(static_cast<int>(state.range(0))));
}
BENCHMARK(BM_BSPBuildSoup)->Arg(500)->Arg(1000)->Arg(2000)->Unit(benchmark::kMillisecond);

void traverse(benchmark::State& state, Geometry geometry) {
    std::unique_ptr<BSPNode> root(BSPTreeBuilder::Build(geometry.vertices, geometry.indices));
    std::vector<unsigned int> indices;
    const Vec3f eyes[4] = {Vec3f(0, 0, 5), Vec3f(3, -2, 1), Vec3f(0.1f, 0.2f, 0.3f),
                           Vec3f(-4, 4, -4)};
    std::size_t i = 0;
    for (auto _ : state) {
        indices.clear();
        root->CreateIndexBuffer(eyes[i++ % 4], indices);
        benchmark::DoNotOptimize(indices.data());
    }
    state.counters["triangles"] = static_cast<double>(indices.size() / 3);
}

void BM_BSPTraverseSphere(benchmark::State& state) {
    traverse(state, sphere(2000));
}
BENCHMARK(BM_BSPTraverseSphere)->Unit(benchmark::kMicrosecond);

void BM_BSPTraverseSoup(benchmark::State& state) {
    traverse(state, soup(2000));
}
BENCHMARK(BM_BSPTraverseSoup)->Unit(benchmark::kMicrosecond);

} // namespace
