#pragma once

// A test scene built in code, shared by the reference-image tests and the
// frame benchmark: a floor, boxes and spheres with every material kind of the
// material library, 2 directional, 8 point and 4 spot lights, and a screen
// camera driven with a fixed time step; and a scene lit by both kinds of
// shadow-casting lights.

#include <Engine/Data/MeshData.h>
#include <Engine/Data/TextureData.h>
#include <Engine/Math/Mat4f.h>
#include <Engine/Math/Vec2f.h>
#include <Engine/Math/Vec3f.h>
#include <Engine/Math/Vec4f.h>
#include <Engine/Render/LightLookupTable.h>
#include <Engine/Render/Shader/DeferredShader.h>
#include <Engine/Scene/CameraComponent.h>
#include <Engine/Scene/Collision/AxisAlignedBox.h>
#include <Engine/Scene/Collision/OrientedBox.h>
#include <Engine/Scene/CollisionComponent.h>
#include <Engine/Scene/DirectionalLight.h>
#include <Engine/Scene/LightComponent.h>
#include <Engine/Scene/Materials/DiffuseColorPart.h>
#include <Engine/Scene/Materials/Material.h>
#include <Engine/Scene/Materials/SpecularColorPart.h>
#include <Engine/Scene/Materials/TexturePart.h>
#include <Engine/Scene/Mesh.h>
#include <Engine/Scene/MeshDrawComponent.h>
#include <Engine/Scene/PointLight.h>
#include <Engine/Scene/PositionComponent.h>
#include <Engine/Scene/SceneObject.h>
#include <Engine/Scene/ScreenCamera.h>
#include <Engine/Scene/ShadowCastingPointLight.h>
#include <Engine/Scene/ShadowCastingSpotLight.h>
#include <Engine/Scene/SpotLight.h>
#include <Engine/Scene/World.h>
#include <Engine/Util/SharedPointer.h>
#include <Engine/Util/Timer.h>
#include <Engine/Util/UVVertex.h>
#include <GL/glew.h>
#include <algorithm>
#include <cmath>
#include <map>
#include <vector>

namespace RenderTest {

using Engine::Math::Mat4f;
using Engine::Math::Vec2f;
using Engine::Math::Vec3f;
using Engine::Math::Vec4f;
namespace Scene = Engine::Scene;
namespace Materials = Engine::Scene::Materials;
using Engine::Render::Shader::DeferredShader;
using Engine::Util::SharedPointer;
using Engine::Util::UVVertex;

constexpr float Pi = 3.14159265f;

// The material programs of EngineData/Shader/Material/, with fixed ids.
struct MaterialLibrary {
    enum : unsigned short { ColorId = 1, TextureId = 2, NormalMapId = 3, DisplacementId = 4 };

    MaterialLibrary() {
        const std::string dir = "../../EngineData/Shader/Material/";
        color = new DeferredShader((dir + "color.vert").c_str(), (dir + "color.frag").c_str());
        texture =
            new DeferredShader((dir + "texture.vert").c_str(), (dir + "texture.frag").c_str());
        normalMap =
            new DeferredShader((dir + "normalMap.vert").c_str(), (dir + "normalMap.frag").c_str());
        displacement = new DeferredShader(
            (dir + "displacement.vert").c_str(), (dir + "displacement.tessC.glsl").c_str(),
            (dir + "displacement.tessE.glsl").c_str(), (dir + "displacement.frag").c_str());
        color->Id(ColorId);
        texture->Id(TextureId);
        normalMap->Id(NormalMapId);
        displacement->Id(DisplacementId);
    }
    ~MaterialLibrary() {
        delete color;
        delete texture;
        delete normalMap;
        delete displacement;
    }
    MaterialLibrary(MaterialLibrary const&) = delete;
    MaterialLibrary& operator=(MaterialLibrary const&) = delete;

    DeferredShader* color;
    DeferredShader* texture;
    DeferredShader* normalMap;
    DeferredShader* displacement;
};

// A texture filled by f(x, y) -> RGBA bytes, with mipmaps.
template <typename F> SharedPointer<Scene::TextureData> makeTexture(int size, bool srgb, F f) {
    auto* texture = new Scene::TextureData();
    std::vector<unsigned char> pixels(static_cast<size_t>(size * size * 4));
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            f(x, y, &pixels[static_cast<size_t>((y * size + x) * 4)]);
        }
    }
    glBindTexture(GL_TEXTURE_2D, texture->Texture());
    glTexImage2D(GL_TEXTURE_2D, 0, srgb ? GL_SRGB8_ALPHA8 : GL_RGBA8, size, size, 0, GL_RGBA,
                 GL_UNSIGNED_BYTE, pixels.data());
    glGenerateMipmap(GL_TEXTURE_2D);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    glBindTexture(GL_TEXTURE_2D, 0);
    return SharedPointer<Scene::TextureData>(texture);
}

struct Textures {
    Textures() {
        checker = makeTexture(64, true, [](int x, int y, unsigned char* p) {
            const bool dark = ((x / 8) + (y / 8)) % 2 == 0;
            p[0] = dark ? 90 : 230;
            p[1] = dark ? 80 : 220;
            p[2] = dark ? 70 : 200;
            p[3] = 255;
        });
        // Round bumps: normals of a field of hemispheres, in tangent space.
        bumps = makeTexture(64, false, [](int x, int y, unsigned char* p) {
            const float cx = static_cast<float>(x % 16) - 7.5f;
            const float cy = static_cast<float>(y % 16) - 7.5f;
            const float r2 = (cx * cx + cy * cy) / 49.0f;
            Vec3f n(0.0f, 0.0f, 1.0f);
            if (r2 < 1.0f) {
                n = Vec3f::Normalize(Vec3f(cx / 7.0f, cy / 7.0f, std::sqrt(1.0f - r2)));
            }
            p[0] = static_cast<unsigned char>((n.X() * 0.5f + 0.5f) * 255.0f);
            p[1] = static_cast<unsigned char>((n.Y() * 0.5f + 0.5f) * 255.0f);
            p[2] = static_cast<unsigned char>((n.Z() * 0.5f + 0.5f) * 255.0f);
            p[3] = 255;
        });
        height = makeTexture(64, false, [](int x, int y, unsigned char* p) {
            const float v = 0.5f + 0.25f * std::sin(static_cast<float>(x) * 2.0f * Pi / 16.0f) +
                            0.25f * std::sin(static_cast<float>(y) * 2.0f * Pi / 16.0f);
            p[0] = p[1] = p[2] = static_cast<unsigned char>(v * 255.0f);
            p[3] = 255;
        });
    }
    SharedPointer<Scene::TextureData> checker;
    SharedPointer<Scene::TextureData> bumps;
    SharedPointer<Scene::TextureData> height;
};

struct Geometry {
    std::vector<UVVertex> vertices;
    std::vector<unsigned int> indices;

    void add(Vec3f const& p, Vec3f const& n, Vec3f const& smooth, Vec2f const& uv,
             Vec3f const& tangent) {
        const Vec4f t(tangent.X(), tangent.Y(), tangent.Z(), 1.0f);
        vertices.emplace_back(Vec4f(p.X(), p.Y(), p.Z(), 1.0f), n, smooth, uv, t, uv, t);
    }
    SharedPointer<Scene::MeshData> upload() {
        return SharedPointer<Scene::MeshData>(
            new Scene::MeshData(vertices.data(), static_cast<unsigned>(vertices.size()),
                                indices.data(), static_cast<unsigned>(indices.size())));
    }
};

// A square in the xz plane facing up, cells x cells quads, uv repeating.
inline Geometry makeFloor(float size, int cells, float uvRepeat) {
    Geometry g;
    for (int j = 0; j <= cells; ++j) {
        for (int i = 0; i <= cells; ++i) {
            const float u = static_cast<float>(i) / static_cast<float>(cells);
            const float v = static_cast<float>(j) / static_cast<float>(cells);
            g.add(Vec3f((u - 0.5f) * size, 0.0f, (0.5f - v) * size), Vec3f(0, 1, 0), Vec3f(0, 1, 0),
                  Vec2f(u * uvRepeat, v * uvRepeat), Vec3f(1, 0, 0));
        }
    }
    for (int j = 0; j < cells; ++j) {
        for (int i = 0; i < cells; ++i) {
            const unsigned a = static_cast<unsigned>(j * (cells + 1) + i);
            const unsigned b = a + 1;
            const unsigned c = a + static_cast<unsigned>(cells + 1);
            const unsigned d = c + 1;
            g.indices.insert(g.indices.end(), {a, b, d, a, d, c});
        }
    }
    return g;
}

// A box with flat faces; its smooth normals point from the centre to the
// corners, so a displaced box stays closed.
inline Geometry makeBox(Vec3f const& half) {
    Geometry g;
    const Vec3f normals[6] = {Vec3f(1, 0, 0),  Vec3f(-1, 0, 0), Vec3f(0, 1, 0),
                              Vec3f(0, -1, 0), Vec3f(0, 0, 1),  Vec3f(0, 0, -1)};
    for (Vec3f const& n : normals) {
        // Two axes spanning the face, counter-clockwise seen from outside.
        const Vec3f u =
            std::fabs(n.Y()) > 0.5f ? Vec3f(1, 0, 0) : Vec3f::CrossProd(Vec3f(0, 1, 0), n);
        const Vec3f v = Vec3f::CrossProd(n, u);
        const unsigned base = static_cast<unsigned>(g.vertices.size());
        const float su[4] = {-1, 1, 1, -1};
        const float sv[4] = {-1, -1, 1, 1};
        for (int k = 0; k < 4; ++k) {
            const Vec3f dir = n + u * su[k] + v * sv[k];
            const Vec3f p(dir.X() * half.X(), dir.Y() * half.Y(), dir.Z() * half.Z());
            g.add(p, n, Vec3f::Normalize(dir), Vec2f((su[k] + 1) * 0.5f, (sv[k] + 1) * 0.5f), u);
        }
        g.indices.insert(g.indices.end(), {base, base + 1, base + 2, base, base + 2, base + 3});
    }
    return g;
}

inline Geometry makeSphere(float radius, int slices, int stacks) {
    Geometry g;
    for (int j = 0; j <= stacks; ++j) {
        const float theta = Pi * static_cast<float>(j) / static_cast<float>(stacks);
        for (int i = 0; i <= slices; ++i) {
            const float phi = 2.0f * Pi * static_cast<float>(i) / static_cast<float>(slices);
            const Vec3f n(std::sin(theta) * std::cos(phi), std::cos(theta),
                          -std::sin(theta) * std::sin(phi));
            const Vec3f tangent(-std::sin(phi), 0.0f, -std::cos(phi));
            g.add(n * radius, n, n,
                  Vec2f(static_cast<float>(i) / static_cast<float>(slices) * 4.0f,
                        (1.0f - static_cast<float>(j) / static_cast<float>(stacks)) * 2.0f),
                  tangent);
        }
    }
    for (int j = 0; j < stacks; ++j) {
        for (int i = 0; i < slices; ++i) {
            const unsigned a = static_cast<unsigned>(j * (slices + 1) + i);
            const unsigned b = a + static_cast<unsigned>(slices + 1);
            g.indices.insert(g.indices.end(), {a, b, b + 1, a, b + 1, a + 1});
        }
    }
    return g;
}

// The camera's world matrix looking from eye at target (the camera looks
// down its -z axis).
inline Mat4f lookAt(Vec3f const& eye, Vec3f const& target) {
    const Vec3f back = Vec3f::Normalize(eye - target);
    const Vec3f right = Vec3f::Normalize(Vec3f::CrossProd(Vec3f(0, 1, 0), back));
    const Vec3f up = Vec3f::CrossProd(back, right);
    const float m[16] = {right.X(), right.Y(), right.Z(), 0, up.X(),  up.Y(),  up.Z(),  0,
                         back.X(),  back.Y(),  back.Z(),  0, eye.X(), eye.Y(), eye.Z(), 1};
    return Mat4f(m);
}

inline Mat4f translate(Vec3f const& v) {
    return Mat4f::Translate(v);
}

class TestScene {
public:
    // An empty world seen by a camera of the given size; the camera takes
    // the scattering lookup table (null: no medium).
    TestScene(unsigned width, unsigned height,
              Engine::Render::LightLookupTable* lookupTable = nullptr)
        : timer(Engine::Util::Timer::FixedStepSource(1.0 / 60.0),
                Engine::Util::Timer::FixedStepTicksPerSecond) {
        world = new Scene::World();
        camera =
            new Scene::ScreenCamera(world, lookupTable, width, height, 1.0471976f, 0.1f, 100.0f);
        cameraObject = new Scene::SceneObject();
        cameraPosition = new Scene::PositionComponent(cameraObject);
        cameraPosition->Matrix(lookAt(Vec3f(0.0f, 5.0f, 10.0f), Vec3f(0.0f, 0.5f, 0.0f)));
        cameraObject->Components()[::COMPONENT_POSITION] = cameraPosition;
        cameraObject->Components()[::COMPONENT_CAMERA] =
            new Scene::CameraComponent(camera, cameraObject);
        world->AddSceneObject(cameraObject);
        lightObject = new Scene::SceneObject();
        lightObject->Components()[::COMPONENT_POSITION] = new Scene::PositionComponent(lightObject);
        lights = new Scene::LightComponent(lightObject);
        lightObject->Components()[::COMPONENT_LIGHT] = lights;
        timer.Start();
    }
    ~TestScene() {
        delete world;
        if (!lightsCommitted) {
            delete lightObject;
        }
    }
    TestScene(TestScene const&) = delete;
    TestScene& operator=(TestScene const&) = delete;

    // Adds a mesh at a place with a material of the library.
    // The mesh has the box around its vertices, as the asset loader gives
    // every mesh, unless withBox is false.
    Scene::Mesh* addMesh(Geometry geometry, Materials::Material* material, Mat4f const& place,
                         bool withBox = true) {
        std::map<UVCoordMapping, unsigned char> mapping;
        auto* mesh = new Scene::Mesh(geometry.upload(), material, mapping);
        Vec3f low(1.0e30f, 1.0e30f, 1.0e30f);
        Vec3f high(-1.0e30f, -1.0e30f, -1.0e30f);
        for (UVVertex const& v : geometry.vertices) {
            low = Vec3f(std::min(low.X(), v.position.X()), std::min(low.Y(), v.position.Y()),
                        std::min(low.Z(), v.position.Z()));
            high = Vec3f(std::max(high.X(), v.position.X()), std::max(high.Y(), v.position.Y()),
                         std::max(high.Z(), v.position.Z()));
        }
        const Vec3f size = high - low;
        if (withBox) {
            mesh->Boundings(new Scene::Collision::AxisAlignedBox(new Scene::Collision::OrientedBox(
                Vec4f(low, 1.0f), Vec3f(size.X(), 0.0f, 0.0f), Vec3f(0.0f, size.Y(), 0.0f),
                Vec3f(0.0f, 0.0f, size.Z()), mesh)));
        }
        auto* object = new Scene::SceneObject();
        auto* position = new Scene::PositionComponent(object);
        position->Matrix(place);
        object->Components()[::COMPONENT_POSITION] = position;
        object->Components()[::COMPONENT_MESH_DRAW] = new Scene::MeshDrawComponent(mesh, object);
        object->Components()[::COMPONENT_COLLISION] = new Scene::CollisionComponent(object);
        world->AddSceneObject(object);
        return mesh;
    }

    Materials::Material* colorMaterial(Vec3f const& color, float emit = 0.0f) {
        auto* m = new Materials::Material(library.color, 2);
        m->Parts()[0] = new Materials::DiffuseColorPart(color, emit);
        m->Parts()[1] = new Materials::SpecularColorPart(Vec3f(0.5f, 0.5f, 0.5f), 40);
        return m;
    }
    Materials::Material* textureMaterial() {
        auto* m = new Materials::Material(library.texture, 3);
        m->Parts()[0] = new Materials::DiffuseColorPart(Vec3f(1, 1, 1));
        m->Parts()[1] = new Materials::SpecularColorPart(Vec3f(0.2f, 0.2f, 0.2f), 16);
        m->Parts()[2] = new Materials::DiffuseTexturePart(textures.checker);
        return m;
    }
    Materials::Material* normalMapMaterial(Vec3f const& tint) {
        auto* m = new Materials::Material(library.normalMap, 4);
        m->Parts()[0] = new Materials::DiffuseColorPart(tint);
        m->Parts()[1] = new Materials::SpecularColorPart(Vec3f(0.4f, 0.4f, 0.4f), 32);
        m->Parts()[2] = new Materials::DiffuseTexturePart(textures.checker);
        m->Parts()[3] = new Materials::NormalTexturePart(textures.bumps);
        return m;
    }
    Materials::Material* displacementMaterial() {
        auto* m = new Materials::Material(library.displacement, 5);
        m->Parts()[0] = new Materials::DiffuseColorPart(Vec3f(0.6f, 0.9f, 0.6f));
        m->Parts()[1] = new Materials::SpecularColorPart(Vec3f(0.3f, 0.3f, 0.3f), 24);
        m->Parts()[2] = new Materials::DiffuseTexturePart(textures.checker);
        m->Parts()[3] = new Materials::NormalTexturePart(textures.bumps);
        m->Parts()[4] = new Materials::DisplacementTexturePart(textures.height);
        return m;
    }

    template <typename L> L* addLight(L* light) {
        lights->Lights().push_back(light);
        return light;
    }
    // Registers the lights added so far with the world; call once.
    void commitLights() {
        world->AddSceneObject(lightObject);
        lightsCommitted = true;
    }

    // The reference scene: every material kind and 2 + 8 + 4 lights.
    void buildReferenceScene() {
        addMesh(makeFloor(16.0f, 8, 8.0f), normalMapMaterial(Vec3f(0.8f, 0.8f, 0.8f)), Mat4f());
        addMesh(makeBox(Vec3f(0.75f, 0.75f, 0.75f)), colorMaterial(Vec3f(0.8f, 0.15f, 0.1f)),
                translate(Vec3f(-3.0f, 0.75f, 0.0f)));
        addMesh(makeBox(Vec3f(0.7f, 1.0f, 0.7f)), textureMaterial(),
                translate(Vec3f(3.0f, 1.0f, -1.0f)) * Mat4f::RotateY(0.5f));
        addMesh(makeSphere(1.0f, 32, 16), normalMapMaterial(Vec3f(0.3f, 0.5f, 0.9f)),
                translate(Vec3f(0.0f, 1.0f, -2.0f)));
        addMesh(makeSphere(0.8f, 12, 6), displacementMaterial(),
                translate(Vec3f(-1.5f, 0.8f, 2.5f)));
        addMesh(makeSphere(0.5f, 24, 12), colorMaterial(Vec3f(1.0f, 0.8f, 0.3f), 3.0f),
                translate(Vec3f(2.0f, 0.5f, 2.5f)));

        addLight(
            new Scene::DirectionalLight(Vec3f(0.5f, 0.45f, 0.4f), true, Vec3f(0.5f, -1.0f, -0.3f)));
        addLight(new Scene::DirectionalLight(Vec3f(0.05f, 0.07f, 0.12f), false,
                                             Vec3f(-0.4f, -0.6f, 0.7f)));
        const Vec3f colors[8] = {Vec3f(1, 0.3f, 0.3f), Vec3f(0.3f, 1, 0.3f), Vec3f(0.3f, 0.3f, 1),
                                 Vec3f(1, 1, 0.3f),    Vec3f(1, 0.3f, 1),    Vec3f(0.3f, 1, 1),
                                 Vec3f(1, 0.6f, 0.2f), Vec3f(0.6f, 0.6f, 1)};
        for (int i = 0; i < 8; ++i) {
            const float a = 2.0f * Pi * static_cast<float>(i) / 8.0f;
            addLight(new Scene::PointLight(
                colors[i], true, Vec4f(5.0f * std::cos(a), 1.2f, 5.0f * std::sin(a), 1.0f),
                Vec3f(1.0f, 0.3f, 0.2f)));
        }
        const Vec3f targets[4] = {Vec3f(-3, 0, 0), Vec3f(3, 0, -1), Vec3f(0, 0, -2),
                                  Vec3f(-1.5f, 0, 2.5f)};
        for (int i = 0; i < 4; ++i) {
            const Vec3f from = targets[i] + Vec3f(0.5f, 5.0f, 0.5f);
            addLight(new Scene::SpotLight(
                Vec3f(3.0f, 2.8f, 2.5f), true, Vec4f(from.X(), from.Y(), from.Z(), 1.0f),
                targets[i] - from, 0.35f, 2.0f, Vec3f(1.0f, 0.05f, 0.02f)));
        }
        commitLights();
    }

    // The shadow scene: boxes, a sphere and a pillar on a floor, lit by a
    // shadow-casting spot light from one side, a shadow-casting point light
    // between the objects and a dim directional fill light.
    void buildShadowScene() {
        addMesh(makeFloor(16.0f, 8, 8.0f), textureMaterial(), Mat4f());
        addMesh(makeBox(Vec3f(0.75f, 0.75f, 0.75f)), colorMaterial(Vec3f(0.8f, 0.15f, 0.1f)),
                translate(Vec3f(-3.0f, 0.75f, 0.0f)));
        addMesh(makeBox(Vec3f(0.4f, 1.5f, 0.4f)), colorMaterial(Vec3f(0.7f, 0.7f, 0.75f)),
                translate(Vec3f(1.0f, 1.5f, -1.5f)));
        addMesh(makeSphere(0.9f, 32, 16), normalMapMaterial(Vec3f(0.3f, 0.5f, 0.9f)),
                translate(Vec3f(2.5f, 0.9f, 1.5f)));
        addMesh(makeBox(Vec3f(0.5f, 0.5f, 0.5f)), textureMaterial(),
                translate(Vec3f(-0.5f, 0.5f, 2.0f)) * Mat4f::RotateY(0.6f));
        addLight(new Scene::DirectionalLight(Vec3f(0.06f, 0.07f, 0.1f), false,
                                             Vec3f(-0.3f, -1.0f, -0.2f)));
        const Vec3f from(-7.0f, 6.0f, 3.0f);
        const Vec3f to(0.5f, 0.0f, 0.0f);
        addLight(new Scene::ShadowCastingSpotLight(
            Vec3f(3.0f, 2.8f, 2.4f), true, Vec4f(from.X(), from.Y(), from.Z(), 1.0f),
            Vec3f::Normalize(to - from), 0.55f, 4.0f, Vec3f(1.0f, 0.0f, 0.005f), world));
        addLight(new Scene::ShadowCastingPointLight(Vec3f(1.2f, 0.9f, 0.5f), true,
                                                    Vec4f(0.8f, 1.6f, 0.6f, 1.0f),
                                                    Vec3f(1.0f, 0.2f, 0.15f), world));
        commitLights();
    }

    // Advances the fixed-step timer, updates the world and renders a frame.
    void frame() {
        timer.NextFrame();
        world->Update(timer.AbsoluteTime());
        world->RenderFrame(timer);
    }

    Scene::World* world;
    Scene::ScreenCamera* camera;
    Scene::SceneObject* cameraObject;
    Scene::PositionComponent* cameraPosition;
    Scene::SceneObject* lightObject;
    Scene::LightComponent* lights;
    bool lightsCommitted = false;
    MaterialLibrary library;
    Textures textures;
    Engine::Util::Timer timer;
};

} // namespace RenderTest
