#pragma once

#include <Engine/Data/Format/FormatConstants.h>
#include <array>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

// In-memory form of the records of the compiled asset files. The writer turns
// them into bytes, the reader turns bytes back into them; all fields keep the
// values the file holds (flags as stored bytes), so that a file read back
// compares equal to what was written. The layouts, type codes and limits are
// those of the format library (format:: below).
namespace vlpc {

namespace format = Engine::Data::Format;

using Vec2 = std::array<float, 2>;
using Vec3 = std::array<float, 3>;
using Vec4 = std::array<float, 4>;
using Mat4 = std::array<float, 16>; // column-major

constexpr Mat4 IDENTITY_MATRIX = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

// One vertex of a geometry record: the base fields plus two texture channels.
// Vertex format 0 stores the first three fields only.
struct Vertex {
    Vec4 position{0, 0, 0, 1};
    Vec3 normal{};
    Vec3 smoothNormal{};
    std::array<Vec2, format::MAX_UV_CHANNELS> uv{};
    std::array<Vec4, format::MAX_UV_CHANNELS> tangent{{{0, 0, 0, 1}, {0, 0, 0, 1}}};

    bool operator==(Vertex const& other) const;
    bool operator!=(Vertex const& other) const { return !(*this == other); }
};

// One GLSL program: the stage texts without their terminating zero bytes,
// empty for a stage the program does not have.
struct ShaderRecord {
    std::array<std::string, format::SHADER_STAGE_COUNT> stages;

    bool operator==(ShaderRecord const& other) const { return stages == other.stages; }
};

// One complete PNG stream.
struct TextureRecord {
    std::vector<std::uint8_t> png;

    bool operator==(TextureRecord const& other) const { return png == other.png; }
};

// One part of a material; which fields are stored depends on the type.
struct MaterialPart {
    std::uint16_t type = 0;
    Vec3 color{};
    float emit = 0.0f;           // diffuse colour part
    std::uint32_t shininess = 0; // specular colour part
    std::uint16_t texture = 0;   // texture parts

    bool operator==(MaterialPart const& other) const;
};

struct MaterialRecord {
    std::uint16_t shader = 0;
    std::vector<MaterialPart> parts;

    bool operator==(MaterialRecord const& other) const {
        return shader == other.shader && parts == other.parts;
    }
};

struct GeometryRecord {
    std::uint8_t format = 0;
    std::vector<Vertex> vertices;
    std::vector<std::uint32_t> indices;

    bool operator==(GeometryRecord const& other) const;
};

// A node of a mesh hierarchy: a mesh with geometry, or (group flag non-zero) an
// empty group node that stores only its children.
struct MeshNode {
    std::uint8_t group = 0;
    Mat4 matrix = IDENTITY_MATRIX;
    Vec3 boundsMin{};
    Vec3 boundsMax{};
    std::uint16_t geometry = 0;
    std::uint16_t material = 0;
    std::vector<std::pair<std::uint8_t, std::uint8_t>> uvMapping; // key, channel
    std::vector<MeshNode> children;

    bool operator==(MeshNode const& other) const;
};

// A light of a light component. Point lights store the fields up to the
// attenuation, spot lights also direction, cone angle and exponent; any other
// kind stores nothing but the kind.
struct LightRecord {
    std::uint16_t kind = 0;
    Vec3 intensity{1, 1, 1};
    std::uint8_t specular = 1;
    Vec4 location{0, 0, 0, 1};
    Vec3 direction{0, 0, -1};
    float coneAngle = 0.0f; // full cone, degrees
    float exponent = 0.0f;
    Vec3 attenuation{1, 0, 0};
    std::uint8_t castsShadow = 0;

    bool operator==(LightRecord const& other) const;
};

// One component of a model; the fields used depend on the type. Types whose
// data the loader does not read keep their bytes in rawData.
struct ComponentRecord {
    std::uint16_t type = 0;
    MeshNode mesh;                     // mesh draw
    std::vector<LightRecord> lights;   // light
    std::uint16_t positionPath = 0;    // path animation
    std::uint16_t lookAtPath = 0;      // path animation
    std::uint16_t material = 0;        // BSP draw
    std::uint16_t geometry = 0;        // BSP draw
    std::vector<std::uint8_t> rawData; // every other type

    bool operator==(ComponentRecord const& other) const;
};

struct ModelRecord {
    std::vector<ComponentRecord> components;

    bool operator==(ModelRecord const& other) const { return components == other.components; }
};

struct PathPoint {
    float time = 0.0f;
    Vec3 position{};

    bool operator==(PathPoint const& other) const {
        return time == other.time && position == other.position;
    }
};

struct PathRecord {
    std::vector<PathPoint> points;

    bool operator==(PathRecord const& other) const { return points == other.points; }
};

struct ShaderFile {
    std::vector<ShaderRecord> shaders;
    bool operator==(ShaderFile const& other) const { return shaders == other.shaders; }
};

struct TextureFile {
    std::vector<TextureRecord> textures;
    bool operator==(TextureFile const& other) const { return textures == other.textures; }
};

struct ModelFile {
    std::vector<MaterialRecord> materials;
    std::vector<GeometryRecord> geometries;
    std::vector<ModelRecord> models;

    bool operator==(ModelFile const& other) const {
        return materials == other.materials && geometries == other.geometries &&
               models == other.models;
    }
};

struct PathFile {
    std::vector<PathRecord> paths;
    bool operator==(PathFile const& other) const { return paths == other.paths; }
};

} // namespace vlpc
