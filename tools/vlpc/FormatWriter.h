#pragma once

#include <cstdint>
#include <vector>
#include <vlpc/ByteWriter.h>
#include <vlpc/FormatRecords.h>

// Byte images of the compiled asset files: a header, the dictionaries (u16
// count, then one 10-byte record per id in id order, each with the absolute
// offset and size of its payload), then the payload records in id order. Every
// function throws FormatError when a record does not fit its fields (counts,
// lengths, type codes).
namespace vlpc {

std::vector<std::uint8_t> writeShaderFile(ShaderFile const& file);
std::vector<std::uint8_t> writeTextureFile(TextureFile const& file);
std::vector<std::uint8_t> writeModelFile(ModelFile const& file);
std::vector<std::uint8_t> writePathFile(PathFile const& file);

// Single records, as they stand in the files.
std::vector<std::uint8_t> encodeShaderRecord(ShaderRecord const& record);
std::vector<std::uint8_t> encodeMaterialRecord(MaterialRecord const& record);
std::vector<std::uint8_t> encodeGeometryRecord(GeometryRecord const& record);
std::vector<std::uint8_t> encodeModelRecord(ModelRecord const& record);
std::vector<std::uint8_t> encodePathRecord(PathRecord const& record);
void encodeMeshNode(ByteWriter& out, MeshNode const& node);
void encodeLight(ByteWriter& out, LightRecord const& light);

} // namespace vlpc
