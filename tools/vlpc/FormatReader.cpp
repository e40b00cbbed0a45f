#include <cmath>
#include <functional>
#include <set>
#include <string>
#include <vlpc/ByteReader.h>
#include <vlpc/FormatError.h>
#include <vlpc/FormatReader.h>

namespace vlpc {

namespace {

using Bytes = std::vector<std::uint8_t>;
using Notes = std::vector<std::string>;

std::string str(std::size_t value) {
    return std::to_string(value);
}

template <std::size_t N> std::array<float, N> readFloats(ByteReader& in, char const* what) {
    std::array<float, N> values{};
    for (float& v : values) {
        v = in.f32(what);
    }
    return values;
}

// Runs f and prefixes the message of a FormatError it throws with context.
template <typename F> auto within(std::string const& context, F&& f) -> decltype(f()) {
    try {
        return f();
    } catch (FormatError const& e) {
        throw FormatError(context + ": " + e.what());
    }
}

void checkId(std::size_t id, std::optional<std::size_t> count, char const* what) {
    if (count && id >= *count) {
        throw FormatError(std::string(what) + " id " + str(id) + " does not exist (" + str(*count) +
                          " entries)");
    }
}

void expectEnd(ByteReader const& in, char const* what) {
    if (!in.atEnd()) {
        throw FormatError(str(in.remaining()) + " bytes left over after the " + what);
    }
}

// Reads a u16 count and that many dictionary records from where the reader
// stands. Every id must appear once, every record must lie inside the file.
std::vector<DictionaryEntry> readDictionary(ByteReader& in, std::size_t fileSize,
                                            char const* name) {
    return within(name, [&] {
        std::uint16_t const count = in.u16("the dictionary count");
        std::vector<DictionaryEntry> entries(count);
        std::vector<bool> seen(count, false);
        for (std::size_t i = 0; i < count; ++i) {
            std::uint16_t const id = in.u16("a dictionary id");
            std::uint32_t const offset = in.u32("a dictionary offset");
            std::uint32_t const size = in.u32("a dictionary size");
            if (id >= count) {
                throw FormatError("record " + str(i) + " names id " + str(id) +
                                  ", but the dictionary holds " + str(count) + " entries");
            }
            if (seen[id]) {
                throw FormatError("id " + str(id) + " appears twice");
            }
            if (std::uint64_t(offset) + size > fileSize) {
                throw FormatError("id " + str(id) + ": record at offset " + str(offset) + " with " +
                                  str(size) + " bytes ends past the end of the file (" +
                                  str(fileSize) + " bytes)");
            }
            seen[id] = true;
            entries[id] = {offset, size};
        }
        return entries;
    });
}

ByteReader recordReader(Bytes const& bytes, DictionaryEntry const& entry) {
    return ByteReader(bytes.data() + entry.offset, entry.size, entry.offset);
}

std::uint16_t readVersion(ByteReader& in, std::uint16_t expected, char const* what) {
    std::uint16_t const version = in.u16("the format version");
    if (version != expected) {
        throw FormatError(std::string("wrong ") + what + " version " + str(version) +
                          " (expected " + str(expected) + ")");
    }
    return version;
}

ShaderRecord parseShader(ByteReader& in, Notes& notes, std::size_t id) {
    static char const* const stageNames[format::SHADER_STAGE_COUNT] = {
        "vertex text", "tessellation control text", "tessellation evaluation text", "geometry text",
        "fragment text"};
    ShaderRecord record;
    for (std::size_t s = 0; s < format::SHADER_STAGE_COUNT; ++s) {
        std::uint16_t const length = in.u16("a text length");
        if (length == 0) {
            continue;
        }
        auto const* text = in.bytes(length, stageNames[s]);
        if (text[length - 1] != 0) {
            throw FormatError(std::string(stageNames[s]) + " is not zero-terminated");
        }
        std::string value(reinterpret_cast<char const*>(text), length - 1);
        if (value.find('\0') != std::string::npos) {
            throw FormatError(std::string(stageNames[s]) + " has a zero byte before its end");
        }
        record.stages[s] = std::move(value);
    }
    expectEnd(in, "fragment text");
    if (record.stages[format::STAGE_VERTEX].empty() ||
        record.stages[format::STAGE_FRAGMENT].empty()) {
        notes.push_back("shader " + str(id) +
                        ": no vertex or no fragment text, the program stays empty");
    }
    return record;
}

MaterialRecord parseMaterial(ByteReader& in, ReferenceCounts const& refs) {
    MaterialRecord record;
    record.shader = in.u16("the shader id");
    checkId(record.shader, refs.shaders, "shader");
    std::uint8_t const count = in.u8("the part count");
    for (std::size_t p = 0; p < count; ++p) {
        within("part " + str(p), [&] {
            MaterialPart part;
            part.type = in.u16("the part type");
            switch (part.type) {
            case format::PART_DIFFUSE_COLOR:
                part.color = readFloats<3>(in, "the diffuse colour");
                part.emit = in.f32("the emit value");
                break;
            case format::PART_SPECULAR_COLOR:
                part.color = readFloats<3>(in, "the specular colour");
                part.shininess = in.u32("the shininess");
                break;
            case format::PART_DIFFUSE_TEXTURE:
            case format::PART_NORMAL_TEXTURE:
            case format::PART_DISPLACEMENT_TEXTURE:
                part.texture = in.u16("the texture id");
                checkId(part.texture, refs.textures, "texture");
                break;
            default:
                throw FormatError("unknown part type " + str(part.type) + " (0 to 4)");
            }
            record.parts.push_back(part);
        });
    }
    expectEnd(in, "last part");
    return record;
}

GeometryRecord parseGeometry(ByteReader& in) {
    GeometryRecord record;
    record.format = in.u8("the vertex format");
    if (record.format > format::FORMAT_UV2) {
        throw FormatError("unknown vertex format " + str(record.format) + " (0, 1 or 2)");
    }
    bool const withChannels = record.format != format::FORMAT_BASE;
    std::size_t const stride = withChannels ? format::UV_VERTEX_SIZE : format::BASE_VERTEX_SIZE;
    std::uint32_t const vertexCount = in.u32("the vertex count");
    if (std::uint64_t(vertexCount) * stride > in.remaining()) {
        throw FormatError(str(vertexCount) + " vertices of " + str(stride) +
                          " bytes do not fit in the record");
    }
    record.vertices.resize(vertexCount);
    for (Vertex& v : record.vertices) {
        v.position = readFloats<4>(in, "a vertex position");
        v.normal = readFloats<3>(in, "a vertex normal");
        v.smoothNormal = readFloats<3>(in, "a vertex smooth normal");
        if (withChannels) {
            for (std::size_t k = 0; k < format::MAX_UV_CHANNELS; ++k) {
                v.uv[k] = readFloats<2>(in, "a texture coordinate");
                v.tangent[k] = readFloats<4>(in, "a tangent");
            }
        }
    }
    std::uint32_t const indexCount = in.u32("the index count");
    if (std::uint64_t(indexCount) * 4 > in.remaining()) {
        throw FormatError(str(indexCount) + " indices do not fit in the record");
    }
    if (indexCount % 3 != 0) {
        throw FormatError("index count " + str(indexCount) + " is not a multiple of 3");
    }
    record.indices.resize(indexCount);
    for (std::size_t i = 0; i < indexCount; ++i) {
        record.indices[i] = in.u32("an index");
        if (record.indices[i] >= vertexCount) {
            throw FormatError("index " + str(i) + " is " + str(record.indices[i]) +
                              ", but there are " + str(vertexCount) + " vertices");
        }
    }
    expectEnd(in, "indices");
    return record;
}

struct ModelContext {
    std::vector<GeometryRecord> const& geometries;
    std::size_t materialCount;
    ReferenceCounts const& refs;
    Notes& notes;
    std::string model;
};

MeshNode parseMeshNode(ByteReader& in, ModelContext const& ctx, std::size_t depth,
                       std::string const& where) {
    if (depth > format::MAX_MESH_DEPTH) {
        throw FormatError("mesh hierarchy deeper than " + str(format::MAX_MESH_DEPTH) + " levels");
    }
    return within(where, [&] {
        MeshNode node;
        node.group = in.u8("the group flag");
        if (node.group == 0) {
            node.matrix = readFloats<16>(in, "the local matrix");
            node.boundsMin = readFloats<3>(in, "the bounding box minimum");
            node.boundsMax = readFloats<3>(in, "the bounding box maximum");
            node.geometry = in.u16("the geometry id");
            node.material = in.u16("the material id");
            checkId(node.geometry, ctx.geometries.size(), "geometry");
            checkId(node.material, ctx.materialCount, "material");
            std::uint8_t const format = ctx.geometries[node.geometry].format;
            std::uint8_t const mappings = in.u8("the mapping count");
            for (std::size_t m = 0; m < mappings; ++m) {
                std::uint8_t const key = in.u8("a mapping key");
                std::uint8_t const channel = in.u8("a mapping channel");
                if (key >= format::UV_MAPPING_KEY_COUNT) {
                    throw FormatError("unknown texture mapping key " + str(key) + " (0 to 2)");
                }
                if (channel >= format::MAX_UV_CHANNELS) {
                    throw FormatError("texture mapping key " + str(key) + " names channel " +
                                      str(channel) + ", a vertex has 2 channels");
                }
                if (format == format::FORMAT_BASE) {
                    ctx.notes.push_back(ctx.model + ": " + where +
                                        ": texture mapping on a geometry without channels");
                } else if (channel >= format) {
                    ctx.notes.push_back(ctx.model + ": " + where + ": texture mapping key " +
                                        str(key) + " names channel " + str(channel) +
                                        " of a geometry with " + str(format) + " channel(s)");
                }
                node.uvMapping.emplace_back(key, channel);
            }
        }
        std::uint16_t const children = in.u16("the child count");
        for (std::size_t c = 0; c < children; ++c) {
            node.children.push_back(parseMeshNode(in, ctx, depth + 1, "child " + str(c)));
        }
        return node;
    });
}

LightRecord parseLight(ByteReader& in, ModelContext const& ctx, std::string const& where) {
    LightRecord light;
    light.kind = in.u16("the light kind");
    if (light.kind != format::LIGHT_KIND_POINT && light.kind != format::LIGHT_KIND_SPOT) {
        ctx.notes.push_back(ctx.model + ": " + where + ": light kind " + str(light.kind) +
                            " makes no light");
        return light;
    }
    light.intensity = readFloats<3>(in, "the light intensity");
    light.specular = in.u8("the specular flag");
    light.location = readFloats<4>(in, "the light location");
    if (light.kind == format::LIGHT_KIND_SPOT) {
        light.direction = readFloats<3>(in, "the light direction");
        light.coneAngle = in.f32("the cone angle");
        light.exponent = in.f32("the attenuation exponent");
    }
    light.attenuation = readFloats<3>(in, "the attenuation");
    light.castsShadow = in.u8("the shadow flag");
    return light;
}

ComponentRecord parseComponent(ByteReader& in, ModelContext const& ctx) {
    ComponentRecord component;
    component.type = in.u16("the component type");
    std::uint16_t const length = in.u16("the component data length");
    ByteReader data = in.sub(length, "the component data");
    switch (component.type) {
    case COMPONENT_MESH_DRAW:
        component.mesh = parseMeshNode(data, ctx, 1, "root mesh");
        expectEnd(data, "mesh hierarchy");
        break;
    case COMPONENT_LIGHT: {
        std::uint16_t const count = data.u16("the light count");
        for (std::size_t l = 0; l < count; ++l) {
            std::string const where = "light " + str(l);
            component.lights.push_back(within(where, [&] { return parseLight(data, ctx, where); }));
        }
        expectEnd(data, "last light");
        break;
    }
    case COMPONENT_PATH_ANIMATION:
        component.positionPath = data.u16("the position path id");
        component.lookAtPath = data.u16("the look-at path id");
        checkId(component.positionPath, ctx.refs.paths, "path");
        checkId(component.lookAtPath, ctx.refs.paths, "path");
        expectEnd(data, "path ids");
        break;
    case COMPONENT_BSP_DRAW:
        component.material = data.u16("the material id");
        component.geometry = data.u16("the geometry id");
        checkId(component.material, ctx.materialCount, "material");
        checkId(component.geometry, ctx.geometries.size(), "geometry");
        if (ctx.geometries[component.geometry].format != format::FORMAT_BASE) {
            throw FormatError("BSP geometry " + str(component.geometry) +
                              " has texture channels (vertex format " +
                              str(ctx.geometries[component.geometry].format) + ", must be 0)");
        }
        expectEnd(data, "BSP ids");
        break;
    default: {
        std::uint8_t const* raw = data.bytes(length, "the component data");
        component.rawData.assign(raw, raw + length);
        if (component.type != COMPONENT_POSITION && component.type != COMPONENT_COLLISION) {
            ctx.notes.push_back(ctx.model + ": component type " + str(component.type) +
                                " makes no component");
        }
        break;
    }
    }
    return component;
}

// Whether the engine builds a component for records of this type.
bool makesComponent(std::uint16_t type) {
    return type >= COMPONENT_POSITION && type <= COMPONENT_BSP_DRAW && type != COMPONENT_CAMERA;
}

ModelRecord parseModel(ByteReader& in, ModelContext const& ctx) {
    ModelRecord record;
    std::uint16_t const count = in.u16("the component count");
    std::set<std::uint16_t> types;
    for (std::size_t c = 0; c < count; ++c) {
        record.components.push_back(
            within("component " + str(c), [&] { return parseComponent(in, ctx); }));
        std::uint16_t const type = record.components.back().type;
        if (makesComponent(type) && !types.insert(type).second) {
            ctx.notes.push_back(ctx.model + ": component " + str(c) +
                                " is a second component of type " + str(type) +
                                " and replaces the first");
        }
    }
    expectEnd(in, "last component");
    return record;
}

PathRecord parsePath(ByteReader& in, Notes& notes, std::size_t id) {
    PathRecord record;
    std::uint16_t const count = in.u16("the point count");
    if (count > format::MAX_PATH_POINTS) {
        throw FormatError(str(count) + " points (at most " + str(format::MAX_PATH_POINTS) + ")");
    }
    for (std::size_t p = 0; p < count; ++p) {
        PathPoint point;
        point.time = in.f32("a point time");
        point.position = readFloats<3>(in, "a point position");
        if (!std::isfinite(point.time)) {
            throw FormatError("point " + str(p) + " has a time that is not finite");
        }
        if (p > 0 && !(point.time > record.points.back().time)) {
            throw FormatError("point " + str(p) + " at time " + std::to_string(point.time) +
                              " does not come after the time before it");
        }
        record.points.push_back(point);
    }
    expectEnd(in, "last point");
    if (count < 2) {
        notes.push_back("path " + str(id) + ": fewer than two points cannot be animated");
    }
    return record;
}

template <typename Record, typename Parse>
std::vector<Record> parseRecords(Bytes const& bytes, std::vector<DictionaryEntry> const& dictionary,
                                 char const* kind, Parse&& parse) {
    std::vector<Record> records;
    for (std::size_t id = 0; id < dictionary.size(); ++id) {
        records.push_back(within(std::string(kind) + " " + str(id), [&] {
            ByteReader in = recordReader(bytes, dictionary[id]);
            return parse(in, id);
        }));
    }
    return records;
}

} // namespace

ShaderFileContents readShaderFile(Bytes const& bytes) {
    ShaderFileContents contents;
    ByteReader in(bytes.data(), bytes.size());
    readVersion(in, format::SHADER_FILE_VERSION, "shader format");
    contents.dictionary = readDictionary(in, bytes.size(), "ShaderDictionary");
    contents.file.shaders = parseRecords<ShaderRecord>(
        bytes, contents.dictionary, "shader",
        [&](ByteReader& r, std::size_t id) { return parseShader(r, contents.notes, id); });
    return contents;
}

TextureFileContents readTextureFile(Bytes const& bytes) {
    TextureFileContents contents;
    ByteReader in(bytes.data(), bytes.size());
    contents.dictionary = readDictionary(in, bytes.size(), "TextureDictionary");
    contents.file.textures = parseRecords<TextureRecord>(
        bytes, contents.dictionary, "texture", [&](ByteReader& r, std::size_t) {
            std::size_t const size = r.remaining();
            std::uint8_t const* data = r.bytes(size, "the PNG stream");
            PngInfo const info = checkPng(data, size);
            if (info.streamSize != size) {
                throw FormatError("the record holds " + str(size) + " bytes, the PNG stream " +
                                  str(info.streamSize));
            }
            contents.images.push_back(info);
            return TextureRecord{Bytes(data, data + size)};
        });
    return contents;
}

ModelFileContents readModelFile(Bytes const& bytes, ReferenceCounts const& references) {
    ModelFileContents contents;
    ByteReader in(bytes.data(), bytes.size());
    readVersion(in, format::MODEL_FILE_VERSION, "model format");
    contents.materialDictionary = readDictionary(in, bytes.size(), "MaterialDictionary");
    contents.geometryDictionary = readDictionary(in, bytes.size(), "GeometryDictionary");
    contents.modelDictionary = readDictionary(in, bytes.size(), "ModelDictionary");
    ModelFile& file = contents.file;
    file.materials = parseRecords<MaterialRecord>(
        bytes, contents.materialDictionary, "material",
        [&](ByteReader& r, std::size_t) { return parseMaterial(r, references); });
    file.geometries =
        parseRecords<GeometryRecord>(bytes, contents.geometryDictionary, "geometry",
                                     [&](ByteReader& r, std::size_t) { return parseGeometry(r); });
    file.models = parseRecords<ModelRecord>(
        bytes, contents.modelDictionary, "model", [&](ByteReader& r, std::size_t id) {
            ModelContext const ctx{file.geometries, file.materials.size(), references,
                                   contents.notes, "model " + str(id)};
            return parseModel(r, ctx);
        });
    return contents;
}

PathFileContents readPathFile(Bytes const& bytes) {
    PathFileContents contents;
    ByteReader in(bytes.data(), bytes.size());
    contents.dictionary = readDictionary(in, bytes.size(), "PathDictionary");
    contents.file.paths = parseRecords<PathRecord>(
        bytes, contents.dictionary, "path",
        [&](ByteReader& r, std::size_t id) { return parsePath(r, contents.notes, id); });
    return contents;
}

std::size_t readDictionaryCount(Bytes const& bytes, bool hasVersion) {
    ByteReader in(bytes.data(), bytes.size());
    if (hasVersion) {
        in.u16("the format version");
    }
    return in.u16("the dictionary count");
}

} // namespace vlpc
