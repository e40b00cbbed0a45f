#pragma once

#include <Engine/Scene/ComponentID.h>
#include <cstddef>
#include <cstdint>

// Fixed numbers of the compiled asset files: versions, record layouts and
// sizes, type codes and limits. The engine's loader, the asset compiler's
// writer, its validating reader and its dump all take them from here. All
// values are little-endian; every offset and size is a u32.
namespace Engine::Data::Format {

constexpr std::uint16_t SHADER_FILE_VERSION = 1;
constexpr std::uint16_t MODEL_FILE_VERSION = 4;

// Dictionary record: u16 id, u32 absolute offset, u32 size.
constexpr std::size_t DICTIONARY_RECORD_SIZE = 10;
constexpr std::size_t MAX_DICTIONARY_COUNT = 0xFFFF;

// Shader record: five u16-length-prefixed texts in this stage order. A stored
// length counts the text's terminating zero byte; a length of 0 is a stage the
// program does not have.
constexpr std::size_t SHADER_STAGE_COUNT = 5;
enum ShaderStage : std::size_t {
    STAGE_VERTEX = 0,
    STAGE_TESS_CONTROL = 1,
    STAGE_TESS_EVALUATION = 2,
    STAGE_GEOMETRY = 3,
    STAGE_FRAGMENT = 4,
};
// A text holds at most this many characters.
constexpr std::size_t MAX_SHADER_TEXT = 0xFFFF - 1;

// Material record: u16 shader id, u8 part count, then the parts, each a u16
// type followed by f32 r, g, b and f32 emit (diffuse colour), f32 r, g, b and
// u32 shininess (specular colour) or a u16 texture id (texture parts).
enum MaterialPartType : std::uint16_t {
    PART_DIFFUSE_COLOR = 0,
    PART_SPECULAR_COLOR = 1,
    PART_DIFFUSE_TEXTURE = 2,
    PART_NORMAL_TEXTURE = 3,
    PART_DISPLACEMENT_TEXTURE = 4,
};
// Part sizes, type field included.
constexpr std::size_t COLOR_PART_SIZE = 18;
constexpr std::size_t TEXTURE_PART_SIZE = 4;
constexpr std::size_t MAX_MATERIAL_PARTS = 255;

// Geometry record: u8 vertex format, u32 vertex count, the vertices, u32
// index count, the u32 indices. The format code is the number of texture
// channels; 1 and 2 share the 88-byte layout: f32 position (4), normal (3),
// smooth normal (3), then per channel f32 uv (2) and tangent (4). Format 0
// stores the first three fields only.
enum VertexFormat : std::uint8_t {
    FORMAT_BASE = 0,
    FORMAT_UV1 = 1,
    FORMAT_UV2 = 2,
};
constexpr std::size_t BASE_VERTEX_SIZE = 40;
constexpr std::size_t UV_VERTEX_SIZE = 88;
constexpr std::size_t MAX_UV_CHANNELS = 2;
constexpr std::size_t GEOMETRY_HEADER_SIZE = 5; // u8 format, u32 vertex count
constexpr std::size_t INDEX_SIZE = 4;

// Mesh record: u8 group flag, 16 f32 matrix, 6 f32 box, u16 geometry,
// u16 material, u8 mapping count; then the (u8 key, u8 channel) mapping pairs
// and the u16 child count. A group node stores only its flag and children.
constexpr std::size_t MESH_RECORD_FIXED_SIZE = 94;
constexpr std::size_t GROUP_RECORD_FIXED_SIZE = 1;
// The least a child node takes: its flag and its child count.
constexpr std::size_t MIN_MESH_RECORD_SIZE = 3;

// Keys of a mesh's texture-channel mapping.
enum UVMappingKey : std::uint8_t {
    UV_MAP_DIFFUSE = 0,
    UV_MAP_NORMAL = 1,
    UV_MAP_DISPLACEMENT = 2,
};
constexpr std::uint8_t UV_MAPPING_KEY_COUNT = 3;

// Light records of a light component (u16 light count, then the lights):
// u16 kind, f32 intensity (3), u8 specular flag, f32 location (4), for spot
// lights f32 direction (3), full cone angle in degrees and exponent, then
// f32 attenuation (3) and u8 shadow flag. Any other kind is the 2-byte kind
// alone. Sizes include the kind field.
enum LightKind : std::uint16_t {
    LIGHT_KIND_POINT = 0,
    LIGHT_KIND_SPOT = 1,
};
constexpr std::size_t POINT_LIGHT_SIZE = 44;
constexpr std::size_t SPOT_LIGHT_SIZE = 64;
constexpr std::size_t UNKNOWN_LIGHT_SIZE = 2;

// Model record: u16 component count, then the components, each a u16 type (a
// ComponentID value) and a u16 data length followed by that much data.
constexpr std::size_t COMPONENT_HEADER_SIZE = 4;
constexpr std::size_t MAX_COMPONENT_DATA = 0xFFFF;
constexpr std::size_t PATH_ANIMATION_DATA_SIZE = 4; // u16 position path, u16 look-at path
constexpr std::size_t BSP_DRAW_DATA_SIZE = 4;       // u16 material, u16 geometry

// Path record: u16 point count, then points of f32 time, x, y, z. A path
// holds at most this many points (the point index is 8 bits wide).
constexpr std::size_t PATH_POINT_SIZE = 16;
constexpr std::size_t MAX_PATH_POINTS = 255;

constexpr std::uint64_t MAX_FILE_SIZE = 0xFFFFFFFFull;

// Deepest mesh hierarchy in levels, the root being level 1: the engine refuses
// deeper ones (and the reader, so that a corrupt file cannot exhaust the stack).
constexpr std::size_t MAX_MESH_DEPTH = 64;

// Light lookup file: u16 width, u16 height, f32 minAB, maxAB, minC, maxC, beta,
// then for table A and then table B its f32 largest value followed by its
// width x height f32 values (rows of width values, first row first).
constexpr std::size_t LIGHT_LOOKUP_HEADER_SIZE = 24;
constexpr std::size_t LIGHT_LOOKUP_FIXED_SIZE = 32; // header and the two largest values
constexpr std::size_t MIN_LIGHT_LOOKUP_SIDE = 2;

} // namespace Engine::Data::Format
