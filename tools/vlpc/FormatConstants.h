#pragma once

#include <Engine/Scene/ComponentID.h>
#include <cstddef>
#include <cstdint>

// Fixed numbers of the compiled asset files: versions, record sizes, type codes
// and limits. Writer, reader and dump all take them from here.
namespace vlpc::format {

constexpr std::uint16_t SHADER_FILE_VERSION = 1;
constexpr std::uint16_t MODEL_FILE_VERSION = 4;

// Dictionary record: u16 id, u32 absolute offset, u32 size.
constexpr std::size_t DICTIONARY_RECORD_SIZE = 10;
constexpr std::size_t MAX_DICTIONARY_COUNT = 0xFFFF;

// Shader record: five u16-length-prefixed texts in this stage order.
constexpr std::size_t SHADER_STAGE_COUNT = 5;
enum ShaderStage : std::size_t {
    STAGE_VERTEX = 0,
    STAGE_TESS_CONTROL = 1,
    STAGE_TESS_EVALUATION = 2,
    STAGE_GEOMETRY = 3,
    STAGE_FRAGMENT = 4,
};
// A stored text counts its terminating zero byte, so a text holds at most this
// many characters.
constexpr std::size_t MAX_SHADER_TEXT = 0xFFFF - 1;

// Material part types and their record sizes (type field included).
enum MaterialPartType : std::uint16_t {
    PART_DIFFUSE_COLOR = 0,
    PART_SPECULAR_COLOR = 1,
    PART_DIFFUSE_TEXTURE = 2,
    PART_NORMAL_TEXTURE = 3,
    PART_DISPLACEMENT_TEXTURE = 4,
};
constexpr std::size_t COLOR_PART_SIZE = 18;
constexpr std::size_t TEXTURE_PART_SIZE = 4;
constexpr std::size_t MAX_MATERIAL_PARTS = 255;

// Geometry vertex formats: the code is the number of texture channels; 1 and 2
// share the 88-byte layout.
enum VertexFormat : std::uint8_t {
    FORMAT_BASE = 0,
    FORMAT_UV1 = 1,
    FORMAT_UV2 = 2,
};
constexpr std::size_t BASE_VERTEX_SIZE = 40;
constexpr std::size_t UV_VERTEX_SIZE = 88;
constexpr std::size_t MAX_UV_CHANNELS = 2;
constexpr std::size_t GEOMETRY_HEADER_SIZE = 5; // u8 format, u32 vertex count

// Mesh record: u8 group flag, 16 f32 matrix, 6 f32 box, u16 geometry,
// u16 material, u8 mapping count; then the mapping pairs and the u16 child count.
constexpr std::size_t MESH_RECORD_FIXED_SIZE = 94;
constexpr std::size_t GROUP_RECORD_FIXED_SIZE = 1;

// Keys of a mesh's texture-channel mapping.
enum UVMappingKey : std::uint8_t {
    UV_MAP_DIFFUSE = 0,
    UV_MAP_NORMAL = 1,
    UV_MAP_DISPLACEMENT = 2,
};
constexpr std::uint8_t UV_MAPPING_KEY_COUNT = 3;

// Light record kinds and sizes (kind field included). Any other kind is the
// 2-byte kind alone.
enum LightKind : std::uint16_t {
    LIGHT_KIND_POINT = 0,
    LIGHT_KIND_SPOT = 1,
};
constexpr std::size_t POINT_LIGHT_SIZE = 44;
constexpr std::size_t SPOT_LIGHT_SIZE = 64;
constexpr std::size_t UNKNOWN_LIGHT_SIZE = 2;

// Component record header: u16 type, u16 data length.
constexpr std::size_t COMPONENT_HEADER_SIZE = 4;
constexpr std::size_t MAX_COMPONENT_DATA = 0xFFFF;
constexpr std::size_t PATH_ANIMATION_DATA_SIZE = 4;
constexpr std::size_t BSP_DRAW_DATA_SIZE = 4;

// Path record: u16 point count, then points of f32 time, x, y, z.
constexpr std::size_t PATH_POINT_SIZE = 16;
constexpr std::size_t MAX_PATH_POINTS = 255;

// Every offset and size is a u32.
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

} // namespace vlpc::format
