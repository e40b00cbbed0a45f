#include <Engine/Data/RecordParser.h>
#include <Engine/Scene/ComponentID.h>
#include <Engine/Util/Logger.h>
#include <string>

namespace Engine::Data {

using Format::ByteReader;
using Math::Vec3f;
using Math::Vec4f;

// The vertex structures are uploaded as the file stores them.
static_assert(Util::BaseVertex::Size == Format::BASE_VERTEX_SIZE);
static_assert(Util::UVVertex::Size == Format::UV_VERTEX_SIZE);
static_assert(Util::UVVertex::ChannelCount == Format::MAX_UV_CHANNELS);
static_assert(UVMAP_DISPLACEMENT + 1 == Format::UV_MAPPING_KEY_COUNT);

namespace {

std::string str(std::uint64_t value) {
    return std::to_string(value);
}

// Cursor over one record that reports the first fault it meets. Every read
// names the field it reads, so that a truncated record says where it ends.
class Cursor {
public:
    Cursor(unsigned char const* data, std::size_t size, RecordParser::Where where)
        : reader(data, size), where(where) {}

    bool U8(unsigned char& value, char const* field) { return check(reader.ReadU8(value), field); }
    bool U16(unsigned short& value, char const* field) {
        return check(reader.ReadU16(value), field);
    }
    bool U32(unsigned int& value, char const* field) { return check(reader.ReadU32(value), field); }
    bool F32(float& value, char const* field) { return check(reader.ReadF32(value), field); }
    bool Vec3(Vec3f& value, char const* field) {
        float v[3];
        for (float& f : v) {
            if (!F32(f, field)) {
                return false;
            }
        }
        value = Vec3f(v[0], v[1], v[2]);
        return true;
    }
    bool Vec4(Vec4f& value, char const* field) {
        float v[4];
        for (float& f : v) {
            if (!F32(f, field)) {
                return false;
            }
        }
        value = Vec4f(v[0], v[1], v[2], v[3]);
        return true;
    }
    bool Skip(std::size_t count, char const* field) { return check(reader.Skip(count), field); }

    // Fails unless an array of count elements of elementSize bytes fits in
    // what is left, before anything is allocated for it.
    bool Fits(std::uint64_t count, std::uint64_t elementSize, char const* field) {
        if (count * elementSize > reader.Remaining()) {
            return Fail(std::string(field) + " (" + str(count) + " x " + str(elementSize) +
                        " bytes) run past the end of the record (" + str(reader.Size()) +
                        " bytes)");
        }
        return true;
    }
    // Fails unless the whole record has been read.
    bool AtEnd() {
        if (reader.Remaining() != 0) {
            return Fail(str(reader.Remaining()) +
                        " unexpected bytes after the record's data at byte " +
                        str(reader.Position()));
        }
        return true;
    }
    bool Fail(std::string const& detail) {
        if (!failed) {
            RecordParser::Reject(where, detail);
            failed = true;
        }
        return false;
    }

    std::size_t Position() const { return reader.Position(); }
    std::size_t Remaining() const { return reader.Remaining(); }
    unsigned char const* Current() const { return reader.Current(); }

private:
    bool check(bool ok, char const* field) {
        if (!ok) {
            Fail(std::string("record ends inside ") + field + " at byte " + str(reader.Position()) +
                 " of " + str(reader.Size()));
        }
        return ok;
    }

    ByteReader reader;
    RecordParser::Where where;
    bool failed = false;
};

bool checkId(Cursor& cursor, unsigned short id, unsigned short count, char const* what) {
    if (id >= count) {
        return cursor.Fail(std::string(what) + " " + str(id) + " does not exist (" + str(count) +
                           " in the dictionary)");
    }
    return true;
}

bool parseBaseVertex(Cursor& c, Util::BaseVertex& v) {
    return c.Vec4(v.position, "a vertex position") && c.Vec3(v.normal, "a vertex normal") &&
           c.Vec3(v.smoothNormal, "a vertex smooth normal");
}

bool parseUVVertex(Cursor& c, Util::UVVertex& v) {
    float uv[4];
    bool const ok = c.Vec4(v.position, "a vertex position") &&
                    c.Vec3(v.normal, "a vertex normal") &&
                    c.Vec3(v.smoothNormal, "a vertex smooth normal") &&
                    c.F32(uv[0], "a texture coordinate") && c.F32(uv[1], "a texture coordinate") &&
                    c.Vec4(v.tangent0, "a tangent") && c.F32(uv[2], "a texture coordinate") &&
                    c.F32(uv[3], "a texture coordinate") && c.Vec4(v.tangent1, "a tangent");
    if (ok) {
        v.texCoord0 = Math::Vec2f(uv[0], uv[1]);
        v.texCoord1 = Math::Vec2f(uv[2], uv[3]);
    }
    return ok;
}

bool parseLight(Cursor& c, RecordParser::LightRecord& light) {
    if (!c.U16(light.kind, "a light kind")) {
        return false;
    }
    if (light.kind != Format::LIGHT_KIND_POINT && light.kind != Format::LIGHT_KIND_SPOT) {
        return true;
    }
    unsigned char specular = 0;
    unsigned char shadow = 0;
    bool ok = c.Vec3(light.intensity, "a light intensity") &&
              c.U8(specular, "a light's specular flag") &&
              c.Vec4(light.location, "a light location");
    if (ok && light.kind == Format::LIGHT_KIND_SPOT) {
        ok = c.Vec3(light.direction, "a spot light direction") &&
             c.F32(light.angle, "a spot light angle") &&
             c.F32(light.exponent, "a spot light exponent");
    }
    ok = ok && c.Vec3(light.attenuation, "a light attenuation") &&
         c.U8(shadow, "a light's shadow flag");
    light.specularOn = specular != 0;
    light.castsShadow = shadow != 0;
    return ok;
}

bool parseMesh(Cursor& c, RecordParser::Counts const& counts, RecordParser::MeshRecord& mesh,
               unsigned int depth) {
    if (depth > Format::MAX_MESH_DEPTH) {
        return c.Fail("mesh hierarchy deeper than " + str(Format::MAX_MESH_DEPTH) +
                      " levels at byte " + str(c.Position()));
    }
    unsigned char group = 0;
    if (!c.U8(group, "a mesh's group flag")) {
        return false;
    }
    mesh.group = group != 0;
    if (!mesh.group) {
        float m[16];
        for (float& f : m) {
            if (!c.F32(f, "a mesh matrix")) {
                return false;
            }
        }
        mesh.matrix = Math::Mat4f(m);
        unsigned char mappingCount = 0;
        if (!c.Vec3(mesh.boxMin, "a mesh's bounding box") ||
            !c.Vec3(mesh.boxMax, "a mesh's bounding box") ||
            !c.U16(mesh.geometryId, "a mesh's geometry id") ||
            !checkId(c, mesh.geometryId, counts.geometries, "geometry") ||
            !c.U16(mesh.materialId, "a mesh's material id") ||
            !checkId(c, mesh.materialId, counts.materials, "material") ||
            !c.U8(mappingCount, "a mesh's UV mapping count")) {
            return false;
        }
        for (unsigned int i = 0; i < mappingCount; ++i) {
            unsigned char key = 0;
            unsigned char channel = 0;
            if (!c.U8(key, "a UV mapping key") || !c.U8(channel, "a UV mapping channel")) {
                return false;
            }
            if (key >= Format::UV_MAPPING_KEY_COUNT) {
                return c.Fail("UV mapping key " + str(key) + " is not 0, 1 or 2");
            }
            if (channel >= Format::MAX_UV_CHANNELS) {
                return c.Fail("UV mapping channel " + str(channel) + " is not 0 or 1");
            }
            mesh.mapping[static_cast<UVCoordMapping>(key)] = channel;
        }
    }
    unsigned short childCount = 0;
    if (!c.U16(childCount, "a mesh's child count")) {
        return false;
    }
    if (!c.Fits(childCount, Format::MIN_MESH_RECORD_SIZE, "the child meshes")) {
        return false;
    }
    mesh.children.resize(childCount);
    for (RecordParser::MeshRecord& child : mesh.children) {
        if (!parseMesh(c, counts, child, depth + 1)) {
            return false;
        }
    }
    return true;
}

bool parseComponent(Cursor& c, RecordParser::Counts const& counts,
                    RecordParser::ComponentRecord& component) {
    unsigned short length = 0;
    if (!c.U16(component.type, "a component type") || !c.U16(length, "a component length")) {
        return false;
    }
    if (!c.Fits(length, 1, "the component data")) {
        return false;
    }
    std::size_t const start = c.Position();
    bool ok = true;
    switch (component.type) {
    case COMPONENT_MESH_DRAW:
        ok = parseMesh(c, counts, component.mesh, 1);
        break;
    case COMPONENT_LIGHT: {
        unsigned short lightCount = 0;
        ok = c.U16(lightCount, "a light count") &&
             c.Fits(lightCount, Format::UNKNOWN_LIGHT_SIZE, "the light records");
        if (ok) {
            component.lights.resize(lightCount);
            for (RecordParser::LightRecord& light : component.lights) {
                if (!parseLight(c, light)) {
                    ok = false;
                    break;
                }
            }
        }
        break;
    }
    case COMPONENT_PATH_ANIMATION:
        ok = c.U16(component.firstPathId, "a path id") &&
             checkId(c, component.firstPathId, counts.paths, "path") &&
             c.U16(component.secondPathId, "a path id") &&
             checkId(c, component.secondPathId, counts.paths, "path");
        break;
    case COMPONENT_BSP_DRAW:
        ok = c.U16(component.materialId, "a material id") &&
             checkId(c, component.materialId, counts.materials, "material") &&
             c.U16(component.geometryId, "a geometry id") &&
             checkId(c, component.geometryId, counts.geometries, "geometry");
        break;
    default:
        // Position and collision components take no data; camera components
        // and unknown types make no component. Their data is skipped.
        return c.Skip(length, "the component data");
    }
    if (!ok) {
        return false;
    }
    std::size_t const used = c.Position() - start;
    if (used != length) {
        return c.Fail("component of type " + str(component.type) + " declares " + str(length) +
                      " bytes of data but its structure takes " + str(used));
    }
    return true;
}

} // namespace

void RecordParser::Reject(Where where, std::string const& detail) {
    std::string const line = std::string("Corrupt ") + (where.record ? where.record : "") +
                             " record " + str(where.id) + " in " + (where.file ? where.file : "") +
                             ": " + detail;
    Util::Logger::Instance()->Fatal(line.c_str());
}

bool RecordParser::ParseDictionary(ByteReader& reader, unsigned short count,
                                   std::vector<DictionaryRecord>& records, char const* file,
                                   char const* title) {
    Util::Logger* log = Util::Logger::Instance();
    if (reader.Remaining() < count * Format::DICTIONARY_RECORD_SIZE) {
        std::string const line = std::string("Corrupt ") + title + " in " + file + ": " +
                                 str(count) + " records need " +
                                 str(count * Format::DICTIONARY_RECORD_SIZE) +
                                 " bytes, the file has " + str(reader.Remaining());
        log->Fatal(line.c_str());
        return false;
    }
    records.clear();
    records.reserve(count);
    for (unsigned int i = 0; i < count; ++i) {
        DictionaryRecord record;
        reader.ReadU16(record.id);
        reader.ReadU32(record.entry.offset);
        reader.ReadU32(record.entry.size);
        if (record.id >= count) {
            std::string const line = std::string("Corrupt ") + title + " in " + file +
                                     ": dictionary record " + str(i) + " names id " +
                                     str(record.id) + ", but the count is " + str(count);
            log->Fatal(line.c_str());
            continue;
        }
        records.push_back(record);
    }
    return true;
}

bool RecordParser::CheckRecordBounds(Format::DictionaryEntry const& entry, std::uint64_t fileSize,
                                     Where where) {
    std::uint64_t const end = std::uint64_t(entry.offset) + entry.size;
    if (end > fileSize) {
        Reject(where, "bytes " + str(entry.offset) + " to " + str(end) +
                          " lie past the end of the file (" + str(fileSize) + " bytes)");
        return false;
    }
    return true;
}

bool RecordParser::ParseShaderRecord(unsigned char const* data, std::size_t size,
                                     ShaderRecord& record, Where where) {
    static char const* const names[Format::SHADER_STAGE_COUNT] = {
        "the vertex shader text", "the tessellation control shader text",
        "the tessellation evaluation shader text", "the geometry shader text",
        "the fragment shader text"};
    Cursor c(data, size, where);
    for (std::size_t stage = 0; stage < Format::SHADER_STAGE_COUNT; ++stage) {
        unsigned short length = 0;
        if (!c.U16(length, names[stage]) || !c.Fits(length, 1, names[stage])) {
            return false;
        }
        if (length != 0 && c.Current()[length - 1] != 0) {
            return c.Fail(std::string(names[stage]) + " is not zero-terminated");
        }
        record.lengths[stage] = length;
        // The text without its terminating zero, cut at an earlier zero as
        // the compiler would read it.
        char const* text = reinterpret_cast<char const*>(c.Current());
        record.texts[stage] = length != 0 ? std::string(text) : std::string();
        c.Skip(length, names[stage]);
    }
    return c.AtEnd();
}

bool RecordParser::ParseMaterialRecord(unsigned char const* data, std::size_t size,
                                       Counts const& counts, MaterialRecord& record, Where where) {
    Cursor c(data, size, where);
    unsigned char partCount = 0;
    if (!c.U16(record.shaderId, "the shader id") ||
        !checkId(c, record.shaderId, counts.shaders, "shader") ||
        !c.U8(partCount, "the part count")) {
        return false;
    }
    record.parts.resize(partCount);
    for (unsigned int i = 0; i < partCount; ++i) {
        MaterialPart& part = record.parts[i];
        if (!c.U16(part.type, "a material part type")) {
            return false;
        }
        bool ok = true;
        switch (part.type) {
        case Format::PART_DIFFUSE_COLOR:
            ok = c.Vec3(part.color, "a diffuse colour") && c.F32(part.emit, "an emit value");
            break;
        case Format::PART_SPECULAR_COLOR:
            ok = c.Vec3(part.color, "a specular colour") && c.U32(part.shininess, "a shininess");
            break;
        case Format::PART_DIFFUSE_TEXTURE:
        case Format::PART_NORMAL_TEXTURE:
        case Format::PART_DISPLACEMENT_TEXTURE:
            ok = c.U16(part.textureId, "a texture id") &&
                 checkId(c, part.textureId, counts.textures, "texture");
            break;
        default:
            return c.Fail("material part " + str(i) + " has unknown type " + str(part.type));
        }
        if (!ok) {
            return false;
        }
    }
    return c.AtEnd();
}

bool RecordParser::ParseGeometryRecord(unsigned char const* data, std::size_t size,
                                       GeometryRecord& record, Where where) {
    Cursor c(data, size, where);
    unsigned int vertexCount = 0;
    if (!c.U8(record.format, "the vertex format")) {
        return false;
    }
    if (record.format > Format::FORMAT_UV2) {
        return c.Fail("vertex format " + str(record.format) + " is not 0, 1 or 2");
    }
    bool const base = record.format == Format::FORMAT_BASE;
    std::size_t const vertexSize = base ? Format::BASE_VERTEX_SIZE : Format::UV_VERTEX_SIZE;
    if (!c.U32(vertexCount, "the vertex count") ||
        !c.Fits(vertexCount, vertexSize, "the vertices")) {
        return false;
    }
    if (base) {
        record.baseVertices.resize(vertexCount);
        for (Util::BaseVertex& v : record.baseVertices) {
            parseBaseVertex(c, v);
        }
    } else {
        record.uvVertices.resize(vertexCount);
        for (Util::UVVertex& v : record.uvVertices) {
            parseUVVertex(c, v);
        }
    }
    unsigned int indexCount = 0;
    if (!c.U32(indexCount, "the index count") ||
        !c.Fits(indexCount, Format::INDEX_SIZE, "the indices")) {
        return false;
    }
    record.indices.resize(indexCount);
    for (unsigned int i = 0; i < indexCount; ++i) {
        unsigned int& index = record.indices[i];
        c.U32(index, "an index");
        if (index >= vertexCount) {
            return c.Fail("index " + str(i) + " is " + str(index) + ", but there are only " +
                          str(vertexCount) + " vertices");
        }
    }
    return c.AtEnd();
}

bool RecordParser::ParsePathRecord(unsigned char const* data, std::size_t size, PathRecord& record,
                                   Where where) {
    Cursor c(data, size, where);
    unsigned short count = 0;
    if (!c.U16(count, "the point count")) {
        return false;
    }
    if (count > Format::MAX_PATH_POINTS) {
        return c.Fail("the path has " + str(count) + " points, at most " +
                      str(Format::MAX_PATH_POINTS) + " are allowed");
    }
    if (!c.Fits(count, Format::PATH_POINT_SIZE, "the path points")) {
        return false;
    }
    record.points.resize(count);
    for (PathPoint& point : record.points) {
        c.F32(point.time, "a point time");
        c.Vec3(point.point, "a point");
    }
    return c.AtEnd();
}

bool RecordParser::ParseModelRecord(unsigned char const* data, std::size_t size,
                                    Counts const& counts, ModelRecord& record, Where where) {
    Cursor c(data, size, where);
    unsigned short count = 0;
    if (!c.U16(count, "the component count") ||
        !c.Fits(count, Format::COMPONENT_HEADER_SIZE, "the component records")) {
        return false;
    }
    record.components.resize(count);
    for (ComponentRecord& component : record.components) {
        if (!parseComponent(c, counts, component)) {
            return false;
        }
    }
    return c.AtEnd();
}

} // namespace Engine::Data
