#include <string>
#include <vlpc/FormatError.h>
#include <vlpc/FormatWriter.h>

namespace vlpc {

namespace {

using Bytes = std::vector<std::uint8_t>;
using RecordGroup = std::vector<Bytes>;

template <std::size_t N> void writeFloats(ByteWriter& out, std::array<float, N> const& values) {
    for (float v : values) {
        out.f32(v);
    }
}

void checkCount(std::size_t count, std::size_t limit, char const* what) {
    if (count > limit) {
        throw FormatError(std::string("too many ") + what + ": " + std::to_string(count) +
                          " (at most " + std::to_string(limit) + ")");
    }
}

// Lays out the header prefix, one dictionary per group and then every
// group's records back to back, with the dictionaries pointing at them.
Bytes assemble(ByteWriter prefix, std::vector<RecordGroup const*> const& groups,
               std::vector<char const*> const& names) {
    std::uint64_t headerSize = prefix.size();
    for (std::size_t g = 0; g < groups.size(); ++g) {
        checkCount(groups[g]->size(), format::MAX_DICTIONARY_COUNT, names[g]);
        headerSize += 2 + format::DICTIONARY_RECORD_SIZE * groups[g]->size();
    }
    std::uint64_t offset = headerSize;
    ByteWriter out = std::move(prefix);
    for (RecordGroup const* group : groups) {
        out.u16(static_cast<std::uint16_t>(group->size()));
        for (std::size_t id = 0; id < group->size(); ++id) {
            std::uint64_t const size = (*group)[id].size();
            if (offset + size > format::MAX_FILE_SIZE) {
                throw FormatError("the file would exceed 4 GiB, the limit of its offsets");
            }
            out.u16(static_cast<std::uint16_t>(id));
            out.u32(static_cast<std::uint32_t>(offset));
            out.u32(static_cast<std::uint32_t>(size));
            offset += size;
        }
    }
    for (RecordGroup const* group : groups) {
        for (Bytes const& record : *group) {
            out.bytes(record);
        }
    }
    return out.take();
}

void encodeMaterialPart(ByteWriter& out, MaterialPart const& part) {
    out.u16(part.type);
    switch (part.type) {
    case format::PART_DIFFUSE_COLOR:
        writeFloats(out, part.color);
        out.f32(part.emit);
        break;
    case format::PART_SPECULAR_COLOR:
        writeFloats(out, part.color);
        out.u32(part.shininess);
        break;
    case format::PART_DIFFUSE_TEXTURE:
    case format::PART_NORMAL_TEXTURE:
    case format::PART_DISPLACEMENT_TEXTURE:
        out.u16(part.texture);
        break;
    default:
        throw FormatError("unknown material part type " + std::to_string(part.type));
    }
}

void encodeVertex(ByteWriter& out, Vertex const& v, bool withChannels) {
    writeFloats(out, v.position);
    writeFloats(out, v.normal);
    writeFloats(out, v.smoothNormal);
    if (withChannels) {
        for (std::size_t k = 0; k < format::MAX_UV_CHANNELS; ++k) {
            writeFloats(out, v.uv[k]);
            writeFloats(out, v.tangent[k]);
        }
    }
}

void encodeComponent(ByteWriter& out, ComponentRecord const& component) {
    ByteWriter data;
    switch (component.type) {
    case COMPONENT_MESH_DRAW:
        encodeMeshNode(data, component.mesh);
        break;
    case COMPONENT_LIGHT:
        checkCount(component.lights.size(), 0xFFFF, "lights in one component");
        data.u16(static_cast<std::uint16_t>(component.lights.size()));
        for (LightRecord const& light : component.lights) {
            encodeLight(data, light);
        }
        break;
    case COMPONENT_PATH_ANIMATION:
        data.u16(component.positionPath);
        data.u16(component.lookAtPath);
        break;
    case COMPONENT_BSP_DRAW:
        data.u16(component.material);
        data.u16(component.geometry);
        break;
    default:
        data.bytes(component.rawData);
        break;
    }
    if (data.size() > format::MAX_COMPONENT_DATA) {
        throw FormatError("component of type " + std::to_string(component.type) + " holds " +
                          std::to_string(data.size()) + " bytes of data (at most " +
                          std::to_string(format::MAX_COMPONENT_DATA) + ")");
    }
    out.u16(component.type);
    out.u16(static_cast<std::uint16_t>(data.size()));
    out.bytes(data.data());
}

} // namespace

std::vector<std::uint8_t> encodeShaderRecord(ShaderRecord const& record) {
    ByteWriter out;
    for (std::string const& text : record.stages) {
        if (text.size() > format::MAX_SHADER_TEXT) {
            throw FormatError("shader text of " + std::to_string(text.size()) +
                              " bytes is too long (at most " +
                              std::to_string(format::MAX_SHADER_TEXT) + ")");
        }
        if (text.find('\0') != std::string::npos) {
            throw FormatError("shader text contains a zero byte");
        }
        if (text.empty()) {
            out.u16(0);
            continue;
        }
        // The stored text is zero-terminated and its length counts the zero.
        out.u16(static_cast<std::uint16_t>(text.size() + 1));
        out.bytes(text.data(), text.size());
        out.u8(0);
    }
    return out.take();
}

std::vector<std::uint8_t> encodeMaterialRecord(MaterialRecord const& record) {
    checkCount(record.parts.size(), format::MAX_MATERIAL_PARTS, "material parts");
    ByteWriter out;
    out.u16(record.shader);
    out.u8(static_cast<std::uint8_t>(record.parts.size()));
    for (MaterialPart const& part : record.parts) {
        encodeMaterialPart(out, part);
    }
    return out.take();
}

std::vector<std::uint8_t> encodeGeometryRecord(GeometryRecord const& record) {
    if (record.format > format::FORMAT_UV2) {
        throw FormatError("unknown vertex format " + std::to_string(record.format));
    }
    checkCount(record.vertices.size(), 0xFFFFFFFFu, "vertices");
    checkCount(record.indices.size(), 0xFFFFFFFFu, "indices");
    bool const withChannels = record.format != format::FORMAT_BASE;
    ByteWriter out;
    out.u8(record.format);
    out.u32(static_cast<std::uint32_t>(record.vertices.size()));
    for (Vertex const& v : record.vertices) {
        encodeVertex(out, v, withChannels);
    }
    out.u32(static_cast<std::uint32_t>(record.indices.size()));
    for (std::uint32_t index : record.indices) {
        out.u32(index);
    }
    return out.take();
}

void encodeMeshNode(ByteWriter& out, MeshNode const& node) {
    checkCount(node.children.size(), 0xFFFF, "child meshes");
    out.u8(node.group);
    if (node.group == 0) {
        checkCount(node.uvMapping.size(), 0xFF, "texture channel mappings");
        writeFloats(out, node.matrix);
        writeFloats(out, node.boundsMin);
        writeFloats(out, node.boundsMax);
        out.u16(node.geometry);
        out.u16(node.material);
        out.u8(static_cast<std::uint8_t>(node.uvMapping.size()));
        for (auto const& [key, channel] : node.uvMapping) {
            out.u8(key);
            out.u8(channel);
        }
    }
    out.u16(static_cast<std::uint16_t>(node.children.size()));
    for (MeshNode const& child : node.children) {
        encodeMeshNode(out, child);
    }
}

void encodeLight(ByteWriter& out, LightRecord const& light) {
    out.u16(light.kind);
    if (light.kind != format::LIGHT_KIND_POINT && light.kind != format::LIGHT_KIND_SPOT) {
        return;
    }
    writeFloats(out, light.intensity);
    out.u8(light.specular);
    writeFloats(out, light.location);
    if (light.kind == format::LIGHT_KIND_SPOT) {
        writeFloats(out, light.direction);
        out.f32(light.coneAngle);
        out.f32(light.exponent);
    }
    writeFloats(out, light.attenuation);
    out.u8(light.castsShadow);
}

std::vector<std::uint8_t> encodeModelRecord(ModelRecord const& record) {
    checkCount(record.components.size(), 0xFFFF, "components");
    ByteWriter out;
    out.u16(static_cast<std::uint16_t>(record.components.size()));
    for (ComponentRecord const& component : record.components) {
        encodeComponent(out, component);
    }
    return out.take();
}

std::vector<std::uint8_t> encodePathRecord(PathRecord const& record) {
    checkCount(record.points.size(), format::MAX_PATH_POINTS, "path points");
    ByteWriter out;
    out.u16(static_cast<std::uint16_t>(record.points.size()));
    for (PathPoint const& point : record.points) {
        out.f32(point.time);
        writeFloats(out, point.position);
    }
    return out.take();
}

std::vector<std::uint8_t> writeShaderFile(ShaderFile const& file) {
    RecordGroup records;
    for (ShaderRecord const& shader : file.shaders) {
        records.push_back(encodeShaderRecord(shader));
    }
    ByteWriter prefix;
    prefix.u16(format::SHADER_FILE_VERSION);
    return assemble(std::move(prefix), {&records}, {"shaders"});
}

std::vector<std::uint8_t> writeTextureFile(TextureFile const& file) {
    RecordGroup records;
    for (TextureRecord const& texture : file.textures) {
        records.push_back(texture.png);
    }
    return assemble(ByteWriter(), {&records}, {"textures"});
}

std::vector<std::uint8_t> writeModelFile(ModelFile const& file) {
    RecordGroup materials;
    RecordGroup geometries;
    RecordGroup models;
    for (MaterialRecord const& material : file.materials) {
        materials.push_back(encodeMaterialRecord(material));
    }
    for (GeometryRecord const& geometry : file.geometries) {
        geometries.push_back(encodeGeometryRecord(geometry));
    }
    for (ModelRecord const& model : file.models) {
        models.push_back(encodeModelRecord(model));
    }
    ByteWriter prefix;
    prefix.u16(format::MODEL_FILE_VERSION);
    return assemble(std::move(prefix), {&materials, &geometries, &models},
                    {"materials", "geometries", "models"});
}

std::vector<std::uint8_t> writePathFile(PathFile const& file) {
    RecordGroup records;
    for (PathRecord const& path : file.paths) {
        records.push_back(encodePathRecord(path));
    }
    return assemble(ByteWriter(), {&records}, {"paths"});
}

} // namespace vlpc
